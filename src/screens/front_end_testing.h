#pragma once

#include "screens/front_end.h"

// The CONTROLS screen's own state back to the start (tests).
void ResetControlsScreen();
