#pragma once

// The key the game's default controls put in place of a key the system keeps for itself. A
// browser closes the tab on Ctrl+W (W turns the piece) and leaves full screen on Escape; there
// the defaults turn the other way on Z and X and abandon a game on Backspace. On the desktop
// every key is the game's: the position comes back as it is.
int DefaultKeyInPlaceOf(int position);
