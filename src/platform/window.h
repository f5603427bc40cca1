#pragma once

#include <cstdint>

// The one game window: title "Plemby!", a 1024 x 768 client area, windowed or desktop full
// screen, the icon from resource 104. False (with one line on stderr) when no display can be
// had.
bool CreateGameWindow(bool fullscreen);
void DestroyGameWindow();
// The window and whatever else of SDL is still open, at the end of the program.
void ClosePlatform();

// Desktop full screen, or a captioned window at (64, 64) with the same client size.
void SetWindowFullscreen(bool fullscreen);

// Takes one pending event off the queue, the stand-in for the message pump. False when the
// queue is empty. A close of the window or a quit event calls the quit handler.
bool PumpOneEvent();
void SetQuitHandler(void (*handler)());

// True once after the window lost the keyboard focus or was minimised: the player has turned to
// something else.
bool TakeFocusLost();

// Brings the window to the front (when a second copy asked for it).
void RaiseGameWindow();
