#!/bin/sh
# Builds the libFuzzer targets with clang in build-fuzz and runs each one for SECONDS (default
# 60), one after the other, on a scratch copy of its seed corpus under build-fuzz/fuzz-runs/.
# FUZZ_TARGETS picks a subset, e.g. FUZZ_TARGETS="command fen" sh scripts/fuzz.sh 3600.
# Exits non-zero when any target finds something, naming the crash input.
set -e
seconds=${1:-60}
targets=${FUZZ_TARGETS:-"command fen move settings epd"}
cd "$(dirname "$0")/.."

sh scripts/deps.sh clang-14 libclang-rt-14-dev
compiler=clang++
command -v clang++ >/dev/null 2>&1 || compiler=clang++-14

cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER="$compiler" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTAVRIN_FUZZ=ON -DTAVRIN_TESTS=OFF >/dev/null
cmake --build build-fuzz --target fuzz_targets -j "$(nproc)"

failed=""
for t in $targets; do
  echo "== fuzz_$t: $seconds s"
  sh fuzz/run_target.sh "build-fuzz/fuzz/fuzz_$t" "fuzz/corpus/$t" "fuzz/dict/$t.dict" "$seconds" \
    "build-fuzz/fuzz-runs/$t" || failed="$failed $t"
done
if [ -n "$failed" ]; then
  echo "Findings in:$failed (crash inputs under build-fuzz/fuzz-runs/<target>/artifacts/)"
  exit 1
fi
echo "No findings in: $targets"
