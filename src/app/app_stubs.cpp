// Placeholders until the application shell lands.
#include "app/settings.h"
#include "app/shell.h"

Settings settings;
std::int32_t screenId = Title;
