#pragma once

#include <cstdint>
#include <optional>

// The frame loop's pacing: a frame is due every FRAME_PERIOD_MS from the loop's start. The
// deadline moves by exactly one period per frame and is never set back to the clock, so a late
// frame is followed by frames without a wait until the loop is ahead again. Pending events are
// taken before each frame; a quit request or the window's close ends the loop with one shutdown,
// without running another frame.

inline constexpr std::int64_t FRAME_PERIOD_MS = 20;

// The first frame is due at once.
void StartFrameLoop();

// Takes the pending events, then runs `frame` once and moves the deadline on by one period.
// Returns the milliseconds until the next frame is due (negative when behind), or nothing once
// the loop has ended, in which case no frame ran.
std::optional<std::int64_t> RunNextFrame(void (*frame)());

// Runs every frame that is due now, then returns without waiting: for a loop woken from outside,
// as a browser's animation callback is. False once the loop has ended.
bool RunDueFrames(void (*frame)());

// The next frame is due now, with no catch-up for the time before: for a loop that was not
// woken for a long while, as a browser's hidden tab is not.
void RestartFrameDeadline();

// The quit answer goes back to the platform's own.
void FinishFrameLoop();

// The desktop's loop: runs `frame` and sleeps until the next deadline, until the loop ends.
// Returns the exit status.
int RunFrameLoop(void (*frame)());
