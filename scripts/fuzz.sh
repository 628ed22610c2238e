#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given number of seconds
# (default 30), starting from its seed corpus in fuzz/corpus/<name>/. Findings land in
# build-fuzz/findings/<name>/; a failed invariant or a crash fails the run.
#   bash scripts/fuzz.sh 600      # ten minutes a target
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPAGEKILN_FUZZ=ON -DPAGEKILN_TESTS=OFF -DPAGEKILN_BENCH=OFF > /dev/null
cmake --build build-fuzz
for exe in build-fuzz/fuzz/fuzz_*; do
  [ -f "$exe" ] && [ -x "$exe" ] || continue
  name=$(basename "$exe"); name=${name#fuzz_}
  work="build-fuzz/findings/$name"; mkdir -p "$work/corpus"
  echo "-- $name: ${seconds}s"
  "$exe" -max_total_time="$seconds" -max_len=8192 -artifact_prefix="$work/" -print_final_stats=1 \
    "$work/corpus" "fuzz/corpus/$name" 2>&1 | grep -E '^(Done|stat::number_of_executed_units|==|invariant)' || true
  found=$(find "$work" -maxdepth 1 -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \))
  if [ -n "$found" ]; then
    echo "fuzz target $name found a failing input:"; echo "$found"
    exit 1
  fi
done
