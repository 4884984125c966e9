#!/bin/sh
# Runs one fuzz target for a number of seconds on a scratch copy of its seed corpus, so that
# the run never grows the repository. Usage:
#   run_target.sh BINARY CORPUS_DIR DICTIONARY SECONDS WORK_DIR [libFuzzer options...]
# Exit status 0 when nothing was found; otherwise non-zero, with the crash input's path.
set -u
binary=$(realpath "$1") corpus=$2 dict=$(realpath "$3" 2>/dev/null || echo "$3") seconds=$4 work=$5
shift 5
name=$(basename "$binary")
rm -rf "$work"
mkdir -p "$work/corpus" "$work/artifacts"
work=$(realpath "$work")
cp "$corpus"/* "$work/corpus/" 2>/dev/null
dict_option=
[ -f "$dict" ] && dict_option="-dict=$dict"
# One job at a time; its log lands in the work directory as fuzz-0.log.
(cd "$work" && "$binary" -jobs=1 -max_total_time="$seconds" -timeout=30 -rss_limit_mb=3072 -max_len=4096 \
  -print_final_stats=1 -artifact_prefix="$work/artifacts/" $dict_option "$@" "$work/corpus") >"$work/driver.log" 2>&1
status=$?
log="$work/fuzz-0.log"
[ -f "$log" ] || log="$work/driver.log"
found=$(ls "$work/artifacts" 2>/dev/null)
if [ "$status" -ne 0 ] || [ -n "$found" ]; then
  tail -n 60 "$log"
  echo "$name: FINDING (exit status $status); log $log"
  for f in $found; do echo "$name: crash input $work/artifacts/$f"; done
  exit 1
fi
grep -E "INITED|DONE|^stat::" "$log"
echo "$name: no finding in $seconds s; corpus grew to $(ls "$work/corpus" | wc -l) inputs in $work/corpus"
exit 0
