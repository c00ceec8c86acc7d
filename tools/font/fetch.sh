#!/usr/bin/env bash
# Downloads the pinned source packages of the built-in font into the
# git-ignored cache (tools/cache by default): npm hanzi-writer-data, and
# whatever symbols.py needs. Packages already there are kept.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
cache="${1:-$here/../cache}"
mkdir -p "$cache"
cd "$here"
python3 - "$cache" <<'PY'
import sys
import hanzi
import symbols
hanzi.fetch(sys.argv[1])
symbols.fetch(sys.argv[1])
PY
