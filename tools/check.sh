#!/usr/bin/env bash
# Before a commit (a few seconds): the program's changed C++ files (its
# six folders; tests and tools keep their own layout) against the tree's
# .clang-format, code written twice by the change (the `duplicates`
# command, where this machine has it), and how many lines the change adds
# to the tests beside the product (tests about a quarter to a third).
#
#   tools/check.sh [BASE]     (BASE: what the change is against; HEAD)
set -uo pipefail
cd "$(dirname "$0")/.."
base=${1:-HEAD}
status=0

# Changed and new files (not deleted), generated tables left out.
changed=$( { git diff --name-only --diff-filter=d "$base"; git ls-files --others --exclude-standard; } |
          sort -u | grep -v '/generated/')

sources=$(echo "$changed" | grep -E '^(graphics|devices|views|editor|input|app)/.*\.(cpp|h)$' || true)
if [ -n "$sources" ] && command -v clang-format >/dev/null; then
  unformatted=""
  for f in $sources; do
    [ -f "$f" ] || continue
    clang-format --dry-run -Werror "$f" >/dev/null 2>&1 || unformatted="$unformatted $f"
  done
  if [ -n "$unformatted" ]; then
    echo "not formatted (clang-format -i FILE):$unformatted"
    status=1
  else
    echo "format: $(echo "$sources" | wc -w) changed source files as .clang-format wants"
  fi
fi

if command -v duplicates >/dev/null; then
  if [ "$base" = HEAD ]; then duplicates --change --seconds 8; else duplicates --change --base "$base" --seconds 8; fi
fi

# Added lines of code: tests/ against the product folders.
added() { git diff --numstat "$base" -- "$@" | awk '{s += $1} END {print s + 0}'; }
product=$(added graphics devices views editor input app)
tests=$(added tests)
echo "added lines: product $product, tests $tests" \
     "$( [ "$product" -gt 0 ] && echo "($((100 * tests / product)) % of the product)")"
exit $status
