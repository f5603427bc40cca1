#pragma once

// Only one copy of the game runs at a time. The first copy holds an advisory lock on a file
// in $XDG_RUNTIME_DIR (else the temporary folder) and listens on a socket beside it; a later
// copy finds the lock taken, asks the first to raise its window and ends.

// True when this process is now the only copy; it keeps the lock until
// ReleaseSingleInstance or its end.
bool ClaimSingleInstance();
// Opens the socket on which later copies ask; called once the window exists, so a request
// always finds something to raise.
void ListenForRaiseRequests();
void ReleaseSingleInstance();

// From a second copy: asks the running copy to bring its window to the front. Writes no file.
void AskRunningCopyToRaise();

// From the running copy: true when another copy has asked since the last call.
bool TakeRaiseRequest();
