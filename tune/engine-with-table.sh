#!/bin/sh
# Builds the engine with another piece-square table, for a match against today's, and leaves
# the tree as it is: a scratch copy of the sources (build-table/ by default) gets the table,
# its R16.bin and a build of its own; only what the table changes is rebuilt.
#   sh tune/engine-with-table.sh TABLE.txt OUT-BINARY
set -eu
[ $# -eq 2 ] || { echo "usage: $0 TABLE.txt OUT-BINARY" >&2; exit 2; }
table=$(realpath "$1")
out=$(realpath -m "$2")
repo=$(cd "$(dirname "$0")/.." && pwd)
scratch=${TABLE_BUILD_DIR:-$repo/build-table}
mkdir -p "$scratch/tree"
# cp -a keeps the times, so unchanged sources stay older than their objects.
cp -a "$repo/CMakeLists.txt" "$repo/cmake" "$repo/src" "$repo/resources" "$scratch/tree/"
# Written after the copy, so the block is newer than its embedded object and always relinked.
python3 "$repo/resources/make_psq.py" "$table" "$scratch/tree/resources/R16.bin"
# The scratch tree has no tests, bench or tune folders.
sed -i '/add_subdirectory(tune)/d' "$scratch/tree/CMakeLists.txt"
cmake -S "$scratch/tree" -B "$scratch/build" -DCMAKE_BUILD_TYPE=Release -DTAVRIN_TESTS=OFF >/dev/null
cmake --build "$scratch/build" --target tavrin -j "$(nproc)" >/dev/null
cp "$scratch/build/tavrin" "$out"
echo "$out: engine with $table"
