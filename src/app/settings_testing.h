#pragma once

#include "app/settings.h"

// The live settings back to their defaults and the start-up record forgotten (tests).
void ResetSettings();
