#pragma once

#include "app/controls_store.h"

// The controls back to the defaults and the file forgotten (tests).
void ResetControls();
