#!/bin/bash
# The desktop game's picture of a replay paused at a frame: the game opens the replay
# (--replay FILE --pause-at FRAME) in a virtual X display from a home of its own, and once it
# says the paused picture shows and two looks at its window agree, the window is saved as PNG.
# Usage: tests/web/desktop_frame.sh GAME REPLAY FRAME OUT.png
set -euo pipefail
game=$(realpath "$1")
replay=$(realpath "$2")
frame=$3
out=$(realpath -m "$4")
source "$(dirname "$0")/../../tools/virtual_display.sh"

start_virtual_display desktop_frame
home=$scratch/home
mkdir -p "$home/config" "$home/data" "$home/runtime" "$home/tmp"
chmod 700 "$home/runtime"
start_game "$home" --replay "$replay" --pause-at "$frame"

paused() { grep -q "^plemby: the replay is paused at frame " "$home/game.log"; }
wait_for 120 paused
last=
settled() {
    local now
    now=$(import -window "$window" -depth 8 rgb:- 2>/dev/null | md5sum)
    [ "$now" = "$last" ] && return 0
    last=$now
    sleep 0.3
    return 1
}
wait_for 60 settled
import -window "$window" -strip "png:$out"
stop_game
