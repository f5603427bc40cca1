#pragma once

#include <cstdint>

#include "gfx/fade.h"

// The screen the frame loop dispatches to; the change takes effect in the next frame.
enum ScreenId : std::int32_t {
    Title = 0,
    MainMenu = 1,
    Play = 2,
    Options = 3,
    GameOver = 4,
    Info = 5,
    HighScores = 6,
    Controls = 7,  // the player's keys and buttons, opened from the options screen
    Watch = 8,     // a recorded game played on the play screen
    Demo = 9,      // the CPU player's game shown when the title is left alone
    SCREEN_COUNT,  // not a screen: how many there are
};
extern std::int32_t screenId;

// The one way a screen hands over to another: the backgrounds and the fade as `backgrounds`
// says, and the next screen.
void ChangeScreen(ScreenId screen, const BackgroundChange& backgrounds = {});

// Asks the game to end: shutdown runs once, then the frame loop ends with status 0. The request
// waits like an event, so the frame that made it runs to its end first.
void RequestQuit();
// True once after a request (the frame loop takes it).
bool TakeQuitRequest();
