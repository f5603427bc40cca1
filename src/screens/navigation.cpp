#include "screens/navigation.h"

#include "gfx/fade.h"

std::int32_t screenId = Title;

namespace {
bool quitRequested = false;
}  // namespace

void ChangeScreen(ScreenId screen, const BackgroundChange& backgrounds) {
    ChangeBackgrounds(backgrounds);
    screenId = screen;
}

void RequestQuit() { quitRequested = true; }

bool TakeQuitRequest() {
    const bool requested = quitRequested;
    quitRequested = false;
    return requested;
}

void ResetNavigation() {
    screenId = Title;
    quitRequested = false;
}
