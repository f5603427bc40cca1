#include "platform/system_keys.h"

int DefaultKeyInPlaceOf(int position) { return position; }
