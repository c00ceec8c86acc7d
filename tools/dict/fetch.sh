#!/usr/bin/env bash
# Downloads the pinned Debian packages listed in packages.txt (the sources
# of the tables) and measure.txt (used by report.py only) into
# tools/cache/deb and unpacks them into tools/cache/root (git-ignored).
# Nothing is installed on the system.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
cache="$(cd "$here/.." && pwd)/cache"
mkdir -p "$cache/deb"

mapfile -t pkgs < <(grep -hv '^#' "$here/packages.txt" "$here/measure.txt" | grep .)

missing=()
for p in "${pkgs[@]}"; do
  name="${p%%=*}"; ver="${p#*=}"
  # apt-get download names the file name_version_arch.deb, with ':' escaped.
  file="${name}_${ver//:/%3a}_"
  ls "$cache/deb/$file"*.deb >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  apt-get update >/dev/null
  for p in "${missing[@]}"; do
    apt-cache policy "${p%%=*}" | grep -F -- "${p#*=}" >/dev/null ||
      { echo "fetch.sh: $p is not available from the configured sources" >&2; exit 1; }
  done
  # The _apt user downloads into the folder when it may write there.
  chmod 777 "$cache/deb"
  (cd "$cache/deb" && apt-get download "${missing[@]}")
fi

rm -rf "$cache/root"
mkdir -p "$cache/root"
for p in "${pkgs[@]}"; do
  name="${p%%=*}"; ver="${p#*=}"
  dpkg-deb -x "$cache/deb/${name}_${ver//:/%3a}_"*.deb "$cache/root"
done
