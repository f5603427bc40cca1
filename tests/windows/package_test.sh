#!/bin/bash
# The Windows installer under wine, as a player meets it: a silent install (twice, as a newer
# version goes over an older one) puts the game, its Start menu entry and its entry among the
# installed apps where it says; the installed game starts; a silent uninstall takes every
# installed file away and leaves the player's saved files alone.
# Usage: tests/windows/package_test.sh WINDOWS_BUILD PACKAGE_DIR
set -u -o pipefail
BUILD=$(readlink -f "$1")
PACKAGES=$(readlink -f "$2")
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/wine_env.sh"
wine_setup "$BUILD"
unset DISPLAY WAYLAND_DISPLAY

fail() { echo "FAILED: $*"; exit 1; }
note() { echo "[$(date +%T)] $*"; }
# A Windows folder's Linux path, from a variable such as %LOCALAPPDATA%.
linux_path() { winepath -u "$(wine cmd /c echo "$1" | tr -d '\r')"; }
UNINSTALL_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Plemby'

SETUP=$(ls "$PACKAGES"/plemby-*-setup.exe)
VERSION=$(basename "$SETUP" | sed 's/^plemby-\(.*\)-setup\.exe$/\1/')
INSTALLED=$(linux_path %LOCALAPPDATA%)/Programs/Plemby
SAVED=$(linux_path %APPDATA%)/Plemby
SHORTCUT="$(linux_path %APPDATA%)/Microsoft/Windows/Start Menu/Programs/Plemby!.lnk"
rm -rf "$INSTALLED" "$SAVED"

for round in 1 2; do
    wine "$(winepath -w "$SETUP")" /S
    wineserver -w
done
for file in plemby.exe plemby.com README.txt LICENSE.txt uninstall.exe; do
    [ -f "$INSTALLED/$file" ] || fail "the silent install did not put $file in $INSTALLED"
done
[ "$(find "$INSTALLED" -type f | wc -l)" = 5 ] || fail "the install holds more than its files: $(ls "$INSTALLED")"
[ -f "$SHORTCUT" ] || fail "no Start menu entry at $SHORTCUT"
for value in DisplayName Publisher DisplayIcon UninstallString QuietUninstallString; do
    wine reg query "$UNINSTALL_KEY" /v $value >/dev/null 2>&1 ||
        fail "the installed apps' entry has no $value"
done
wine reg query "$UNINSTALL_KEY" /v DisplayVersion | grep -q "$VERSION" ||
    fail "the installed apps' entry does not give version $VERSION"
note "installed twice in $INSTALLED, with its Start menu and installed apps entries"

said=$(wine "$(winepath -w "$INSTALLED/plemby.com")" --version | tr -d '\r')
[ "$said" = "plemby $VERSION" ] || fail "the installed game said '$said' to --version"
wine "$(winepath -w "$INSTALLED/plemby.exe")" --version >/dev/null ||
    fail "the installed windowed game did not start"
note "the installed game starts"

mkdir -p "$SAVED/replays"
printf 'kept' >"$SAVED/settings.bin"
printf 'kept' >"$SAVED/highscores.bin"
printf 'kept' >"$SAVED/replays/last.plr"
wine "$(winepath -w "$INSTALLED/uninstall.exe")" /S
wineserver -w
[ ! -e "$INSTALLED" ] || fail "the silent uninstall left $(find "$INSTALLED" | tr '\n' ' ')"
[ ! -e "$SHORTCUT" ] || fail "the silent uninstall left the Start menu entry"
! wine reg query "$UNINSTALL_KEY" >/dev/null 2>&1 || fail "the installed apps' entry stayed"
for file in settings.bin highscores.bin replays/last.plr; do
    [ "$(cat "$SAVED/$file" 2>/dev/null)" = kept ] || fail "the uninstall took the player's $file"
done
rm -rf "$SAVED"
note "the silent uninstall removed every installed file and kept the player's files"
echo "PASSED (Windows installer)"
