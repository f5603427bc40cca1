#!/bin/bash
# The unit suite cross-built for Windows (BUILD/plemby_tests.exe), run under wine as one
# process: one wine start per test would cost more than the tests. Skipped tests print why.
set -eu -o pipefail
BUILD=$(readlink -f "$1")
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/wine_env.sh"
wine_setup "$BUILD"
cd "$BUILD"
# The suite makes itself headless; no display is needed or looked for.
unset DISPLAY WAYLAND_DISPLAY
status=0
wine plemby_tests.exe --gtest_color=no || status=$?
wineserver -w
exit $status
