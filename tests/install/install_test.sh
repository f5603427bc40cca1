#!/bin/sh
# Installs the build into a scratch folder as a package would (prefix /usr), checks every file
# a desktop needs with its own validators, then runs the installed game headless and ends it
# the way a session manager does.
# Usage: install_test.sh BUILD_DIR APP_ID VERSION SOURCE_DIR
set -u
build=$1 id=$2 version=$3 source=$4
scratch=$(mktemp -d)
game=
trap 'if [ -n "$game" ]; then kill -KILL "$game" 2>/dev/null; fi; rm -rf "$scratch"' EXIT
root=$scratch/root
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

DESTDIR=$root cmake --install "$build" --prefix /usr >"$scratch/install.log" 2>&1 ||
    { cat "$scratch/install.log"; echo "FAIL: cmake --install"; exit 1; }
share=$root/usr/share

for tool in games/plemby bin/xmrender; do
    [ -x "$root/usr/$tool" ] || fail "$tool missing or not executable"
done

entry=$share/applications/$id.desktop
if [ -f "$entry" ]; then
    out=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate: $out"
    [ -z "$out" ] || fail "desktop-file-validate: $out"
    for line in "Exec=plemby" "Icon=$id" "StartupWMClass=$id" "Categories=Game;BlocksGame;"; do
        grep -qx "$line" "$entry" || fail "desktop entry lacks $line"
    done
else
    fail "$entry missing"
fi

validate_metainfo() {  # validate_metainfo FILE
    out=$(appstreamcli validate --no-net --pedantic "$1" 2>&1) ||
        fail "appstreamcli validate $1: $out"
    case $out in *"W: "* | *"E: "*) fail "appstreamcli validate $1: $out" ;; esac
}

metainfo=$share/metainfo/$id.metainfo.xml
if [ -f "$metainfo" ]; then
    validate_metainfo "$metainfo"
    # A build names no addresses unless its publisher gives them.
    ! grep -q "http" "$metainfo" || fail "metainfo names an address nobody gave: $(grep http "$metainfo")"
    grep -q "<id>$id</id>" "$metainfo" || fail "metainfo id is not $id"
    grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
        fail "metainfo does not launch $id.desktop"
    grep -q "<release version=\"$version\"" "$metainfo" || fail "metainfo lacks release $version"
else
    fail "$metainfo missing"
fi

# With a publisher's addresses the metainfo names them, and validates as well.
published=$scratch/published.metainfo.xml
cmake -DPLEMBY_METAINFO_IN="$source/data/$id.metainfo.xml.in" -DPLEMBY_METAINFO_OUT="$published" \
    -DPROJECT_VERSION="$version" -DPLEMBY_HOMEPAGE=https://games.example.org/plemby \
    -DPLEMBY_BUGTRACKER=https://games.example.org/plemby/bugs \
    -DPLEMBY_SCREENSHOT_BASE=https://games.example.org/plemby/screenshots \
    -P "$source/cmake/WriteMetainfo.cmake" || fail "WriteMetainfo.cmake with addresses"
validate_metainfo "$published"
[ "$(grep -c 'games.example.org' "$published")" -eq 8 ] ||
    fail "the published metainfo lacks its home page, bug tracker or six screenshots"

# The licence, and the Debian packaging that ships it, agree with the build.
grep -q "^MIT License" "$source/LICENSE" && grep -q "Permission is hereby granted" "$source/LICENSE" ||
    fail "LICENSE is not the MIT licence"
grep -q "^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" \
    "$source/debian/copyright" && grep -q "^License: MIT" "$source/debian/copyright" ||
    fail "debian/copyright is not a machine-readable MIT copyright"
head -n 1 "$source/debian/changelog" | grep -q "^plemby ($version) " ||
    fail "debian/changelog's version is not $version: $(head -n 1 "$source/debian/changelog")"

