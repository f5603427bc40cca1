#pragma once

#include "platform/controllers.h"

// Tests: virtual controllers that SDL opens as game controllers, driven by script. Each returns
// or takes a handle; a new controller reaches the game once the event pump has taken its arrival.
int PlugVirtualController();
void SetVirtualInput(int handle, PadInput input, bool down);  // directions on the D-pad
void SetVirtualStick(int handle, int x, int y);               // left stick, -32768..32767
void UnplugVirtualController(int handle);
