#!/usr/bin/env bash
# Proves that the fuzz oracles can fail: builds each fuzz target with a fault planted in
# the code it checks (PAGEKILN_MUTANT=NAME defines PAGEKILN_MUTANT_NAME there) and runs it
# from its seed corpus for at most the given number of seconds (default 60). Every planted
# fault must be found; one that survives fails the run.
#   bash scripts/fuzz-mutants.sh        # all planted faults, 60 seconds each at most
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
# fault  target that must find it
mutants=(
  "LINE_START scan"
  "LONE_CR lineends"
  "TAGDB_FIRST_ONLY tagdb"
  "KSD_NO_READBACK ksd"
  "KSD_LAST_ENTRY ksdread"
  "LONG_ROUNDING profilenumber"
  "REF_HALVES numericref"
  "COPY_LAST_SURROGATE recoverycopy"
)
launcher=()
command -v ccache > /dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
survived=0
for entry in "${mutants[@]}"; do
  read -r mutant target <<< "$entry"
  cmake -S . -B build-mutant -G Ninja -DCMAKE_CXX_COMPILER=clang++ "${launcher[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPAGEKILN_FUZZ=ON -DPAGEKILN_TESTS=OFF -DPAGEKILN_BENCH=OFF -DPAGEKILN_MUTANT="$mutant" > /dev/null
  cmake --build build-mutant --target "fuzz_$target" > /dev/null
  work=$(mktemp -d)
  start=$SECONDS
  build-mutant/fuzz/"fuzz_$target" -max_total_time="$seconds" -max_len=8192 -artifact_prefix="$work/" \
    "$work" "fuzz/corpus/$target" > "$work/log" 2>&1 || true
  if compgen -G "$work/crash-*" > /dev/null; then
    echo "fuzz_$target found $mutant in $((SECONDS - start)) s: $(grep -m1 -E '^invariant failed' "$work/log" || true)"
  else
    echo "fuzz_$target did NOT find $mutant within $seconds s"
    survived=1
  fi
  rm -rf "$work"
done
exit $survived
