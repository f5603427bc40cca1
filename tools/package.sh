#!/bin/bash
# Builds the Debian package the way a distribution does, with dpkg-buildpackage, from a copy of
# the source tree in OUTDIR: what a clean clone holds, with any edits not yet committed. The
# .deb, its -dbgsym package, the .buildinfo, the .changes and the build log land in OUTDIR;
# the source tree and its build folders are left as they were.
# Usage: tools/package.sh SOURCE_DIR OUTDIR
set -euo pipefail
src=$(realpath "$1")
out=$(realpath -m "$2")
version=$(dpkg-parsechangelog -l "$src/debian/changelog" -S Version)
arch=$(dpkg-architecture -q DEB_HOST_ARCH)

rm -rf "$out"
tree=$out/plemby-$version
mkdir -p "$tree"
if git -C "$src" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    # Tracked and new files, not the ignored ones (build folders); a file deleted but not yet
    # committed is left out.
    (cd "$src" && git ls-files -z --cached --others --exclude-standard |
        while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done |
        tar --null -T - -cf -) | tar -C "$tree" -xf -
else
    tar -C "$src" --exclude='./build*' --exclude=./debian/.debhelper --exclude='./obj-*' -cf - . |
        tar -C "$tree" -xf -
fi

log=$out/plemby_${version}_$arch.build
(cd "$tree" && dpkg-buildpackage -us -uc -b) >"$log" 2>&1 ||
    { tail -n 40 "$log"; echo "dpkg-buildpackage failed; the whole log is $log" >&2; exit 1; }
rm -rf "$tree"
ls "$out"/*.deb
