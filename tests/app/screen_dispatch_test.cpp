#include <algorithm>

#include "app/shell.h"
#include "platform/keys.h"
#include "platform/keys_testing.h"
#include "platform/sdl_renderer.h"
#include "support/render_fixture.h"

namespace {

constexpr std::uint32_t RED = 0xFFFF0000;
constexpr std::uint32_t BLACK = 0xFF000000;

class ScreenDispatch : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        ScriptReleaseAllKeys();
    }

    static bool AllPixels(std::uint32_t argb) {
        const auto pixels = ReadBackBufferPixels();
        return !pixels.empty() && std::all_of(pixels.begin(), pixels.end(),
                                              [argb](std::uint32_t p) { return p == argb; });
    }
};

TEST_F(ScreenDispatch, UnknownScreenDrawsAnEmptyBlackFrame) {
    for (std::int32_t id : {static_cast<std::int32_t>(SCREEN_COUNT), -1, 1000}) {
        ClearBackBufferPixels(RED);
        screenId = id;
        RunFrame();
        EXPECT_TRUE(AllPixels(BLACK)) << "screen " << id;
    }
}

TEST_F(ScreenDispatch, PausedFrameLeavesThePictureAndStillReadsHotkeys) {
    ClearBackBufferPixels(RED);
    shell.Paused = 1;
    screenId = SCREEN_COUNT;
    ScriptKey('P', true);
    RunFrame();
    EXPECT_TRUE(AllPixels(RED));
    EXPECT_EQ(shell.Paused, 0);

    // The next frame draws again.
    RunFrame();
    EXPECT_TRUE(AllPixels(BLACK));
}

}  // namespace
