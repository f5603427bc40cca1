#include <malloc.h>

#include "platform/freed_memory.h"

// glibc keeps freed blocks between those still in use for the next allocation.
void ReturnFreedMemory() { malloc_trim(0); }
