#!/usr/bin/env bash
# Fetches the pinned packages (if not cached) and regenerates the dictionary
# tables and their licence notices in input/generated/. Running it again
# gives the same files byte for byte.
#
# The bigram scores are read from the language model of
# libime-data-language-model by lmpairs, a small program built here against
# Debian's libime development files (install libimecore-dev,
# libfcitx5utils-dev and libboost-dev); neither the build of bihua nor the
# program needs them.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
cache="$(cd "$here/.." && pwd)/cache"
"$here/fetch.sh"
g++ -O2 -std=c++17 -I/usr/include/LibIME -I/usr/include/Fcitx5/Utils \
  "$here/lmpairs.cpp" -lIMECore -o "$cache/lmpairs"
python3 "$here/gendict.py" --lmwords "$cache/lmwords.txt"
"$cache/lmpairs" "$cache/root/usr/lib/x86_64-linux-gnu/libime/zh_CN.lm" \
  < "$cache/lmwords.txt" > "$cache/lmpairs.txt"
python3 "$here/gendict.py"
