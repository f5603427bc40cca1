#!/bin/bash
# Records games of the real game for the replay corpus: each game starts the game in a virtual X
# display with settings of its own, plays it with the keys like a hurried player (random shifts,
# turns both ways, soft and hard drops, a pause, the turning direction switched with R) and
# keeps the replay the game stores of it. Usage: tools/record_replays.sh GAME OUTDIR
set -euo pipefail
game=$(realpath "$1")
out=$(realpath -m "$2")
mkdir -p "$out"

scratch=$(mktemp -d)
xvfb=
pid=
cleanup() {
    if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi
    if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; fi
    rm -rf "$scratch"
}
trap cleanup EXIT

wait_for() {
    local tenths=$(($1 * 10))
    shift
    until "$@"; do
        tenths=$((tenths - 1))
        if [ "$tenths" -le 0 ]; then
            echo "record_replays: timed out waiting for: $*" >&2
            return 1
        fi
        sleep 0.1
    done
}

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$scratch/display" 2>"$scratch/xvfb.log" &
xvfb=$!
display_known() { [ -s "$scratch/display" ]; }
wait_for 30 display_known
export DISPLAY=:$(cat "$scratch/display")
export SDL_AUDIODRIVER=dummy
unset SDL_VIDEODRIVER WAYLAND_DISPLAY

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

# record NAME START_LEVEL GARBAGE MOVE TURN DROP REVERSED END SEED
#   END: over (played to the game over), escape (abandoned) or quit (F12 in the middle)
record() {
    local name=$1 level=$2 garbage=$3 move=$4 turn=$5 drop=$6 reversed=$7 end=$8
    # A game already recorded there is kept, so an interrupted run goes on where it stopped.
    [ -e "$out/$name.plr" ] && return 0
    RANDOM=$9
    local home=$scratch/$name
    mkdir -p "$home/config/plemby" "$home/data" "$home/runtime" "$home/tmp"
    chmod 700 "$home/runtime"
    printf "$(printf '\\x%02x' 0 0 1 25 25 "$move" "$turn" "$drop" "$level" "$garbage" "$reversed" 0)" \
        >"$home/config/plemby/settings.bin"
    local last=$home/data/plemby/replays/last.plr
    # A temporary folder of its own too, where the game also takes its single-instance lock.
    HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data XDG_RUNTIME_DIR=$home/runtime \
        TMPDIR=$home/tmp "$game" >"$home/game.log" 2>&1 &
    pid=$!
    local window=
    find_window() { window=$(xdotool search --pid "$pid" --name 'Plemby' 2>/dev/null | head -n 1) && [ -n "$window" ]; }
    wait_for 60 find_window
    # SDL may make the window anew for its renderer just after showing it: found afresh.
    sleep 1
    wait_for 60 find_window
    xdotool windowmove --sync "$window" 0 0 2>/dev/null || true
    xdotool windowfocus --sync "$window" 2>/dev/null || true
    # The title is left with Space, the menu fades in, then the start item is clicked until the
    # play screen shows.
    local tries=0
    until in_menu; do
        tries=$((tries + 1))
        [ "$tries" -le 60 ] || { echo "record_replays: no main menu" >&2; return 1; }
        hold space 0.3
        sleep 1
    done
    tries=0
    xdotool mousemove 478 334
    until in_play; do
        tries=$((tries + 1))
        [ "$tries" -le 20 ] || { echo "record_replays: the game did not start" >&2; return 1; }
        sleep 0.5
        xdotool mousedown 1
        sleep 0.4
        xdotool mouseup 1
        sleep 1
    done
    local moves=0 keys=(Left Right Up Control_L space Left Right Up w a d)
    while [ ! -e "$last" ] && kill -0 "$pid" 2>/dev/null; do
        moves=$((moves + 1))
        hold "${keys[RANDOM % ${#keys[@]}]}" "0.0$((RANDOM % 9 + 2))"
        [ $((RANDOM % 10)) = 0 ] && hold Down
        [ "$moves" = 15 ] && { hold p; sleep 1.5; hold p; }
        [ "$moves" = 25 ] && hold r
        if [ "$moves" = 40 ]; then
            [ "$end" = escape ] && hold Escape 0.3
            [ "$end" = quit ] && hold F12 0.3
        fi
    done
    wait_for 30 test -e "$last"
    sleep 0.5
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    pid=
    cp "$last" "$out/$name.plr"
    echo "$name: $(stat -c %s "$out/$name.plr") bytes"
}

record level1-plain 1 0 6 6 6 0 over 11
record level1-fast-repeats 1 0 1 2 1 0 over 12
record level3-garbage5 3 5 3 6 2 0 over 13
record level6-reversed 6 0 6 6 6 1 over 14
record level8-garbage10 8 10 4 3 5 0 over 15
record level10-slow-repeats 10 2 10 10 10 1 over 16
record level2-garbage16 2 16 6 6 6 0 over 17
record level4-abandoned 4 3 5 5 5 0 escape 18
record level5-unfinished 5 0 6 6 6 1 quit 19
record level7-garbage1 7 1 2 8 3 0 over 20
