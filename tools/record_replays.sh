#!/bin/bash
# Records games of the real game for the replay corpus: each game starts the game in a virtual X
# display with settings of its own and keeps the replay the game stores of it. Some are played
# with the keys like a hurried player (random shifts, turns both ways, soft and hard drops, a
# pause, the turning direction switched with R); the others by the game's CPU player
# (--autoplay), long games that clear rows of every size, level up and wrap the lines counter.
# Usage: tools/record_replays.sh GAME OUTDIR
set -euo pipefail
game=$(realpath "$1")
out=$(realpath -m "$2")
mkdir -p "$out"

source "$(dirname "$0")/virtual_display.sh"
start_virtual_display record_replays

# open_game NAME START_LEVEL GARBAGE MOVE TURN DROP REVERSED [GAME OPTIONS...]: starts the game
# with those settings and takes it from the title to the play screen.
open_game() {
    local name=$1 level=$2 garbage=$3 move=$4 turn=$5 drop=$6 reversed=$7
    shift 7
    home=$scratch/$name
    rm -rf "$home"
    make_home "$home" 0 0 1 25 25 "$move" "$turn" "$drop" "$level" "$garbage" "$reversed" 0
    last=$home/data/plemby/replays/last.plr
    start_game "$home" "$@"
    enter_play
}

# Waits for the game to store its replay and takes it as NAME.
keep_game() {
    local name=$1
    wait_for 30 test -e "$last"
    sleep 0.5
    stop_game
    cp "$last" "$out/$name.plr"
}

# record NAME START_LEVEL GARBAGE MOVE TURN DROP REVERSED END SEED
#   END: over (played to the game over), escape (abandoned) or quit (F12 in the middle)
record() {
    local name=$1 end=$8
    # A game already recorded there is kept, so an interrupted run goes on where it stopped.
    [ -e "$out/$name.plr" ] && return 0
    RANDOM=$9
    open_game "$@"
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
    keep_game "$name"
    echo "$name: $(stat -c %s "$out/$name.plr") bytes"
}

# record_cpu NAME START_LEVEL GARBAGE MOVE TURN DROP REVERSED SECONDS END MIN_LINES MIN_LEVEL
#   The CPU player plays for SECONDS, then END: over (on to the game over), escape (abandoned),
#   quit (F12) or pauses (paused twice on the way, then abandoned). The game is played again
#   until `--verify-replay` finds it ended with at least MIN_LINES lines and MIN_LEVEL level.
record_cpu() {
    local name=$1 seconds=$8 end=$9 min_lines=${10} min_level=${11}
    [ -e "$out/$name.plr" ] && return 0
    local attempt
    for attempt in $(seq 20); do
        open_game "${@:1:7}" --autoplay
        local waited=0
        while [ "$waited" -lt "$seconds" ] && [ ! -e "$last" ]; do
            sleep 1
            waited=$((waited + 1))
            if [ "$end" = pauses ] && [ $((waited % 20)) = 10 ]; then
                hold p
                sleep 2
                hold p
            fi
        done
        if [ ! -e "$last" ]; then
            case $end in
                escape | pauses) hold Escape 0.3 ;;
                quit) hold F12 0.3 ;;
                over) wait_for 3600 test -e "$last" ;;
            esac
        fi
        keep_game "$name"
        local ending
        ending=$("$game" --verify-replay "$out/$name.plr" || true)
        local lines level
        lines=$(echo "$ending" | awk '{ print $4 }')
        level=$(echo "$ending" | awk '{ print $6 }')
        echo "$name (attempt $attempt): $ending, $(stat -c %s "$out/$name.plr") bytes"
        if [ "${lines:-0}" -ge "$min_lines" ] && [ "${level:-0}" -ge "$min_level" ]; then
            return 0
        fi
        rm -f "$out/$name.plr"
    done
    echo "record_replays: $name never reached $min_lines lines and level $min_level" >&2
    return 1
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

# Through every level-up and background to past 110 lines (level 12 from level 1); past 255
# lines, where the counter wraps and the level-ups come round again (level 13).
record_cpu cpu-level1-past110 1 0 6 6 6 0 100 escape 0 12
record_cpu cpu-level1-past255 1 0 6 6 6 0 200 quit 0 13
# Sixteen rows of garbage dug through, to the game over.
record_cpu cpu-level1-garbage16 1 16 6 6 6 0 0 over 16 1
record_cpu cpu-fastest-repeats 3 0 1 1 1 0 90 escape 0 1
record_cpu cpu-slowest-repeats 2 0 10 10 10 0 120 escape 0 1
record_cpu cpu-reversed-garbage6 4 6 5 4 3 1 120 quit 0 1
record_cpu cpu-pauses 6 3 6 6 6 0 90 pauses 0 1
record_cpu cpu-level10-garbage10 10 10 3 3 3 0 150 escape 0 1
record_cpu cpu-level8-garbage12 8 12 2 6 4 0 150 escape 0 1
record_cpu cpu-level5-long 5 2 4 5 6 0 240 escape 0 1
