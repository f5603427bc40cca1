#include "music/xm_module.h"

Song song;
