#!/bin/bash
# Takes the README's and the metainfo's screenshots from the real game: starts it in a virtual
# X display, drives it with the pointer and the keys like a player, and saves the window as PNG.
# Usage: tools/screenshots.sh GAME OUTDIR
set -euo pipefail
game=$(realpath "$1")
out=$(realpath -m "$2")
mkdir -p "$out"

source "$(dirname "$0")/virtual_display.sh"
start_virtual_display screenshots

# A home of its own, so that no stored scores or settings of this machine show: the stored
# settings of a fresh install (windowed, music and sounds on, the default repeats).
home=$scratch/home
make_home "$home" 0 1 1 25 25 6 6 6 1 0 0 0
start_game "$home"

snapshot() { import -window "$window" -depth 8 rgb:- 2>/dev/null | md5sum; }
# The screens fade in and out: a picture counts once two looks a moment apart agree.
last=
settled() {
    local now
    now=$(snapshot)
    [ "$now" = "$last" ] && return 0
    last=$now
    sleep 0.3
    return 1
}
settle() { last=; wait_for 30 settled; }
before=
changed() { [ "$(snapshot)" != "$before" ]; }
# Runs an action and waits for the window to show something else, then to settle.
act() {
    before=$(snapshot)
    "$@"
    wait_for 30 changed
    settle
}

# The game reads the keys and the button once a frame, so each is held for a few frames.
press() { hold "$1"; sleep 0.05; }
click() {
    xdotool mousemove --window "$window" "$1" "$2"
    sleep 0.1
    xdotool mousedown 1
    sleep 0.12
    xdotool mouseup 1
}
# Somewhere on the menu that is not an item, so no item is lit.
rest_pointer() { xdotool mousemove --window "$window" 700 520; }
shot() {
    import -window "$window" -strip -define png:compression-level=9 "png:$out/$1.png"
    echo "screenshots: $out/$1.png"
}

rest_pointer
settle
shot title

act press space
rest_pointer
settle
shot menu

act click 120 570
shot options
# The keys and buttons, opened from the options, then back to the menu.
act click 256 456
# The keyboard marks the first key of TURN.
act press Down
shot controls
act press Escape
act press Escape

# A game: a few pieces dropped to either side and in the middle, the next one falling.
act click 478 334
for moves in "Left Left Left Left" "Right Right Right" "" "Left Left" "Right Right Right Right Right"; do
    for key in $moves; do press "$key"; done
    press Down
    sleep 0.2
done
sleep 0.6
shot play

# The game is dropped to its end in the middle; its score takes the last row of the table, whose
# name is typed, and the table opened from the menu then marks that row's game.
for _ in $(seq 40); do press Down; sleep 0.1; done
sleep 3
settle
for key in P L E M B Y Return; do press "$key"; done
settle
act press Escape
rest_pointer
act click 300 700
rest_pointer
settle
shot high-scores
# Its key plays the game on the watch screen; Right held runs it four times as fast.
for key in 8 7 6 5; do press "$key"; sleep 0.3; done
sleep 1.5
xdotool keydown Right
sleep 0.8
shot watch
xdotool keyup Right

press F12
wait "$pid" || true
pid=
