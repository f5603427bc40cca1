#include "common/settings.h"

Settings settings;
