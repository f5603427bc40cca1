#include "gfx/fade.h"
#include "platform/keys.h"
#include "screens/front_end.h"
#include "screens/navigation.h"

// The title does not wait for its own fade-in: a press switches at once and the running fade
// goes on towards the menu picture.
void TitleFrame() {
    DrawBackground(0);
    if (KeyDown(VK_SPACE) || KeyDown(VK_LBUTTON)) {
        ChangeScreen(MainMenu, {.next = textures.MenuBackground, .fade = true});
    }
}
