#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs one of them.
# Usage: scripts/fuzz.sh TARGET SECONDS [libFuzzer options...]   (TARGET: a file name in fuzz/)
# The seed corpus in fuzz/corpus/TARGET is only read; what the run finds goes to
# build/fuzz/corpus/TARGET, and a crashing input to build/fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -lt 2 ]; then
  echo "usage: $0 TARGET SECONDS [libFuzzer options...]" >&2
  exit 2
fi
target=$1
seconds=$2
shift 2
[ -f "fuzz/$target.cpp" ] || { echo "fuzz: no fuzz/$target.cpp" >&2; exit 2; }

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target "fuzz_$target" >/dev/null
mkdir -p "build/fuzz/corpus/$target" build/fuzz/artifacts "fuzz/corpus/$target"
echo "fuzz: $target for ${seconds}s"
log=build/fuzz/$target.log
status=0
"build/fuzz/fuzz/fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 \
  -artifact_prefix=build/fuzz/artifacts/ "$@" \
  "build/fuzz/corpus/$target" "fuzz/corpus/$target" >"$log" 2>&1 || status=$?
if [ "$status" -ne 0 ]; then
  tail -n 60 "$log"
  echo "fuzz: $target FAILED (status $status); the input is in build/fuzz/artifacts/" >&2
  exit "$status"
fi
grep -E '^(Done|stat::number_of_executed_units)' "$log" || true
