#!/bin/bash
# Checks the Debian package as a distribution would take it: two builds of the same source, in
# folders at different depths, at different times, in different time zones and under
# different umasks, must give byte-identical packages; lintian must have nothing to say about
# the package (error, warning, information or pedantic), and blhc must find every hardening
# flag in the build log.
# Usage: tools/package_check.sh SOURCE_DIR OUTDIR
set -euo pipefail
src=$(realpath "$1")
out=$(realpath -m "$2")
here=$(dirname "$(realpath "$0")")
rm -rf "$out"
mkdir -p "$out"

(umask 022 && TZ=UTC "$here/package.sh" "$src" "$out/first")
(umask 077 && TZ=Pacific/Kiritimati "$here/package.sh" "$src" "$out/second/built/elsewhere")

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

second=$out/second/built/elsewhere
for f in "$out"/first/*.deb; do
    name=$(basename "$f")
    if cmp -s "$f" "$second/$name"; then
        echo "identical: $name ($(sha256sum <"$f" | cut -c1-16))"
    else
        fail "$name differs between the two builds"
        if command -v diffoscope >/dev/null; then diffoscope "$f" "$second/$name" | head -n 60; fi
    fi
done

deb=$(ls "$out"/first/plemby_*.deb)
if lintian --pedantic -I --fail-on error,warning,info,pedantic "$deb"; then
    echo "lintian --pedantic -I: nothing to say about $(basename "$deb")"
else
    fail "lintian on $(basename "$deb")"
fi

log=$(ls "$out"/first/*.build)
if blhc --bindnow "$log"; then
    echo "blhc --bindnow: every flag in $(basename "$log")"
else
    fail "blhc on $(basename "$log")"
fi

[ "$failures" -eq 0 ] || exit 1
echo "package: reproducible, lintian-clean, hardened"
