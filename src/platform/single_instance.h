#pragma once

// Only one copy of the game runs at a time. On Linux the first copy holds an advisory lock on a
// file in $XDG_RUNTIME_DIR and another in the temporary folder ($TMPDIR, else /tmp), each with a
// socket beside it; a later copy finds one of the locks taken, asks the first through the
// socket beside it to raise its window and ends. A folder that cannot hold the lock is passed
// over; when none can, the game runs without it and says so on stderr. On Windows the first
// copy holds a named mutex of the signed-in user, and a later copy finds the first one's
// window by its class, "Plemby!", and brings it to the front itself.

// True when this process is now the only copy; it keeps the locks until
// ReleaseSingleInstance or its end.
bool ClaimSingleInstance();
// Opens the sockets on which later copies ask; called once the window exists, so a request
// always finds something to raise.
void ListenForRaiseRequests();
void ReleaseSingleInstance();

// From a copy that ClaimSingleInstance turned away: asks the running copy to bring its window
// to the front. Writes no file.
void AskRunningCopyToRaise();

// From the running copy: true when another copy has asked since the last call.
bool TakeRaiseRequest();
