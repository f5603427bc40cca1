#pragma once

// For code that must wait inside a frame for a key to change (the name entry waits for a
// key's release): lets the window system deliver its pending input so that KeyDown is current,
// while every event stays queued for the frame loop to take as usual.
void RefreshInputState();

// True when a close of the window or a quit request waits in the event queue.
bool QuitPending();
