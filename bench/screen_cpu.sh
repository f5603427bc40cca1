#!/usr/bin/env bash
# Starts the real game in a virtual X display without a GPU (Xvfb), walks it through its screens
# with xdotool and prints, on each, the whole process's CPU time as a share of one core, its
# resident memory (now and the peak so far, and the anonymous part of now) and its thread count,
# plus the time from start to the first frame in the window. The walk is made twice: with the
# renderer the game chooses itself, then with SDL_RENDER_DRIVER=software.
#
#   bench/screen_cpu.sh [path/to/plemby]      (default: build/plemby, a Release build)
#
# SECONDS_PER_SCREEN (default 10) sets each measurement's length; SDL_RENDER_DRIVER, when set,
# is passed on to the game in the first walk like any other setting of the player's.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
game=$(realpath "${1:-$here/../build/plemby}")
seconds=${SECONDS_PER_SCREEN:-10}
[ -x "$game" ] || { echo "no game at $game (make build first)" >&2; exit 1; }

work=$(mktemp -d)
xvfb_pid=""
game_pid=""
cleanup() {
    [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null && wait "$game_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# Counts the game's presents (and notes the first) from inside its process.
probe="$work/present_probe.so"
gcc -O2 -shared -fPIC -o "$probe" "$here/present_probe.c" -ldl

# A display number nobody uses; -br: a black root, so nothing but the game draws.
display=""
for n in $(seq 90 140); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=":$n"; break; fi
done
[ -n "$display" ] || { echo "no free X display number" >&2; exit 1; }
Xvfb "$display" -screen 0 1280x1024x24 -br -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=$display
for _ in $(seq 100); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.05; done

# No sound card here; the dummy output still pulls the music at its real rate.
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}

ticks_per_second=$(getconf CLK_TCK)
cpu_ticks() { awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$game_pid/stat"; }
presents() { od -An -t u8 -j 8 -N 8 "$counters" 2>/dev/null | tr -d ' ' || echo 0; }
alive() { kill -0 "$game_pid" 2>/dev/null || { echo "the game ended:" >&2; cat "$home/game.log" >&2; exit 1; }; }
# Resident memory now and at its peak, its anonymous part (MiB), and the number of threads.
footprint() {
    awk '/^VmRSS:/ { now = $2 } /^VmHWM:/ { peak = $2 } /^RssAnon:/ { anon = $2 }
         /^Threads:/ { threads = $2 }
         END { printf "%6.1f MiB now %6.1f peak %6.1f anon %3d threads", now / 1024, peak / 1024,
               anon / 1024, threads }' "/proc/$game_pid/status"
}

point() { xdotool mousemove --window "$window" "$1" "$2"; }
click() { point "$1" "$2"; xdotool mousedown 1; sleep 0.1; xdotool mouseup 1; }
press() { xdotool keydown "$1"; sleep 0.1; xdotool keyup "$1"; }

# The share of one core the game used over `seconds` while `action` (if any) runs alongside,
# and its footprint at the end.
measure() {
    local label=$1 action=${2:-}
    alive
    local c0 p0 t0 c1 p1 t1 helper=""
    c0=$(cpu_ticks); p0=$(presents); t0=$(date +%s%N)
    if [ -n "$action" ]; then $action & helper=$!; fi
    sleep "$seconds"
    if [ -n "$helper" ]; then kill "$helper" 2>/dev/null; wait "$helper" 2>/dev/null || true; fi
    alive
    c1=$(cpu_ticks); p1=$(presents); t1=$(date +%s%N)
    awk -v l="$label" -v c=$((c1 - c0)) -v hz="$ticks_per_second" -v ns=$((t1 - t0)) -v p=$((p1 - p0)) \
        -v f="$(footprint)" \
        'BEGIN { s = ns / 1e9; printf "%-36s %5.1f %% of a core %5.1f presents/s %s\n", l, 100 * c / hz / s, p / s, f }'
}

# Over and over: the options item, its fade from black, then Escape back to the menu.
back_and_forth() {
    while true; do
        click 200 573
        sleep 1.5
        press Escape
        sleep 0.1
    done
}

# One walk through the screens, the game started with the environment as it stands:
# walk NAME (a folder name) TITLE.
walk() {
    # A home of its own: default settings, no high scores, no other copy's lock.
    home="$work/home-$1"
    export HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data"
    export XDG_RUNTIME_DIR="$home/run"
    mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"

    counters="$home/presents"
    start_ns=$(date +%s%N)
    PLEMBY_PRESENT_PROBE="$counters" LD_PRELOAD="$probe" "$game" >"$home/game.log" 2>&1 &
    game_pid=$!

    # Waits for the first present, at most 20 s.
    first_ns=0
    for _ in $(seq 400); do
        alive
        if [ -s "$counters" ]; then
            first_ns=$(od -An -t u8 -N 8 "$counters" | tr -d ' ')
            [ "$first_ns" != 0 ] && break
        fi
        sleep 0.05
    done
    [ "$first_ns" != 0 ] || { echo "no frame was presented within 20 s" >&2; exit 1; }
    first_cpu_ns=$(od -An -t u8 -j 16 -N 8 "$counters" | tr -d ' ')
    renderer=$(dd if="$counters" bs=1 skip=24 count=32 2>/dev/null | tr -d '\0')
    echo "== $2: renderer ${renderer:-unknown}"
    printf '%-36s %7.0f ms  (%.0f ms of CPU)\n' "start to first presented frame" \
        "$(( (first_ns - start_ns) / 1000 ))e-3" "$(( first_cpu_ns / 1000 ))e-3"

    window=$(xdotool search --sync --name '^Plemby!$' | head -n 1)
    xdotool windowfocus "$window" 2>/dev/null || true

    point 1000 760
    sleep 3    # the title's fade-in is over
    measure "title (still after its fade)"
    press space
    sleep 3    # the fade to the menu is over
    point 500 500
    measure "main menu, pointer still"
    click 200 573
    sleep 3
    point 200 300
    measure "options, pointer still"
    press Escape
    sleep 0.5
    measure "menu <-> options, back and forth" back_and_forth
    sleep 3
    press Escape
    sleep 0.5
    point 500 500
    click 478 334
    point 500 500
    sleep 1
    measure "play, level 1, no key held"

    kill "$game_pid" 2>/dev/null
    wait "$game_pid" 2>/dev/null || true
    game_pid=""
}

if [ -n "${SDL_RENDER_DRIVER:-}" ]; then
    walk asked "SDL_RENDER_DRIVER=$SDL_RENDER_DRIVER"
else
    walk chosen "the game's own choice"
fi
export SDL_RENDER_DRIVER=software
walk software "SDL_RENDER_DRIVER=software"
