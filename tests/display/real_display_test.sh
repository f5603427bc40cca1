#!/bin/bash
# The built game on a virtual X display, played as a player would: keys and the pointer from
# xdotool, verdicts from the screen's pixels and from the files the game stores.
#
#   real_display_test.sh GAME wm     with a window manager (openbox)
#   real_display_test.sh GAME nowm   without one
#   real_display_test.sh GAME kill   SIGKILL at random moments while scores and settings are stored
#   real_display_test.sh WINDOWS_BUILD windows LINUX_GAME
#                                    the Windows game (WINDOWS_BUILD/plemby.exe) under wine, with
#                                    no DISPLAY, HOME or XDG_* in its environment; its replay
#                                    checked by the Linux game LINUX_GAME and the other way round
#
# Every wait is for something seen (a window, a file, a picture) within a generous bound, so a
# slow, busy machine only makes the test slower. Exit status 77 (skipped) when the tools are
# missing. Each run has its own display, home, XDG and temporary folders, so runs may go side by side.
set -u -o pipefail

GAME=$(readlink -f "$1")
MODE=$2
HERE=$(cd "$(dirname "$0")" && pwd)
SKIPPED=77
# A wait that sees nothing for this long fails the test; no healthy run comes near it.
PATIENCE=90

for tool in Xvfb xdotool xwininfo xprop import convert compare; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIPPED: $tool is not installed (make test installs it)"
        exit $SKIPPED
    fi
done
if [ "$MODE" = windows ] && ! command -v wine >/dev/null; then
    echo "SKIPPED: wine is not installed (make test installs it)"
    exit $SKIPPED
fi
if { [ "$MODE" = wm ] || [ "$MODE" = windows ]; } && ! command -v openbox >/dev/null; then
    echo "SKIPPED: openbox is not installed (make test installs it)"
    exit $SKIPPED
fi

WORK=$(mktemp -d "${TMPDIR:-/tmp}/plemby-display.XXXXXX")
PIDS=()
cleanup() {
    local pid
    for pid in "${PIDS[@]}"; do kill -9 "$pid" 2>/dev/null; done
    wait 2>/dev/null
    if [ "${PASSED:-0}" = 1 ]; then rm -rf "$WORK"; else echo "screenshots and logs kept in $WORK"; fi
}
trap cleanup EXIT
# A timeout's or a user's interrupt still takes the display and the game down.
trap 'exit 1' TERM INT HUP

fail() {
    echo "FAILED: $*"
    for log in "$WORK"/game*.log; do
        [ -s "$log" ] && { echo "--- $log"; tail -n 40 "$log"; }
    done
    exit 1
}
note() { echo "[$(date +%T)] $*"; }

# wait_for WHAT COMMAND...: runs COMMAND until it succeeds.
wait_for() {
    local what=$1 deadline=$((SECONDS + PATIENCE))
    shift
    until "$@"; do
        ((SECONDS < deadline)) || fail "waited ${PATIENCE}s for $what"
        sleep 0.1
    done
}

# --- the player's surroundings ------------------------------------------------------------

unset SDL_VIDEODRIVER SDL_RENDER_DRIVER WAYLAND_DISPLAY DISPLAY
export HOME=$WORK/home XDG_CONFIG_HOME=$WORK/config XDG_DATA_HOME=$WORK/data
export XDG_CACHE_HOME=$WORK/cache XDG_RUNTIME_DIR=$WORK/runtime SDL_AUDIODRIVER=dummy
# The game also takes its single-instance lock in the temporary folder: one of our own, so that
# games elsewhere (other tests, a player's) are not taken for a running copy.
export TMPDIR=$WORK/tmp
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$WORK/play" "$TMPDIR"
mkdir -m 700 "$XDG_RUNTIME_DIR"
SETTINGS=$XDG_CONFIG_HOME/plemby/settings.bin
SCORES=$XDG_DATA_HOME/plemby/highscores.bin

