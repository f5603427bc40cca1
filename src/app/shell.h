#pragma once

#include <cstdint>

#include "screens/navigation.h"

// While set, frames draw and present nothing; only the hotkeys run.
extern std::uint8_t Paused;

// Set when a hotkey has acted; no hotkey acts again until all ten are seen up.
extern std::uint8_t HotkeyLatch;

// One frame: unless paused, clear, the current screen's frame function and present; then the
// hotkeys, also while paused.
void RunFrame();
void HandleHotkeys();

// Takes pending events while there are any, otherwise runs `frame` and sleeps until the next
// 20 ms deadline; ends after the quit request or the window's close has been taken. Returns
// the exit status.
int RunFrameLoop(void (*frame)());

// Releases the sounds and the graphics and stores the settings; runs once however often it is
// asked.
void Shutdown();

// What the layers below are handed rather than reach for: the rules' clock is the platform
// clock, and the high-score screen stores its table through the high-score store.
void ConnectLiveServices();

// The whole program: single instance, start-up, the frame loop, shutdown. The exit status:
// 0, -1 when another copy runs, 1 when no window can be opened.
int RunGame();
