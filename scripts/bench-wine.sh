#!/usr/bin/env bash
# Runs every Wine benchmark against the built 64-bit tarn.dll and prints its figures.
# Usage: scripts/bench-wine.sh [NAME...]   (default: all of build/win64/bench/wine/*.exe)
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build --preset win64 >/dev/null
dll=$PWD/build/win64/frame/tarn.dll
if [ $# -eq 0 ]; then set -- build/win64/bench/wine/*.exe; fi
for program in "$@"; do
  [ -f "$program" ] || program=build/win64/bench/wine/$program.exe
  echo "== $(basename "$program" .exe)"
  xvfb-run -a scripts/wine64-run "$PWD/build/win64/wineprefix" "$program" "$dll"
done
