#include "platform/system_keys.h"

#include "platform/keys.h"

int DefaultKeyInPlaceOf(int position) {
    switch (position) {
        case KEY_POSITION_LEFT_CTRL:
            return KEY_POSITION_Z;
        case KEY_POSITION_RIGHT_CTRL:
            return KEY_POSITION_X;
        case KEY_POSITION_ESCAPE:
            return KEY_POSITION_BACKSPACE;
        default:
            return position;
    }
}
