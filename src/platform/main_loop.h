#pragma once

#include <cstdint>
#include <optional>

// How the game's frames are driven. The desktop loops by itself: each turn runs the next frame
// and sleeps until the one after it is due. In a browser the page's animation callback owns the
// loop: at each display refresh it runs the frames that are due, without blocking.
struct FrameDriver {
    void (*start)();
    // One paced frame (after the pending events); the milliseconds until the next one is due,
    // nothing once the game has ended.
    std::optional<std::int64_t> (*nextFrame)();
    // Every frame that is due now (after the pending events); false once the game has ended.
    bool (*dueFrames)();
    // The next frame is due now: the time the page lay hidden, without callbacks, is not caught
    // up with thousands of frames at once.
    void (*restartDeadline)();
    // When the page the game plays in is hidden and may be closed without another frame:
    // what the player chose is kept at once. Never called on the desktop.
    void (*keepChoices)();
    // Once, after the last frame.
    void (*finish)();
};

// On the desktop this returns when the game has ended; in a browser it returns at once and the
// browser calls back, and the page is told when the game has ended.
void DriveFrames(const FrameDriver& driver);
