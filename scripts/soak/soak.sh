#!/bin/sh
# Long-running check of the engine: self-play games at a small and a large hash table, then many
# "go infinite" / "stop" cycles in one process, with the resident memory of every engine process
# sampled throughout. Prints a summary block and exits 1 on any fault. Options: see README.md.
set -u

HERE=$(cd "$(dirname "$0")" && pwd)
REPO=$(cd "$HERE/../.." && pwd)
SELFPLAY="$REPO/scripts/selfplay/selfplay.mjs"

engine="$REPO/build/tavrin"
games=1000
cycles=10000
tc="1+0.01"
small_hash=16
large_hash=2048
concurrency=1
seed=$(date +%s)
max_plies=300
openings=""
out=""

usage() {
  cat <<USAGE
usage: sh scripts/soak/soak.sh [options]
  --engine PATH       engine binary (default build/tavrin)
  --games N           self-play games in all, half at each hash size (default 1000; 0 skips them)
  --cycles N          go infinite/stop cycles (default 10000; 0 skips them)
  --tc B+I            clock of the games (default 1+0.01)
  --small-hash MB     table size of the first half of the games (default 16)
  --large-hash MB     table size of the second half (default 2048)
  --concurrency C     games played at once (default 1)
  --seed S            seed of the openings and cycles (default: the current time, printed)
  --max-plies P       game length at which a game is drawn (default 300)
  --openings PATH     PGN file or folder of openings (default ../shared/data/openings)
  --out DIR           folder for the logs, PGN and memory records (default a new /tmp/soak.XXXXXX)
  --help              this text
USAGE
}

while [ $# -gt 0 ]; do
  case "$1" in
    --help|-h) usage; exit 0 ;;
    --engine|--games|--cycles|--tc|--small-hash|--large-hash|--concurrency|--seed|--max-plies|--openings|--out)
      [ $# -ge 2 ] || { echo "soak: $1 needs a value" >&2; usage >&2; exit 2; }
      value=$2
      case "$1" in
        --engine) engine=$value ;;
        --games) games=$value ;;
        --cycles) cycles=$value ;;
        --tc) tc=$value ;;
        --small-hash) small_hash=$value ;;
        --large-hash) large_hash=$value ;;
        --concurrency) concurrency=$value ;;
        --seed) seed=$value ;;
        --max-plies) max_plies=$value ;;
        --openings) openings=$value ;;
        --out) out=$value ;;
      esac
      shift 2 ;;
    *) echo "soak: unknown option $1" >&2; usage >&2; exit 2 ;;
  esac
done

for number in "$games" "$cycles" "$small_hash" "$large_hash" "$concurrency" "$seed" "$max_plies"; do
  case "$number" in
    ''|*[!0-9]*) echo "soak: \"$number\" is not a whole number" >&2; exit 2 ;;
  esac
done
[ -x "$engine" ] || { echo "soak: no engine at $engine (build it with \"make build\")" >&2; exit 2; }
engine=$(cd "$(dirname "$engine")" && pwd)/$(basename "$engine")
if [ -z "$out" ]; then out=$(mktemp -d /tmp/soak.XXXXXX); else mkdir -p "$out"; fi
opening_args=""
[ -n "$openings" ] && opening_args="--openings $openings"

started=$(date +%s)
load=$(cut -d' ' -f1 /proc/loadavg)
echo "soak: engine $engine, $games games at $tc (hash $small_hash and $large_hash MB), $cycles cycles, seed $seed"
echo "soak: logs in $out; load average $load"

# Runs a command with its output both on the screen and in a log; its exit code goes to a file,
# as a pipe would lose it.
logged() {
  name=$1
  shift
  { "$@"; echo $? > "$out/$name.rc"; } 2>&1 | tee "$out/$name.log"
}

small_games=$(( (games + 1) / 2 ))
large_games=$(( games / 2 ))
if [ "$small_games" -gt 0 ]; then
  logged "games-$small_hash" node "$SELFPLAY" --engine "$engine" --games "$small_games" --tc "$tc" \
    --hash "$small_hash" --seed "$seed" --concurrency "$concurrency" --max-plies "$max_plies" $opening_args \
    --pgn "$out/games-$small_hash.pgn" --memory-log "$out/memory-$small_hash.jsonl"
fi
if [ "$large_games" -gt 0 ]; then
  logged "games-$large_hash" node "$SELFPLAY" --engine "$engine" --games "$large_games" --tc "$tc" \
    --hash "$large_hash" --seed "$((seed + 1))" --concurrency "$concurrency" --max-plies "$max_plies" $opening_args \
    --pgn "$out/games-$large_hash.pgn" --memory-log "$out/memory-$large_hash.jsonl"
fi
if [ "$cycles" -gt 0 ]; then
  logged cycles node "$HERE/cycles.mjs" --engine "$engine" --cycles "$cycles" --seed "$seed" $opening_args \
    --json "$out/cycles.json"
fi

node "$HERE/report.mjs" --dir "$out" --hashes "$small_hash,$large_hash" --started "$started" \
  --engine "$engine" --tc "$tc" --seed "$seed" --load "$load"
