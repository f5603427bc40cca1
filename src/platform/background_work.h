#pragma once

// Work that runs beside the game's frames: the music, rendered ahead of the audio device. On the
// desktop it has a thread of its own that calls `step` every `periodMs`; in the browser, which
// gives a page no threads without special response headers, the audio output calls `step` on
// the main thread just before it reads, so the music is always rendered ahead of what plays.
// Either way `step` runs until it returns false or the work is stopped.

// Starts the work; false when it cannot start (no thread to be had). One work at a time.
bool StartBackgroundWork(bool (*step)(), int periodMs);
// Ends the work and waits until its step has returned: once this returns, step is not called.
void StopBackgroundWork();
// The turn the audio output gives the work before it reads, where the work has no thread of
// its own; nothing where it has.
void RunDueBackgroundWork();
