#pragma once

#include "platform/keys.h"

// Headless scripting for tests: once any of these is called, KeyDown and GetPointerPos
// answer from the script only.
void ScriptKey(int vk, bool down);
void ScriptPointer(int x, int y);
void ScriptReleaseAllKeys();
void StopInputScript();  // back to the real devices
