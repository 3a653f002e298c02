#!/usr/bin/env bash
# Builds the native benchmarks and runs them: MB/s of every path of the Base64 codec and the
# cipher beside memcpy and OpenSSL, then a summary of the ratios from the medians and from the best of the repetitions.
# Usage: scripts/bench.sh [Google Benchmark options...], e.g. --benchmark_filter=16MiB
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset native >/dev/null
cmake --build --preset native --target codec_bench >/dev/null
exec build/native/bench/codec_bench --benchmark_repetitions=9 \
  --benchmark_enable_random_interleaving=true --benchmark_min_time=0.05 "$@"
