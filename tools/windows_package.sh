#!/bin/bash
# What a Windows player downloads, from a Windows build (make windows): in OUTDIR,
#   plemby-VERSION-windows-x64.zip   the game, its console twin, README.txt and LICENSE.txt
#                                    with Windows line ends
#   plemby-VERSION-setup.exe         the NSIS installer of the same files (data/windows/installer.nsi)
# Usage: tools/windows_package.sh SOURCE_DIR WINDOWS_BUILD_DIR OUTDIR
set -euo pipefail
src=$(realpath "$1")
build=$(realpath "$2")
out=$(realpath -m "$3")
version=$(sed -n 's/^project(Plemby VERSION \([0-9.]*\).*/\1/p' "$src/CMakeLists.txt")
[ -n "$version" ] || { echo "no version in $src/CMakeLists.txt" >&2; exit 1; }

stage=$out/plemby-$version
rm -rf "$out"
mkdir -p "$stage"
cp "$build/plemby.exe" "$build/plemby.com" "$stage/"
sed -e "s/@VERSION@/$version/" -e 's/$/\r/' "$src/data/windows/README.txt" >"$stage/README.txt"
sed -e 's/$/\r/' "$src/LICENSE" >"$stage/LICENSE.txt"
# The same file times every build, so the same files make the same zip.
touch -d @"$(git -C "$src" log -1 --format=%ct 2>/dev/null || echo 0)" "$stage"/*

zip=plemby-$version-windows-x64.zip
(cd "$out" && cmake -E tar cf "$zip" --format=zip "plemby-$version")

# The installer's own icon; not installed.
nsis=$out/nsis
mkdir -p "$nsis"
cp "$stage"/* "$nsis/"
cp "$src/data/icons/plemby.ico" "$nsis/"
size_kb=$(du -sk --apparent-size "$stage" | cut -f1)
makensis -V2 -DVERSION="$version" -DSTAGE="$nsis" -DSIZE_KB="$size_kb" \
    -DOUTFILE="$out/plemby-$version-setup.exe" "$src/data/windows/installer.nsi"
rm -rf "$nsis"
ls -l "$out/$zip" "$out/plemby-$version-setup.exe"
