#include "common/bindings.h"
#include "gfx/fade.h"
#include "platform/clock.h"
#include "platform/keys.h"
#include "screens/demo.h"
#include "screens/front_end.h"
#include "screens/menu_input.h"
#include "screens/navigation.h"
#include "screens/navigation_testing.h"

namespace {

// A gap this long between two title frames means the title was away (paused, or another screen
// came between): its wait for a demo starts again.
constexpr std::int64_t TITLE_AWAY_MS = 200;

struct TitleState {
    std::int64_t idleSince = 0;
    std::int64_t lastFrame = 0;
    PointerPos pointer;
    // Back from a demo: what ended it is still held and must be let go before the title reacts.
    bool waitForRelease = false;
};
TitleState title;

// Any input, a moving pointer included, starts the wait for a demo again.
void WatchForIdle(std::int64_t now, bool held) {
    const PointerPos pointer = GetPointerPos();
    const bool moved = pointer.x != title.pointer.x || pointer.y != title.pointer.y;
    title.pointer = pointer;
    if (held || moved || now - title.lastFrame > TITLE_AWAY_MS) title.idleSince = now;
    title.lastFrame = now;
}

}  // namespace

void ResetTitle() { title = TitleState{}; }

// The title does not wait for its own fade-in: a press switches at once and the running fade
// goes on towards the menu picture.
void TitleFrame() {
    DrawBackground(0);
    if (TakeDemoRequest()) {
        StartDemo();
        return;
    }
    const std::int64_t now = NowMs();
    if (TakeDemoEnded()) title.waitForRelease = true;
    const bool held = AnyPlayerInputHeld();
    WatchForIdle(now, held);
    ReadMenuKeys();
    if (title.waitForRelease) {
        title.waitForRelease = held;
        return;
    }
    if (KeyDown(VK_SPACE) || KeyDown(VK_LBUTTON) || MenuKeyPressed(MenuKey::Confirm) ||
        MenuKeyPressed(MenuKey::Start)) {
        ChangeScreen(MainMenu, {.next = textures.MenuBackground, .fade = true});
        return;
    }
    if (bindings.titleDemo && now - title.idleSince >= DEMO_IDLE_MS) StartDemo();
}
