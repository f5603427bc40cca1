#include <SDL.h>

#include "gfx/renderer.h"
#include "platform/keys.h"
#include "support/render_fixture.h"

namespace {

using PresentationTest = RenderTest;

TEST_F(PresentationTest, PointerFollowsTheLetterboxOfAnyWindowSize) {
    StopInputScript();
    const struct {
        int w, h;
        int mouseX, mouseY;
        int x, y;
    } cases[] = {
        {2048, 768, 512 + 100, 50, 100, 50},    // bars left and right
        {1024, 1536, 100, 384 + 50, 100, 50},   // bars above and below
        {512, 384, 50, 25, 100, 50},            // half size, no bars
        {2048, 1536, 2047, 1535, 1023, 767},    // double size, the far corner
        {1024, 768, 1, 2, 1, 2},
    };
    for (const auto& c : cases) {
        SDL_SetWindowSize(window, c.w, c.h);
        ClearBackBuffer();
        PresentFrame();
        SDL_WarpMouseInWindow(window, c.mouseX, c.mouseY);
        SDL_PumpEvents();
        const PointerPos p = GetPointerPos();
        EXPECT_EQ(p.x, c.x) << c.w << " x " << c.h;
        EXPECT_EQ(p.y, c.y) << c.w << " x " << c.h;
    }
}

}  // namespace
