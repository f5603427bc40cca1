#include <emscripten.h>

#include "platform/main_loop.h"

namespace {
FrameDriver browserDriver{};

// The page's callbacks stop while its tab is hidden; this notes when it is seen again. A hidden
// page may also be closed without another callback, so the game keeps the player's choices then.
EM_JS(void, plemby_watch_visibility, (), {
    document.addEventListener('visibilitychange', function() {
        if (document.hidden) {
            Module['_plemby_page_hidden']();
        } else {
            Module['plembyShownAgain'] = true;
        }
    });
    window.addEventListener('pagehide', function() { Module['_plemby_page_hidden'](); });
});
EM_JS(int, plemby_take_shown_again, (), {
    var shown = Module['plembyShownAgain'] ? 1 : 0;
    Module['plembyShownAgain'] = false;
    return shown;
});
// The page offers the player a way back in (web/index.html).
EM_JS(void, plemby_tell_page_ended, (), {
    if (Module['onGameEnded']) Module['onGameEnded']();
});

bool gameRuns = false;

void Turn() {
    if (plemby_take_shown_again() != 0) browserDriver.restartDeadline();
    if (browserDriver.dueFrames()) return;
    emscripten_cancel_main_loop();
    gameRuns = false;
    browserDriver.finish();
    plemby_tell_page_ended();
}
}  // namespace

extern "C" EMSCRIPTEN_KEEPALIVE void plemby_page_hidden() {
    if (gameRuns) browserDriver.keepChoices();
}

void DriveFrames(const FrameDriver& driver) {
    browserDriver = driver;
    plemby_watch_visibility();
    driver.start();
    gameRuns = true;
    // 0 frames a second: the browser's animation callback, at whatever rate the display has.
    emscripten_set_main_loop(Turn, 0, 0);
}
