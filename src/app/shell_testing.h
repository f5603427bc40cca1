#pragma once

#include "app/shell.h"

// Screen, pause, latch and quit state back to their start-up values (tests).
void ResetShell();
