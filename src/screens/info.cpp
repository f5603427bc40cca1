#include "gfx/fade.h"
#include "platform/keys.h"
#include "screens/front_end.h"
#include "screens/navigation.h"

// Reacts to a button that is down, not to a new press: the click that opened the screen, still
// held when the fade ends, returns to the menu at once.
void InfoFrame() {
    DrawBackground(0);
    if (fade.FadeActive) return;
    if (KeyDown(VK_ESCAPE) || KeyDown(VK_LBUTTON)) {
        ChangeScreen(MainMenu, {.shown = textures.MenuBackground});
    }
}
