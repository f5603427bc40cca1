#pragma once

// Loads the module of the open module source into `song`, its memory from the song arena, and
// starts the song's playing state. Nonzero when the song is ready to play; 0 when the module
// is rejected, ends before its declared patterns, instruments or sample data, or the arena is
// exhausted (what was built so far stays in the arena for the caller to release).
int LoadModule();