# The sanitizer build's leak check runs at exit. Mesa's GL driver is unloaded before it, which
# leaves blocks its globals still pointed to without a name to suppress them by; kept loaded
# (preloaded after the sanitizer's own runtime, which must come first), they stay reachable.
GAME_PRELOAD=
ASAN_LIB=$(ldd "$GAME" 2>/dev/null | awk '/libasan/ { print $3 }')
DRI_DRIVER=$(ls /usr/lib/*/dri/swrast_dri.so 2>/dev/null | head -n 1)
if [ -n "$ASAN_LIB" ] && [ -n "$DRI_DRIVER" ]; then GAME_PRELOAD="$ASAN_LIB $DRI_DRIVER"; fi
export LSAN_OPTIONS="suppressions=$HERE/lsan_suppressions.txt:print_suppressions=0"

start_display() {
    make_screen_references
    # Xvfb picks a free display number itself and writes it once it accepts clients.
    # -noreset: a game started just as the last one leaves must find the server up.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$WORK/display" \
        >"$WORK/xvfb.log" 2>&1 &
    PIDS+=($!)
    wait_for "the virtual display" test -s "$WORK/display"
    export DISPLAY=:$(head -n 1 "$WORK/display")
    if [ "$MODE" = wm ] || [ "$MODE" = windows ]; then
        openbox --sm-disable >"$WORK/openbox.log" 2>&1 &
        PIDS+=($!)
        wait_for "the window manager" wm_running
    fi
    note "display $DISPLAY ready ($MODE)"
}
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

# Starts the game in the play folder; GAME_PID is its process. A small shell beside it notes
# its exit status (quietly: bash would report a killed game on stderr).
GAME_RUNS=0
start_game() {
    GAME_RUNS=$((GAME_RUNS + 1))
    GAME_LOG=$WORK/game$GAME_RUNS.log
    (
        cd "$WORK/play" || exit
        if [ "$MODE" = windows ]; then
            wine cmd /c "$WINDOWS_UNSET$(winepath -w "$GAME")" >"$GAME_LOG" 2>&1 &
        else
            LD_PRELOAD=$GAME_PRELOAD "$GAME" >"$GAME_LOG" 2>&1 &
        fi
        echo $! >"$WORK/starting"
        mv "$WORK/starting" "$WORK/started"
        wait $!
        echo $? >"$WORK/status.starting.$!"
        mv "$WORK/status.starting.$!" "$WORK/status.$!"
    ) 2>/dev/null &
    PIDS+=($!)
    wait_for "the game to start" test -e "$WORK/started"
    GAME_PID=$(<"$WORK/started")
    rm "$WORK/started"
    PIDS+=("$GAME_PID")
}

# wait_exit PID: waits for the game to end and sets STATUS to its exit status.
wait_exit() {
    wait_for "the game to exit" test -e "$WORK/status.$1"
    STATUS=$(<"$WORK/status.$1")
}

# --- the window and its picture -------------------------------------------------------------

find_window() {
    WID=$(xdotool search --onlyvisible --name '^Plemby!$' 2>/dev/null | head -n 1)
    [ -n "$WID" ] && xwininfo -id "$WID" 2>/dev/null | grep -q IsViewable
}

# Reads the window's place and size on the screen and the letterbox of the 1024 x 768 picture.
read_geometry() {
    local info
    info=$(xwininfo -id "$WID" 2>/dev/null) || return 1
    WIN_X=$(awk '/Absolute upper-left X/ { print $NF }' <<<"$info")
    WIN_Y=$(awk '/Absolute upper-left Y/ { print $NF }' <<<"$info")
    WIN_W=$(awk '/Width:/ { print $NF }' <<<"$info")
    WIN_H=$(awk '/Height:/ { print $NF }' <<<"$info")
    read -r PIC_X PIC_Y PIC_W PIC_H < <(awk -v w="$WIN_W" -v h="$WIN_H" 'BEGIN {
        s = w / 1024 < h / 768 ? w / 1024 : h / 768
        pw = int(1024 * s + 0.5); ph = int(768 * s + 0.5)
        print int((w - pw) / 2), int((h - ph) / 2), pw, ph }')
}
# Found afresh each time: SDL may make the window anew for its renderer just after showing it.
window_is() { find_window && read_geometry && [ "$WIN_W" = "$1" ] && [ "$WIN_H" = "$2" ]; }
# A window out of full screen is at (64, 64): its frame, where a window manager draws one.
window_placed() {
    window_is 1024 768 || return 1
    local left= top=
    read -r left _ top _ < <(xprop -id "$WID" _NET_FRAME_EXTENTS 2>/dev/null |
        awk -F' = ' 'NF == 2 { gsub(",", "", $2); print $2 }')
    [ $((WIN_X - ${left:-0})) = 64 ] && [ $((WIN_Y - ${top:-0})) = 64 ]
}

# to_screen X Y: a picture pixel's place on the screen, in SX and SY.
to_screen() {
    read -r SX SY < <(awk -v x="$1" -v y="$2" -v px="$PIC_X" -v py="$PIC_Y" -v pw="$PIC_W" \
        -v wx="$WIN_X" -v wy="$WIN_Y" 'BEGIN { s = pw / 1024
        print int(wx + px + (x + 0.5) * s), int(wy + py + (y + 0.5) * s) }')
}

# Captures of the window, in SHOT; only the last few are kept (keep saves one under a name).
SHOTS=0
capture() {
    SHOTS=$((SHOTS + 1))
    SHOT=$WORK/shot$((SHOTS % 4)).miff
    # A capture that fails leaves no file, not an older picture that could pass for this one.
    rm -f "$SHOT"
    import -silent -window "$WID" "$SHOT" 2>/dev/null
}
keep() {
    cp "$SHOT" "$WORK/$1.miff"
    KEPT=$WORK/$1.miff
}

# place_means IMAGE PLACE...: the mean brightness (0..1) of each place (left top right bottom in
# picture pixels) in the capture IMAGE, one line each, measured a little inside it so that
# scaling's soft edges do not count.
place_means() {
    local image=$1 item geo
    local -a crops=()
    shift
    for item in "$@"; do
        geo=$(awk -v px="$PIC_X" -v py="$PIC_Y" -v pw="$PIC_W" -v rect="$item" 'BEGIN {
            split(rect, c, " "); s = pw / 1024; m = 3
            printf "%dx%d+%d+%d", int((c[3] - c[1]) * s) - 2 * m, int((c[4] - c[2]) * s) - 2 * m,
                int(px + c[1] * s) + m, int(py + c[2] * s) + m }')
        crops+=('(' -clone 0 -crop "$geo" +repage ')')
    done
    convert "$image" "${crops[@]}" -delete 0 -format '%[fx:mean]\n' info:
}
# item_means IMAGE: the mean brightness of each menu item's rectangle.
item_means() { place_means "$1" "${MENU_ITEMS[@]}"; }
# window_mean IMAGE GEOMETRY: mean brightness of a part of the window, in window pixels.
window_mean() { convert "$1" -crop "$2" +repage -format '%[fx:mean]' info:; }
above() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }
near() { awk -v a="$1" -v b="$2" 'BEGIN { d = a - b; exit !(d < 0.02 && d > -0.02) }'; }
same_images() { [ "$(compare -metric AE "$1" "$2" null: 2>&1)" = 0 ]; }

# The picture stands still: two captures a moment apart are the same.
steady() {
    capture
    local first=$SHOT
    sleep 0.3
    capture
    same_images "$first" "$SHOT"
}
changed_from() {
    capture
    ! same_images "$1" "$SHOT"
}

# --- which screen the picture shows ---------------------------------------------------------

# Each screen is told by its background, the game's own picture: a capture shows the screen whose
# picture is nearest to it, when it is near enough (a game or a black picture is none), and
# once its fade has ended: a place of the picture where the screen draws nothing of its own
# (its title) is then as bright as in the picture itself. Compared so, a fade that a busy
# machine holds up just before its end is not taken for the screen it leads to.
SCREEN_NAMES=("the title" "the main menu" "the high scores" "the options" "the help")
SCREEN_PICTURES=(115 118 119 121 122)
TITLE_PLACES=("150 40 870 300" "10 10 420 120" "230 10 800 100" "10 10 420 120" "300 0 720 50")
# The last step of a fade leaves the picture 1.2% darker. The titles are measured in the
# pictures scaled as the window shows them (at its own size the game's picture is the same to
# the last bit; scaled for full screen, the two scalings differ by 0.2% at the most).
FADED_IN=0.005
declare -A TITLE_MEANS
PICTURES=$HERE/../../resources/RCDATA
MENU_PICTURE=118
HIGH_SCORES_PICTURE=119
# Small enough to compare quickly, large enough to tell the pictures apart: compared so, the
# screens' pictures lie 0.19 or more apart (RMSE, 0..1), and a screen with its text and lit
# items drawn stays within 0.11 of its own.
COMPARE_SIZE='128x96!'
NEAR_SCREEN=0.15
# Beside the name-entry caption, where no letter is drawn: the entry panel darkens it to a quarter.
ENTRY_PLACE="560 284 720 350"

make_screen_references() {
    local picture
    for picture in "${SCREEN_PICTURES[@]}"; do
        convert "$PICTURES/$picture.jpg" -resize "$COMPARE_SIZE" "$WORK/screen-$picture.miff" ||
            fail "cannot read the picture $PICTURES/$picture.jpg"
    done
    ENTRY_PLACE_MEAN=$(PIC_X=0 PIC_Y=0 PIC_W=1024 place_means "$PICTURES/$HIGH_SCORES_PICTURE.jpg" "$ENTRY_PLACE")
    # The menu's items as its picture has them, none lit.
    mapfile -t UNLIT_MEANS < <(PIC_X=0 PIC_Y=0 PIC_W=1024 place_means "$PICTURES/$MENU_PICTURE.jpg" "${MENU_ITEMS[@]}")
}

# The brightness of each screen's title place in its own picture, at the size the window shows
# the picture now, in TITLE_MEANS[width,screen]; measured once for each size.
measure_titles() {
    local i scaled=$WORK/scaled.miff
    [ -n "${TITLE_MEANS[$PIC_W,0]:-}" ] && return
    for i in "${!SCREEN_PICTURES[@]}"; do
        convert "$PICTURES/${SCREEN_PICTURES[i]}.jpg" -resize "${PIC_W}x${PIC_H}!" -depth 8 "$scaled"
        TITLE_MEANS[$PIC_W,$i]=$(PIC_X=0 PIC_Y=0 place_means "$scaled" "${TITLE_PLACES[i]}")
    done
}

# screen_seen IMAGE: the name of the screen the capture IMAGE shows.
screen_seen() {
    local -a compared=() distances=() means=()
    local picture i best=-1
    for picture in "${SCREEN_PICTURES[@]}"; do
        compared+=('(' mpr:seen "$WORK/screen-$picture.miff" -compose difference -composite
            -evaluate pow 2 ')')
    done
    # The picture's own part of the window, small; then its root mean square difference from each
    # screen's picture.
    mapfile -t distances < <(convert "$1" -crop "${PIC_W}x${PIC_H}+$PIC_X+$PIC_Y" +repage \
        -resize "$COMPARE_SIZE" -write mpr:seen -format '%[fx:maxima]\n' -write info: +delete \
        "${compared[@]}" -format '%[fx:sqrt(mean)]\n' info: 2>/dev/null)
    if [ "${#distances[@]}" != $((${#SCREEN_PICTURES[@]} + 1)) ]; then
        echo "no picture"
        return
    fi
    if ! above "${distances[0]}" 0.05; then
        echo "a black picture"
        return
    fi
    for i in "${!SCREEN_PICTURES[@]}"; do
        if ((best < 0)) || above "${distances[best + 1]}" "${distances[i + 1]}"; then best=$i; fi
    done
    if above "${distances[best + 1]}" $NEAR_SCREEN; then
        echo "an unknown picture (nearest ${SCREEN_NAMES[best]}, ${distances[best + 1]} from it)"
        return
    fi
    mapfile -t means < <(place_means "$1" "${TITLE_PLACES[best]}" "$ENTRY_PLACE")
    local title=${TITLE_MEANS[$PIC_W,$best]}
    if ! awk -v m="${means[0]}" -v r="$title" -v t=$FADED_IN \
        'BEGIN { d = m / r - 1; exit !(d <= t && d >= -t) }'; then
        echo "${SCREEN_NAMES[best]} on its way in (its title at ${means[0]}, not $title)"
    elif [ "${SCREEN_PICTURES[best]}" = $HIGH_SCORES_PICTURE ] &&
        above "$(awk -v m="$ENTRY_PLACE_MEAN" 'BEGIN { print m / 2 }')" "${means[1]}"; then
        echo "the name entry"
    else
        echo "${SCREEN_NAMES[best]}"
    fi
}

# on_screen NAME: the picture stands still and shows the screen NAME; SEEN says what it shows.
on_screen() {
    if ! steady; then
        SEEN="a moving picture"
        return 1
    fi
    measure_titles
    SEEN=$(screen_seen "$SHOT")
    [ "$SEEN" = "$1" ]
}
# wait_screen NAME: waits for the screen NAME; a failure tells what was seen instead.
wait_screen() {
    local deadline=$((SECONDS + PATIENCE))
    until on_screen "$1"; do
        if ((SECONDS >= deadline)); then
            [ -e "$SHOT" ] && keep seen-instead
            fail "waited ${PATIENCE}s for $1, but saw $SEEN (kept in $WORK/seen-instead.miff)"
        fi
        sleep 0.1
    done
}
# The main menu with item ITEM lit, brighter than in the menu's picture.
item_lit() {
    on_screen "the main menu" || return 1
    local -a means
    mapfile -t means < <(place_means "$SHOT" "${MENU_ITEMS[@]}")
    above "${means[$1]}" "$(awk -v m="${UNLIT_MEANS[$1]}" 'BEGIN { print m + 0.1 }')"
}

# hold_until KEY WHAT COMMAND...: KEY held down until COMMAND sees its effect, then let go.
hold_until() {
    local key=$1
    shift
    xdotool keydown "$key"
    wait_for "$@"
    xdotool keyup "$key"
}
# A key or button held until the picture changes, then let go.
press_until_changed() {
    keep before
    hold_until "$1" "the picture to answer $1" changed_from "$KEPT"
}
# A key held long enough for a frame to see it on a busy machine, where nothing shows it.
press() {
    xdotool keydown "$1"
    sleep 0.5
    xdotool keyup "$1"
}
# A key of the name entry, which takes it when it is let go: held long enough for a frame to
# see it even on a busy machine, then the name entry must show it.
type_key() {
    keep before
    xdotool keydown "$1"
    sleep 0.5
    xdotool keyup "$1"
    wait_for "the name entry to take $1" typed_from "$KEPT"
}
typed_from() { on_screen "the name entry" && ! same_images "$1" "$SHOT"; }
# A click held until the picture changes: for the screens that do not answer a held button.
click_until_changed() {
    keep before
    xdotool mousedown 1
    wait_for "the picture to answer a click" changed_from "$KEPT"
    xdotool mouseup 1
}
# click_for SCREEN: a click on the main menu where the pointer is, until the screen SCREEN shows.
# The button goes down and up in one go, as a player clicks: held until the test has seen the
# new screen, it could still be down when a busy machine has run that screen's fade to its end,
# and the high-score screen then takes the held button as the click that leaves it. A click the
# game did not see (nothing changes for a while) is made again; so is one held into the next
# screen all the same, which shows the main menu again.
CLICK_SEEN_WITHIN=10
click_for() {
    local want=$1 clicks=0 deadline=$((SECONDS + PATIENCE)) answered
    until on_screen "$want"; do
        if ((SECONDS >= deadline)); then
            [ -e "$SHOT" ] && keep seen-instead
            fail "waited ${PATIENCE}s for $clicks clicks to open $want, but saw $SEEN (kept in $WORK/seen-instead.miff)"
        fi
        # Anything else is on its way somewhere (a fade, say): it is waited out.
        [ "$SEEN" = "the main menu" ] || continue
        keep before
        xdotool mousedown 1 sleep 0.2 mouseup 1
        clicks=$((clicks + 1))
        answered=$((SECONDS + CLICK_SEEN_WITHIN))
        until changed_from "$KEPT" || ((SECONDS >= answered)); do sleep 0.1; done
    done
    ((clicks <= 1)) || note "$want opened after $clicks clicks"
}
# The window's place is read afresh: a window manager may still be moving the window that the
# game has just placed (back from full screen, say).
point_at() {
    read_geometry
    to_screen "$1" "$2"
    xdotool mousemove "$SX" "$SY"
}
# pointing X Y COMMAND...: points at X Y again (the window may have moved), then runs COMMAND.
pointing() {
    point_at "$1" "$2"
    shift 2
    "$@"
}

focus_game() {
    if [ "$MODE" = wm ] || [ "$MODE" = windows ]; then xdotool windowactivate "$WID" 2>/dev/null; else xdotool windowfocus "$WID"; fi
    wait_for "the keyboard focus" has_focus
}
has_focus() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$WID" ]; }

# --- the main menu --------------------------------------------------------------------------

# The five items' hit rectangles (left top right bottom) in picture pixels.
MENU_ITEMS=("814 32 992 108" "780 152 988 228" "278 273 678 395" "32 534 366 612"
    "32 662 608 740")
START_ITEM=2
OPTIONS_ITEM=3
HIGH_SCORES_ITEM=4
# A place on the menu away from every item.
PARK_X=800
PARK_Y=450

# only_lit ITEM: the capture shows item ITEM (or none, for -1) lit and every other one dark,
# measured against DARK_MEANS, the items' means with none lit.
only_lit() {
    capture
    local -a means
    mapfile -t means < <(item_means "$SHOT")
    local i
    for i in "${!MENU_ITEMS[@]}"; do
        if [ "$i" = "$1" ]; then
            above "${means[i]}" "$(awk -v m="${DARK_MEANS[i]}" 'BEGIN { print m + 0.1 }')" || return 1
        else
            near "${means[i]}" "${DARK_MEANS[i]}" || return 1
        fi
    done
}

# Points at each item, at the inner corners of START and just outside them, and checks from
# the pixels that exactly the item under the pointer lights up.
check_menu_pointer() {
    local i l t r b
    wait_for "the main menu with the pointer away from its items" \
        pointing $PARK_X $PARK_Y on_screen "the main menu"
    mapfile -t DARK_MEANS < <(item_means "$SHOT")
    for i in "${!MENU_ITEMS[@]}"; do
        read -r l t r b <<<"${MENU_ITEMS[$i]}"
        wait_for "item $i alone to light up under the pointer" \
            pointing $(((l + r) / 2)) $(((t + b) / 2)) only_lit "$i"
    done
    read -r l t r b <<<"${MENU_ITEMS[$START_ITEM]}"
    wait_for "no item lit just outside START's top left corner" \
        pointing $((l - 6)) $((t - 6)) only_lit -1
    wait_for "START lit just inside its top left corner" \
        pointing $((l + 6)) $((t + 6)) only_lit $START_ITEM
    wait_for "no item lit just outside START's bottom right corner" \
        pointing $((r + 6)) $((b + 6)) only_lit -1
    wait_for "START lit just inside its bottom right corner" \
        pointing $((r - 6)) $((b - 6)) only_lit $START_ITEM
    wait_for "no item lit with the pointer away" pointing $PARK_X $PARK_Y only_lit -1
    wait_screen "the main menu"
}

# The picture fills the window: in full screen with black bars above and below, not cut off.
# WINDOWED is a capture of the same screen in the window, which the full-screen picture must
# show whole, only larger.
check_letterbox() {
    local windowed=$1 shot=$2
    if [ "$PIC_Y" -gt 0 ]; then
        [ "$(window_mean "$shot" "${WIN_W}x${PIC_Y}+0+0")" = 0 ] || fail "the bar above the picture is not black"
        [ "$(window_mean "$shot" "${WIN_W}x${PIC_Y}+0+$((PIC_Y + PIC_H))")" = 0 ] ||
            fail "the bar below the picture is not black"
    fi
    # Each edge of the picture shows some of it, not black.
    above "$(window_mean "$shot" "${PIC_W}x4+$PIC_X+$PIC_Y")" 0.03 || fail "the picture's top edge is black"
    above "$(window_mean "$shot" "${PIC_W}x4+$PIC_X+$((PIC_Y + PIC_H - 4))")" 0.03 ||
        fail "the picture's bottom edge is black"
    above "$(window_mean "$shot" "4x${PIC_H}+$PIC_X+$PIC_Y")" 0.03 || fail "the picture's left edge is black"
    above "$(window_mean "$shot" "4x${PIC_H}+$((PIC_X + PIC_W - 4))+$PIC_Y")" 0.03 ||
        fail "the picture's right edge is black"
    local difference
    difference=$(convert "$shot" -crop "${PIC_W}x${PIC_H}+$PIC_X+$PIC_Y" +repage -resize '1024x768!' \
        "$windowed" -metric RMSE -compare -format '%[distortion]' info:)
    above 0.06 "$difference" || fail "the full-screen picture is not the window's picture (RMSE $difference)"
}

# --- a whole road: title, menu, full screen, a game, the name, the table after a restart ------

menu_from_title() {
    wait_for "the game's window" find_window
    read_geometry
    focus_game
    point_at $PARK_X $PARK_Y
    wait_screen "the title"
    press_until_changed space
    wait_screen "the main menu"
}

# point_at_item ITEM: the pointer on a menu item, which lights up.
point_at_item() {
    local l t r b
    read -r l t r b <<<"${MENU_ITEMS[$1]}"
    wait_for "the main menu with item $1 lit" pointing $(((l + r) / 2)) $(((t + b) / 2)) item_lit "$1"
}
# open_item ITEM SCREEN: clicks a menu item and waits for its screen.
open_item() {
    point_at_item "$1"
    click_for "$2"
    point_at $PARK_X $PARK_Y
    wait_screen "$2"
}
open_high_scores() { open_item $HIGH_SCORES_ITEM "the high scores"; }

# switch_in_options KEY: the hotkey pressed on the options screen, where its switch shows it.
switch_in_options() {
    open_item $OPTIONS_ITEM "the options"
    press_until_changed "$1"
    wait_screen "the options"
    press_until_changed Escape
    wait_screen "the main menu"
}

# Hard drops until the game is over and its score placed in the table (which stores it): every
# third piece to the left and every third to the right, or all straight down with "straight".
play_to_the_end() {
    local before=$1 pieces=0 shift side
    until [ -e "$SCORES" ] && ! cmp -s "$SCORES" "$before"; do
        ((pieces < 400)) || fail "no score was stored after 400 pieces"
        side=$((pieces % 3))
        [ "${2:-}" = straight ] && side=0
        case $side in
            0) shift=() ;;
            1) shift=(keydown Left sleep 0.25 keyup Left sleep 0.06) ;;
            2) shift=(keydown Right sleep 0.25 keyup Right sleep 0.06) ;;
        esac
        # A short tap may go unseen on a slow frame; the next one drops that piece.
        xdotool "${shift[@]}" keydown Down sleep 0.08 keyup Down sleep 0.06
        pieces=$((pieces + 1))
    done
    note "game over after $pieces drops; the score is stored"
}

# second_copy_leaves FIRST: a second copy leaves at once with status 255 (the -1 of Windows),
# and the first copy, FIRST, plays on.
second_copy_leaves() {
    start_game
    wait_exit "$GAME_PID"
    [ "$STATUS" = 255 ] || fail "a second copy exited with $STATUS, not 255"
    kill -0 "$1" || fail "the first copy ended when a second one started"
    GAME_PID=$1
    note "a second copy exited with 255"
}

# From the main menu: a game started by START and played to its end, the name 27W entered and
# stored, and back to the main menu.
play_a_game_to_the_table() {
    point_at_item $START_ITEM
    click_until_changed
    : >"$WORK/no-scores"
    play_to_the_end "$WORK/no-scores"
    wait_screen "the name entry"
    local key
    for key in 2 7 w; do type_key "$key"; done
    hold_until Return "the typed name to be stored" name_stored
    wait_screen "the high scores"
    press_until_changed Escape
    wait_screen "the main menu"
}

# The name's bytes in the font's code ("27W"), then blanks.
NAME_BYTES=3237875050

road() {
    local windowed full built_in table
    start_display
    start_game
    menu_from_title
    local first=$GAME_PID

    second_copy_leaves "$first"

    check_menu_pointer
    keep windowed
    windowed=$KEPT
    hold_until F10 "a full-screen window" window_is 1280 1024
    focus_game
    point_at $PARK_X $PARK_Y
    wait_screen "the main menu"
    check_letterbox "$windowed" "$SHOT"
    check_menu_pointer
    note "full screen: the picture is letterboxed whole and the menu answers the pointer"
    hold_until F10 "the window back at 1024 x 768" window_is 1024 768
    # Its size may be back before it has left the place it had in full screen.
    wait_for "the window back at its windowed place" window_placed
    focus_game
    point_at $PARK_X $PARK_Y
    wait_screen "the main menu"
    same_images "$SHOT" "$windowed" || fail "the menu in the window differs after full screen"

    open_high_scores
    keep built-in
    built_in=$KEPT
    press_until_changed Escape
    wait_screen "the main menu"

    play_a_game_to_the_table
    open_high_scores
    keep table
    table=$KEPT
    same_images "$table" "$built_in" && fail "the table did not change after the game"
    press_until_changed Escape
    wait_screen "the main menu"
    cp "$SCORES" "$WORK/scores-after-game"

    # Full screen and music off are kept over F12 (exit status 0).
    switch_in_options m
    hold_until F10 "a full-screen window" window_is 1280 1024
    focus_game
    hold_until F12 "the game to exit" test -e "$WORK/status.$GAME_PID"
    wait_exit "$GAME_PID"
    [ "$STATUS" = 0 ] || fail "F12 ended the game with status $STATUS"
    settings_are 1 0 1 || fail "F12 did not store full screen and music off: $(od -An -tx1 "$SETTINGS")"
    note "F12: status 0, settings stored"

    # The next start comes up full screen (covering the display, with or without a window
    # manager) and shows the stored table as it was.
    start_game
    wait_for "the game's window" find_window
    wait_for "a full-screen window at start" window_is 1280 1024
    focus_game
    point_at $PARK_X $PARK_Y
    wait_screen "the title"
    press_until_changed space
    point_at $PARK_X $PARK_Y
    wait_screen "the main menu"
    check_letterbox "$windowed" "$SHOT"
    hold_until F10 "the window back at 1024 x 768" window_is 1024 768
    # Its size may be back before it has left the place it had in full screen.
    wait_for "the window back at its windowed place" window_placed
    focus_game
    point_at $PARK_X $PARK_Y
    wait_screen "the main menu"
    open_high_scores
    same_images "$SHOT" "$table" || fail "the table after the restart is not the one stored"
    cmp -s "$SCORES" "$WORK/scores-after-game" || fail "the restart changed the stored table"
    press_until_changed Escape
    wait_screen "the main menu"
    note "after a restart the stored table is shown again"

    # Sound effects off, then the player leaves: by the window manager's close, or by SIGTERM.
    switch_in_options n
    if [ "$MODE" = wm ]; then
        xdotool key --clearmodifiers alt+F4
    else
        kill -TERM "$GAME_PID"
    fi
    wait_exit "$GAME_PID"
    [ "$STATUS" = 0 ] || fail "leaving by $([ "$MODE" = wm ] && echo "the window's close" || echo SIGTERM) gave status $STATUS"
    settings_are 0 0 0 || fail "the settings were not stored at the end: $(od -An -tx1 "$SETTINGS")"
    note "$([ "$MODE" = wm ] && echo "the window's close" || echo SIGTERM): status 0, settings stored"
}

# The Windows game under wine: the title, a second copy, a game played with keys, F12, the files
# in the Windows user folder; then its replay checked on Linux, and a Linux one under wine.
windows_road() {
    local first linux_line wine_line
    start_display
    start_game
    menu_from_title
    first=$GAME_PID

    second_copy_leaves "$first"

    point_at $PARK_X $PARK_Y
    wait_screen "the main menu"
    play_a_game_to_the_table
    hold_until F12 "the game to exit" test -e "$WORK/status.$GAME_PID"
    wait_exit "$GAME_PID"
    [ "$STATUS" = 0 ] || fail "F12 ended the game with status $STATUS"
    [ -s "$SETTINGS" ] || fail "no settings in the Windows user folder ($SETTINGS)"
    [ -s "$LAST_GAME" ] || fail "no replay of the game in the Windows user folder ($LAST_GAME)"
    note "F12: status 0; settings, scores and the replay are in the Windows user folder"

    # A replay does not depend on the platform: the same verdict, score and well hash.
    linux_line=$(SDL_VIDEODRIVER=offscreen "$LINUX_GAME" --verify-replay "$LAST_GAME") ||
        fail "the Linux game does not verify the replay recorded under wine: $linux_line"
    wine_line=$(wine "$(winepath -w "$WINDOWS_BUILD/plemby.com")" --verify-replay \
        "$(winepath -w "$LAST_GAME")" | tr -d '\r') ||
        fail "the Windows game does not verify its own replay: $wine_line"
    [ "$linux_line" = "$wine_line" ] || fail "verdicts differ: Linux '$linux_line', Windows '$wine_line'"
    local corpus=$HERE/../replays/level2-garbage16.plr
    linux_line=$(SDL_VIDEODRIVER=offscreen "$LINUX_GAME" --verify-replay "$corpus") ||
        fail "the Linux game does not verify $corpus"
    wine_line=$(wine "$(winepath -w "$WINDOWS_BUILD/plemby.com")" --verify-replay \
        "$(winepath -w "$corpus")" | tr -d '\r') ||
        fail "the Windows game does not verify $corpus: $wine_line"
    [ "$linux_line" = "$wine_line" ] || fail "verdicts differ: Linux '$linux_line', Windows '$wine_line'"
    note "replays verify alike on both systems: $linux_line"
}

name_stored() { od -An -tx1 -v "$SCORES" | tr -d ' \n' | grep -q "$NAME_BYTES"; }
# settings_are FULLSCREEN MUSIC SOUND: the first three bytes of the stored record.
settings_are() {
    [ "$(od -An -tu1 -N3 "$SETTINGS" 2>/dev/null | xargs)" = "$1 $2 $3" ]
}

if [ "$MODE" = windows ]; then
    WINDOWS_BUILD=$GAME
    GAME=$WINDOWS_BUILD/plemby.exe
    LINUX_GAME=$(readlink -f "$3")
    source "$HERE/../windows/wine_env.sh"
    wine_setup "$WINDOWS_BUILD"
    # What only a Linux desktop has is kept from the Windows game, so that wine passing the
    # Linux environment through cannot hide a Linux assumption.
    WINDOWS_UNSET=
    for variable in DISPLAY WAYLAND_DISPLAY HOME $(compgen -e | grep '^XDG_'); do
        WINDOWS_UNSET+="set $variable=&& "
    done
    USER_FOLDER=$(winepath -u "$(wine cmd /c echo %APPDATA% | tr -d '\r')")/Plemby
    rm -rf "$USER_FOLDER"
    SETTINGS=$USER_FOLDER/settings.bin
    SCORES=$USER_FOLDER/highscores.bin
    LAST_GAME=$USER_FOLDER/replays/last.plr
fi

case $MODE in
    wm | nowm) road ;;
    windows) windows_road ;;
    kill) source "$HERE/kill_runs.sh" ;;
    *) fail "unknown mode $MODE" ;;
esac
PASSED=1
echo "PASSED ($MODE) in ${SECONDS}s"
