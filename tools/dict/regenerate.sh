#!/usr/bin/env bash
# Fetches the pinned packages (if not cached) and regenerates the dictionary
# tables and their licence notices in input/generated/. Running it again
# gives the same files byte for byte.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/fetch.sh"
python3 "$here/gendict.py"
