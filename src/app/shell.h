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
