#!/bin/sh
# Speed of two engine binaries side by side: the whole process of `perft 6` from the start
# position, of `perft 5` from Kiwipete and of `bench`, run in turn (old, new, old, new...) so that
# the machine's drift hits both alike. Prints each figure's median and the new binary's speed
# ratio over the old one (above 1: faster), and the median of the ratios of the runs taken in
# pairs; fails if any leaf or node count differs.
#   sh scripts/speed.sh [-n RUNS] OLD NEW
# OLD and NEW are engine binaries or commits; a commit's engine is built once in a scratch tree
# (build-speed/<commit>/). `make speed` compares the commit before HEAD with today's build.
# Time it on a quiet machine: another busy process makes every figure meaningless.
set -eu
runs=5
if [ "${1:-}" = "-n" ]; then
  runs=$2
  shift 2
fi
[ $# -eq 2 ] || { echo "usage: $0 [-n RUNS] OLD NEW (binaries or commits)" >&2; exit 2; }
repo=$(cd "$(dirname "$0")/.." && pwd)

# A binary as it is; a commit built from its own sources, without its tests.
engine_of() {
  if [ -f "$1" ]; then
    realpath "$1"
    return
  fi
  commit=$(git -C "$repo" rev-parse --short "$1")
  scratch="$repo/build-speed/$commit"
  if [ ! -x "$scratch/build/tavrin" ]; then
    mkdir -p "$scratch/tree"
    git -C "$repo" archive "$commit" CMakeLists.txt cmake src resources | tar -x -C "$scratch/tree"
    sed -i '/add_subdirectory(tune)/d' "$scratch/tree/CMakeLists.txt"
    cmake -S "$scratch/tree" -B "$scratch/build" -DCMAKE_BUILD_TYPE=Release -DTAVRIN_TESTS=OFF >/dev/null
    cmake --build "$scratch/build" --target tavrin -j "$(nproc)" >/dev/null
  fi
  echo "$scratch/build/tavrin"
}
old=$(engine_of "$1")
new=$(engine_of "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"  # the engine reads Tavrin.ini from the working directory: none here

kiwipete="r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1"

# One run of a figure: the wall-clock seconds to stdout, the engine's output to $work/out.
timed() {
  start=$(date +%s%N)
  "$@" </dev/null >"$work/out" 2>&1
  end=$(date +%s%N)
  echo "$(( (end - start) / 1000000 ))" | awk '{ printf "%.3f\n", $1 / 1000 }'
}

# What must not change: the perft rows' leaf counts, the benchmark's nodes and moves.
counts() {
  case $1 in
    bench) grep -E '^(bestmove|info .* nodes )' "$work/out" |
             awk '/^info/ { for (i = 1; i < NF; i++) if ($i == "nodes") n = $(i + 1) } /^bestmove/ { print n, $2 }' ;;
    *) grep -E '^│ +[0-9]+ │' "$work/out" | awk -F'│' '{ print $2, $3 }' ;;
  esac
}

median() { sort -n "$1" | awk '{ a[NR] = $1 } END { print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2 }'; }

run_figure() {  # name binary
  case $1 in
    perft6) timed "$2" perft 6 ;;
    kiwipete5) timed "$2" perft 5 $kiwipete ;;
    bench) timed "$2" bench ;;
  esac
}

status=0
printf '%-10s %10s %10s %7s %7s   (medians of %d runs, seconds)\n' figure old new ratio pairs "$runs"
for figure in perft6 kiwipete5 bench; do
  : >"$work/old.t"
  : >"$work/new.t"
  i=0
  while [ $i -lt "$runs" ]; do
    run_figure $figure "$old" >>"$work/old.t"
    counts $figure >"$work/old.c"
    run_figure $figure "$new" >>"$work/new.t"
    counts $figure >"$work/new.c"
    if ! cmp -s "$work/old.c" "$work/new.c" || [ ! -s "$work/new.c" ]; then
      echo "$figure: the counts differ (or none were found):" >&2
      diff "$work/old.c" "$work/new.c" >&2 || true
      status=1
    fi
    i=$((i + 1))
  done
  median_old=$(median "$work/old.t")
  median_new=$(median "$work/new.t")
  # Each run of the old binary against the new one right after it: a host whose speed drifts
  # over minutes moves both runs of a pair alike.
  paste "$work/old.t" "$work/new.t" | awk '{ print $1 / $2 }' >"$work/pairs.t"
  printf '%-10s %10.3f %10.3f %7.3f %7.3f   old %s | new %s\n' $figure "$median_old" "$median_new" \
    "$(echo "$median_old $median_new" | awk '{ print $1 / $2 }')" "$(median "$work/pairs.t")" \
    "$(tr '\n' ' ' <"$work/old.t")" "$(tr '\n' ' ' <"$work/new.t")"
done
exit $status
