#pragma once

#include "app/bindings_store.h"

// The controls back to the defaults and the file forgotten (tests).
void ResetBindings();