# A PNG's width and height are the big-endian words at bytes 16 and 20.
for size in 16 24 32 48 64 128 256; do
    icon=$share/icons/hicolor/${size}x$size/apps/$id.png
    if [ -f "$icon" ]; then
        dims=$(od -An -tu1 -j16 -N8 "$icon" | tr -s ' ' | sed 's/^ //')
        want="0 0 $((size / 256)) $((size % 256)) 0 0 $((size / 256)) $((size % 256))"
        [ "$dims" = "$want" ] || fail "$icon is not ${size}x$size ($dims)"
    else
        fail "$icon missing"
    fi
done

for page in man6/plemby.6 man1/xmrender.1; do
    gz=$share/man/$page.gz
    if [ -f "$gz" ]; then
        out=$(gzip -dc "$gz" | groff -man -ww -z 2>&1)
        [ -z "$out" ] || fail "groff on $page: $out"
    else
        fail "$gz missing"
    fi
done

# The command line answers without a display or a sound card.
game_bin=$root/usr/games/plemby
nodisplay() { env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER -u SDL_AUDIODRIVER "$@"; }
out=$(nodisplay "$game_bin" --version 2>&1)
[ $? -eq 0 ] && [ "$out" = "plemby $version" ] || fail "plemby --version: $out"
nodisplay "$game_bin" --help >"$scratch/help.out" 2>"$scratch/help.err"
[ $? -eq 0 ] && grep -q "^Usage: plemby" "$scratch/help.out" && [ ! -s "$scratch/help.err" ] ||
    fail "plemby --help: $(cat "$scratch/help.out" "$scratch/help.err")"
nodisplay "$game_bin" --no-such-option >"$scratch/wrong.out" 2>"$scratch/wrong.err"
[ $? -eq 2 ] && grep -q "^Usage: plemby" "$scratch/wrong.err" && [ ! -s "$scratch/wrong.out" ] ||
    fail "plemby with a wrong option: $(cat "$scratch/wrong.out" "$scratch/wrong.err")"

# The installed game, run from an unrelated folder with its own home and runtime folders. It
# listens for a second copy only once its window and event handling are up, so the socket's
# appearance says a SIGTERM will be taken as a request to quit.
home=$scratch/home
mkdir -p "$home" "$scratch/runtime" "$scratch/tmp" "$scratch/cwd"
chmod 700 "$scratch/runtime"
cd "$scratch/cwd" || exit 1
# Headless as the other tests: the software renderer, without Mesa's EGL, which leaks. The
# game also locks the temporary folder against a second copy: its own, so that games started
# elsewhere at the same time (other tests, a player's) are not taken for a running copy.
run_game() {  # in a subshell: the game takes the subshell's place, and its process id
    exec env -u DISPLAY -u WAYLAND_DISPLAY HOME="$home" XDG_CONFIG_HOME="$home/config" \
        XDG_DATA_HOME="$home/data" XDG_RUNTIME_DIR="$scratch/runtime" TMPDIR="$scratch/tmp" \
        SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy SDL_RENDER_DRIVER=software \
        SDL_VIDEO_EGL_DRIVER=none "$game_bin"
}
wait_for() {  # wait_for SECONDS TEST...: polls every tenth of a second
    limit=$(($1 * 10))
    shift
    while ! "$@"; do
        limit=$((limit - 1))
        [ "$limit" -gt 0 ] || return 1
        sleep 0.1
    done
}
listening_or_gone() {
    [ -S "$scratch/runtime/plemby.sock" ] || ! kill -0 "$game" 2>/dev/null
}
(run_game) >"$scratch/game.log" 2>&1 &
game=$!
wait_for 120 listening_or_gone
if [ -S "$scratch/runtime/plemby.sock" ] && kill -0 "$game" 2>/dev/null; then
    (run_game) >"$scratch/second.log" 2>&1
    status=$?
    [ "$status" -eq 255 ] || fail "a second copy exited with $status, not 255"
    kill -TERM "$game"
    wait "$game"
    status=$?
    game=
    [ "$status" -eq 0 ] || fail "the game ended with $status on SIGTERM, not 0: $(cat "$scratch/game.log")"
    [ -s "$home/config/plemby/settings.bin" ] || fail "the game kept no settings when it ended"
else
    fail "the installed game did not start: $(cat "$scratch/game.log")"
fi

[ "$failures" -eq 0 ] || exit 1
echo "installed tree, validators and installed game: all good"
