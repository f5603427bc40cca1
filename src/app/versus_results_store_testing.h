#pragma once

#include "app/versus_results_store.h"

// No results, and what start-up learnt of the file forgotten (tests).
void ResetVersusResults();
