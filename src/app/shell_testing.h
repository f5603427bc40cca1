#pragma once

#include "app/shell.h"

// For tests: every subsystem's variables back to how the program starts them: the settings, the
// controls, the high scores, the game, the CPU player, the screens, the frame loop, the pause
// and the hotkeys, the kept replays, the music player (its song stopped) and its code build,
// and the random generator. The window, the renderer with its textures and the background
// slots, the sounds and the audio output stay as they are.
void ResetProgramState();

// For tests: whatever is open is closed as at the program's end, storing nothing (the music
// thread, the sounds, the renderer and its textures, the audio device, the controllers, the
// window and SDL itself, the single-instance claim), the scripted input and the manual clock
// end, then ResetProgramState. Every test starts from here.
void CloseAndResetProgram();

// The kept replays' part of ResetProgramState.
void ForgetKeptReplays();
