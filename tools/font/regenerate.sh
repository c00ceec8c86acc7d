#!/usr/bin/env bash
# Fetches the font's source packages and regenerates
# graphics/generated/fontdata.{h,cpp} and graphics/generated/fontdata-licenses/.
# Running it again reproduces the same files byte for byte.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
cache="${1:-$here/../cache}"
"$here/fetch.sh" "$cache"
python3 "$here/genfont.py" "$cache"
