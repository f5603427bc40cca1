#pragma once

#include "screens/navigation.h"

// Screen and quit request back to their start-up values (tests).
void ResetNavigation();
