#pragma once

#include "screens/menu_controls.h"

// Puts the shared menu state back as the program starts it (every hover armed, no latch).
void ResetFrontEndState();
