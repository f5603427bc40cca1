#include "screens/navigation.h"

#include "gfx/fade.h"
#include "screens/action_bindings.h"
#include "screens/menu_input.h"
#include "screens/front_end_testing.h"
#include "screens/high_scores_testing.h"
#include "screens/menu_controls_testing.h"
#include "screens/navigation_testing.h"

std::int32_t screenId = Title;

namespace {
bool quitRequested = false;
}  // namespace

void ChangeScreen(ScreenId screen, const BackgroundChange& backgrounds) {
    ChangeBackgrounds(backgrounds);
    screenId = screen;
    // The key or button that made the change does not also act on the next screen.
    HoldMenuKeys();
    HoldOverPadButtons();
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

void ResetScreens() {
    ResetNavigation();
    ResetFrontEndState();
    ResetMenuKeys();
    ResetPadHoldOver();
    ResetTitle();
    ResetDemo();
    ResetPlayScreen();
    ResetWatch();
    ResetHighScoresScreen();
    ResetControlsScreen();
}
