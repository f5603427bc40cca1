#pragma once

#include <cstdint>

// The screen the frame loop dispatches to; a screen switches by writing it, and the change
// takes effect in the next frame.
enum ScreenId : std::int32_t {
    Title = 0,
    MainMenu = 1,
    Play = 2,
    Options = 3,
    GameOver = 4,
    Info = 5,
    HighScores = 6,
};
extern std::int32_t screenId;

// While set, frames draw and present nothing; only the hotkeys run.
extern std::uint8_t Paused;

// Asks the game to end: shutdown runs once, then the frame loop ends with status 0.
void RequestQuit();

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

// The whole program: single instance, start-up, the frame loop, shutdown. The exit status:
// 0, -1 when another copy runs, 1 when no window can be opened.
int RunGame();

// Screen, pause, latch and quit state back to their start-up values (tests).
void ResetShell();
