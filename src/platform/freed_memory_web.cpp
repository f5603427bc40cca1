#include "platform/freed_memory.h"

// A page's memory only ever grows; freed blocks serve the page's next allocations.
void ReturnFreedMemory() {}
