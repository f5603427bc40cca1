#include <emscripten.h>

#include "platform/main_loop.h"

namespace {
FrameDriver browserDriver{};

// The page's callbacks stop while its tab is hidden; this notes when it is seen again.
EM_JS(void, plemby_watch_visibility, (), {
    document.addEventListener('visibilitychange', function() {
        if (!document.hidden) Module['plembyShownAgain'] = true;
    });
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

void Turn() {
    if (plemby_take_shown_again() != 0) browserDriver.restartDeadline();
    if (browserDriver.dueFrames()) return;
    emscripten_cancel_main_loop();
    browserDriver.finish();
    plemby_tell_page_ended();
}
}  // namespace

void DriveFrames(const FrameDriver& driver) {
    browserDriver = driver;
    plemby_watch_visibility();
    driver.start();
    // 0 frames a second: the browser's animation callback, at whatever rate the display has.
    emscripten_set_main_loop(Turn, 0, 0);
}
