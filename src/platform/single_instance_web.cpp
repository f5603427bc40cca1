#include "platform/single_instance.h"

// A page is not a program the player starts twice: each tab plays on its own, and what one tab
// saves never takes away what another saved. There is nothing to claim and nobody to ask.
bool ClaimSingleInstance() { return true; }
void ListenForRaiseRequests() {}
void ReleaseSingleInstance() {}
void AskRunningCopyToRaise() {}
bool TakeRaiseRequest() { return false; }
