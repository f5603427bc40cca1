#!/bin/bash
# A long run of the real game played by its CPU player (--autoplay) in a virtual X display, for
# the optimised build: the resident memory every ten seconds must stay within 1 MB of what it
# was after the first minute, the share of one CPU that the game took is printed, and at the
# end SIGTERM must shut the game down with status 0. A game that ends is followed by another,
# started from the main menu as a player would (Return ends the name on the high-score screen).
# Not part of `make test`: it takes half an hour. Usage: tools/soak.sh GAME [MINUTES]
set -euo pipefail
game=$(realpath "$1")
minutes=${2:-30}
source "$(dirname "$0")/virtual_display.sh"
start_virtual_display soak

# The stored settings of a fresh install: windowed, music and sounds on, the default repeats.
home=$scratch/home
make_home "$home" 0 1 1 25 25 6 6 6 1 0 0 0
start_game "$home" --autoplay
enter_play
last=$home/data/plemby/replays/last.plr

rss() { awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status"; }
# User and system time of the game in clock ticks (the fields after the name in brackets).
cpu_ticks() { sed 's/.*) //' "/proc/$pid/stat" | awk '{ print $12 + $13 }'; }
ticks_per_second=$(getconf CLK_TCK)
start=$(date +%s)
end=$((start + minutes * 60))
base_rss= base_ticks= base_time= top=0 bottom= games=1 seen=
while [ "$(date +%s)" -lt "$end" ]; do
    sleep 10
    kill -0 "$pid" 2>/dev/null || { echo "soak: the game ended by itself" >&2; exit 1; }
    now=$(date +%s)
    size=$(rss)
    if [ -z "$base_rss" ] && [ $((now - start)) -ge 60 ]; then
        base_rss=$size base_ticks=$(cpu_ticks) base_time=$now bottom=$size
        echo "soak: after the first minute ${base_rss} kB resident"
    fi
    if [ -n "$base_rss" ]; then
        [ "$size" -gt "$top" ] && top=$size
        [ "$size" -lt "$bottom" ] && bottom=$size
    fi
    stamp=$(stat -c %Y "$last" 2>/dev/null || true)
    if [ -n "$stamp" ] && [ "$stamp" != "$seen" ]; then
        seen=$stamp
        games=$((games + 1))
        enter_play Return
    fi
done
now=$(date +%s)
share=$(awk -v t=$(($(cpu_ticks) - base_ticks)) -v hz="$ticks_per_second" -v s=$((now - base_time)) \
    'BEGIN { printf "%.1f", 100 * t / hz / s }')
growth=$((top - base_rss))
load=$(cut -d' ' -f1-3 /proc/loadavg)
stop_game
echo "soak: ${minutes} min, ${games} game(s) begun; resident ${base_rss} kB after the first minute," \
    "then ${bottom}..${top} kB (growth ${growth} kB); CPU ${share}% of one core;" \
    "load average ${load} on $(nproc) cores; SIGTERM ended the game with status ${game_status}"
status=0
if [ "$growth" -gt 1024 ]; then
    echo "soak: resident memory grew by more than 1 MB" >&2
    status=1
fi
if [ "$game_status" != 0 ]; then
    echo "soak: the game did not shut down cleanly; its output:" >&2
    tail -n 20 "$home/game.log" >&2
    status=1
fi
exit $status
