#!/bin/sh
# Checks (default) or fixes the layout of the C++ sources against .clang-format.
#   sh scripts/format.sh check [BASE]   every tracked source, or only those changed since BASE
#   sh scripts/format.sh fix [BASE]     rewrites them in place
set -e
cd "$(dirname "$0")/.."
mode=${1:-check}
base=$2
formatter=$(command -v clang-format-14 || command -v clang-format || true)
if [ -z "$formatter" ]; then
  echo "format: clang-format not found (sh scripts/deps.sh clang-format)" >&2
  exit 2
fi
patterns="*.cpp *.h"
if [ -n "$base" ]; then
  files=$(git diff --name-only --diff-filter=d "$base" -- $patterns)
else
  files=$(git ls-files -- $patterns)
fi
[ -z "$files" ] && exit 0
case $mode in
  check) echo "$files" | xargs "$formatter" --dry-run --Werror ;;
  fix) echo "$files" | xargs "$formatter" -i ;;
  *) echo "usage: sh scripts/format.sh check|fix [BASE]" >&2; exit 2 ;;
esac
