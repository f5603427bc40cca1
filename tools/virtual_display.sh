# Helpers for the tools that drive the real game in a virtual X display (sourced, not run):
# a scratch folder cleaned up on exit, the display, a home of the game's own, the game started
# in it with its window found and moved to the corner, and waits with a bound.
#   start_virtual_display NAME   sets $scratch and exports DISPLAY; NAME prefixes messages
#   make_home DIR SETTINGS...    a home with the 12 bytes of a stored settings record
#   start_game DIR ARGS...       runs $game from that home; sets $pid and $window
#   enter_play [KEY...]          to the main menu with the keys (Space when none), then START
#   in_menu, in_play             whether the main menu or the play screen shows
#   stop_game                    ends the game started last; sets $game_status
#   wait_for SECONDS COMMAND...  until the command succeeds, or fails after SECONDS

scratch=$(mktemp -d)
xvfb=
pid=
window=
tool_name=tool
# The game is stopped before its display: a display that goes away under a running game ends
# it through Xlib's exit, not through its own shutdown.
cleanup_virtual_display() {
    stop_game
    if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; fi
    rm -rf "$scratch"
}
trap cleanup_virtual_display EXIT

wait_for() {
    local tenths=$(($1 * 10))
    shift
    until "$@"; do
        tenths=$((tenths - 1))
        if [ "$tenths" -le 0 ]; then
            echo "$tool_name: timed out waiting for: $*" >&2
            return 1
        fi
        sleep 0.1
    done
}

start_virtual_display() {
    tool_name=$1
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$scratch/display" \
        2>"$scratch/xvfb.log" &
    xvfb=$!
    display_known() { [ -s "$scratch/display" ]; }
    wait_for 30 display_known
    export DISPLAY=:$(cat "$scratch/display")
    export SDL_AUDIODRIVER=dummy
    unset SDL_VIDEODRIVER WAYLAND_DISPLAY
}

make_home() {
    local home=$1
    shift
    mkdir -p "$home/config/plemby" "$home/data" "$home/runtime" "$home/tmp"
    chmod 700 "$home/runtime"
    printf "$(printf '\\x%02x' "$@")" >"$home/config/plemby/settings.bin"
}

start_game() {
    local home=$1
    shift
    # A temporary folder of its own too, where the game also takes its single-instance lock.
    HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data XDG_RUNTIME_DIR=$home/runtime \
        TMPDIR=$home/tmp "$game" "$@" >"$home/game.log" 2>&1 &
    pid=$!
    window=
    find_window() {
        window=$(xdotool search --pid "$pid" --name 'Plemby' 2>/dev/null | head -n 1) &&
            [ -n "$window" ]
    }
    wait_for 60 find_window
    # SDL may make the window anew for its renderer just after showing it: found afresh.
    sleep 1
    wait_for 60 find_window
    xdotool windowmove --sync "$window" 0 0 2>/dev/null || true
    xdotool windowfocus --sync "$window" 2>/dev/null || true
}

# SIGTERM, as when the session ends, then a wait of at most 30 s for the game to shut down;
# $game_status is its exit status (0 for a clean shutdown).
game_status=
stop_game() {
    [ -n "$pid" ] || return 0
    kill "$pid" 2>/dev/null || true
    (sleep 30 && kill -9 "$pid") >/dev/null 2>&1 &
    local bound=$!
    game_status=0
    wait "$pid" 2>/dev/null || game_status=$?
    kill "$bound" 2>/dev/null || true
    pid=
}

# Held long enough for a frame to see it, even on a busy machine.
hold() {
    xdotool keydown "$1"
    sleep "${2:-0.12}"
    xdotool keyup "$1"
}

# The mean brightness of the place where the menu has the game's bright title and the play
# screen its dark counters' panel.
title_mean() {
    import -window root -crop 200x35+40+110 +repage -format '%[fx:mean]' info: 2>/dev/null
}
in_menu() { awk -v m="$(title_mean)" 'BEGIN { exit !(m > 0.4) }'; }
in_play() { awk -v m="$(title_mean)" 'BEGIN { exit !(m < 0.15) }'; }

# The title (or what follows a game) is left with the keys given, Space when none, the menu
# fades in, then the start item is clicked until the play screen shows.
enter_play() {
    local keys=("${@:-space}") key tries=0
    until in_menu; do
        tries=$((tries + 1))
        [ "$tries" -le 60 ] || { echo "$tool_name: no main menu" >&2; return 1; }
        for key in "${keys[@]}"; do hold "$key" 0.3; done
        sleep 1
    done
    tries=0
    xdotool mousemove 478 334
    until in_play; do
        tries=$((tries + 1))
        [ "$tries" -le 20 ] || { echo "$tool_name: the game did not start" >&2; return 1; }
        sleep 0.5
        xdotool mousedown 1
        sleep 0.4
        xdotool mouseup 1
        sleep 1
    done
}
