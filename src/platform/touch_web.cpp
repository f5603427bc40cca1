#include <emscripten.h>

#include <string>

#include "platform/touch.h"

// The page (web/touch.js) draws the touch controls and the name field, and keeps what the
// fingers do until the game takes it once a frame.
namespace {

EM_JS(int, plemby_touch_screen, (), {
    return Module['plembyTouch'] && Module['plembyTouch'].screen() ? 1 : 0;
});
EM_JS(void, plemby_show_touch_controls, (int shown), {
    if (Module['plembyTouch']) Module['plembyTouch'].showControls(shown != 0);
});
EM_JS(void, plemby_show_name_typing, (int shown), {
    if (Module['plembyTouch']) Module['plembyTouch'].showNameTyping(shown != 0);
});
EM_JS(void, plemby_take_touch, (), {
    if (Module['plembyTouch']) Module['plembyTouch'].take();
});
EM_JS(int, plemby_touch_held, (const char* action), {
    return Module['plembyTouch'] && Module['plembyTouch'].held(UTF8ToString(action)) ? 1 : 0;
});

// What the page was last told, so that it is told only of changes.
struct PageTouch {
    int controlsShown = -1;
    int nameTypingShown = -1;
};
PageTouch page;

}  // namespace

bool TouchScreen() { return plemby_touch_screen() != 0; }

void ShowTouchControls(bool shown) {
    if (page.controlsShown == static_cast<int>(shown)) return;
    page.controlsShown = shown ? 1 : 0;
    plemby_show_touch_controls(page.controlsShown);
}

void ShowNameTyping(bool shown) {
    if (page.nameTypingShown == static_cast<int>(shown)) return;
    page.nameTypingShown = shown ? 1 : 0;
    plemby_show_name_typing(page.nameTypingShown);
}

void TakeTouchControls() { plemby_take_touch(); }

bool TouchControlHeld(std::string_view action) {
    return plemby_touch_held(std::string(action).c_str()) != 0;
}
