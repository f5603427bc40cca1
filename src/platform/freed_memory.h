#pragma once

// Gives the memory the program has freed back to the system, where the system's allocator keeps
// it otherwise.
void ReturnFreedMemory();
