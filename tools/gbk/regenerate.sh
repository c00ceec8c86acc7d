#!/usr/bin/env bash
# Fetches the pinned `locales` package (if not cached) and regenerates
# editor/generated/gbktable.{h,cpp} and the notices beside them. Running it
# again gives the same files byte for byte.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
cache="$(cd "$here/.." && pwd)/cache"
pkg="$(grep -v '^#' "$here/package.txt" | grep .)"
name="${pkg%%=*}"; ver="${pkg#*=}"
mkdir -p "$cache/deb"
if ! ls "$cache/deb/${name}_${ver//:/%3a}_"*.deb >/dev/null 2>&1; then
  apt-get update >/dev/null
  apt-cache policy "$name" | grep -F -- "$ver" >/dev/null ||
    { echo "regenerate.sh: $pkg is not available from the configured sources" >&2; exit 1; }
  # The _apt user downloads into the folder when it may write there.
  chmod 777 "$cache/deb"
  (cd "$cache/deb" && apt-get download "$pkg")
fi
rm -rf "$cache/gbkroot"
mkdir -p "$cache/gbkroot"
dpkg-deb -x "$cache/deb/${name}_${ver//:/%3a}_"*.deb "$cache/gbkroot"
python3 "$here/gengbk.py" "$cache/gbkroot" "$pkg"
