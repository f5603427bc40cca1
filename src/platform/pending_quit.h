#pragma once

// True when a close of the window or a quit request waits in the event queue; the queue is
// only looked at, every event stays for the frame loop to take as usual.
bool QuitPending();
