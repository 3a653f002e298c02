#!/usr/bin/env bash
# Builds tarn.dll a second time for both architectures, from the same sources in a scratch
# directory elsewhere, and requires it byte for byte equal to the DLLs in dist/; then packs the
# release archives again and requires the same bytes. Run after ./build.sh. (tarn.exe is linked
# with the same timestamp-free flags; building it twice would only double the time.)
set -euo pipefail
cd "$(dirname "$0")/.."
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

declare -A toolchain=([win32]=i686 [win64]=x86_64)
for arch in win32 win64; do
  cmake -S . -B "$scratch/$arch" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="cmake/toolchain-mingw-${toolchain[$arch]}.cmake" >/dev/null
  cmake --build "$scratch/$arch" --target tarn >/dev/null
  cmp "$scratch/$arch/frame/tarn.dll" "dist/$arch/tarn.dll"
done

/usr/bin/python3 scripts/package.py "$scratch/package" >/dev/null
for file in dist/*.zip dist/SHA256SUMS; do
  cmp "$scratch/package/$(basename "$file")" "$file"
done
echo "reproducible: both DLLs and the archives are byte-identical in a second build"
