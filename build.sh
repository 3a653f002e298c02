#!/usr/bin/env bash
# Installs what is missing, then builds every preset and collects the results in dist/.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh

for preset in native native-asan native-tsan win32 win64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done

rm -rf dist
for arch in win32 win64; do
  cmake --install "build/$arch" --prefix "dist/$arch" >/dev/null
done
cmake --install build/native --prefix dist/linux >/dev/null
mkdir -p dist/include
cp include/tarn.h dist/include/
/usr/bin/python3 scripts/package.py
echo "build: dist/win32/ and dist/win64/ (tarn.dll, tarn.exe), dist/linux/tarn, dist/include/tarn.h,"
echo "       the release archives dist/tarn-*-win32.zip and dist/tarn-*-win64.zip, dist/SHA256SUMS"
