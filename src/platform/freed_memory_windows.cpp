#include "platform/freed_memory.h"

// The Windows heap gives large freed blocks back by itself.
void ReturnFreedMemory() {}
