#!/usr/bin/env bash
# Builds everything (installing what is missing), then runs every test tier; fails on any failure.
set -euo pipefail
cd "$(dirname "$0")"
./build.sh

echo "== native unit tests"
ctest --preset native --parallel "$(nproc)"

echo "== native unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
ctest --preset native-asan --parallel "$(nproc)"

echo "== the tests that run threads, under ThreadSanitizer"
ctest --preset native-tsan --parallel "$(nproc)"

echo "== binary checks of both DLLs and the 32-bit DLL in an x86 emulator"
(cd tests/binary && /usr/bin/python3 -m unittest discover -p 'test_*.py')

echo "== Wine integration tests (64-bit DLL), with an X server for the window tests"
xvfb-run -a ctest --preset win64

echo "== fuzzers, briefly (scripts/fuzz.sh TARGET SECONDS runs one longer)"
for source in fuzz/*.cpp; do
  scripts/fuzz.sh "$(basename "$source" .cpp)" 8
done

echo "== reproducible build: a second build of the same sources gives the same bytes"
scripts/check-reproducible.sh

echo "test: all tiers passed"
