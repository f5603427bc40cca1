#include <gtest/gtest.h>

#include "common/bindings.h"
#include "gfx/fade.h"
#include "gfx/sprites.h"
#include "platform/keys_testing.h"
#include "screens/front_end.h"
#include "screens/front_end_fixture.h"
#include "screens/navigation.h"

namespace {

constexpr int LETTER_N = 16 + 13;
constexpr int MESSAGE_Y = 656;
constexpr int CAPTION_X = 72;
// Where a slot's text stands: the key columns are 14 glyphs wide, the button column 11.
constexpr SpriteRect SlotRect(int action, int column) {
    constexpr int X[] = {320, 560, 800};
    constexpr int GLYPHS[] = {14, 14, 11};
    const int y = 144 + 40 * action;
    return {X[column] - 4, y, X[column] + 16 * GLYPHS[column] + 4, y + 32};
}

class ControlsScreenTest : public FrontEndTest {
protected:
    void SetUp() override {
        FrontEndTest::SetUp();
        screenId = Controls;
        fade.FadeActive = 0;
        fade.CurrentBackground = textures.LevelBackground[4];
    }

    void TapKey(int vk) {
        ScriptKey(vk, true);
        Frame();
        ScriptKey(vk, false);
        Frame();
    }

    // Where this frame's picture differs from `before`: within `rect` nothing may differ, so
    // that what is written there stays as readable as without the mark; the differences must
    // lie in the ring just around it, and there must be some.
    void ExpectOnlyMarked(const std::vector<std::uint32_t>& before, const SpriteRect& rect,
                          const char* what) {
        Capture();
        int inRing = 0;
        int elsewhere = 0;
        int inside = 0;
        for (int y = 0; y < 768; ++y) {
            for (int x = 0; x < 1024; ++x) {
                const std::size_t i =
                    static_cast<std::size_t>(y) * 1024 + static_cast<std::size_t>(x);
                if (captured[i] == before[i]) continue;
                const bool inRect =
                    x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
                const bool nearRect = x >= rect.left - 2 && x < rect.right + 2 &&
                                      y >= rect.top - 2 && y < rect.bottom + 2;
                (inRect ? inside : nearRect ? inRing : elsewhere)++;
            }
        }
        EXPECT_EQ(inside, 0) << what << ": the marked text is drawn over";
        EXPECT_EQ(elsewhere, 0) << what << ": a second mark, or a stray one";
        EXPECT_GT(inRing, 2 * (rect.right - rect.left)) << what << ": no frame around it";
    }
};

// The keyboard and the pointer choose the same one place, marked by a frame that leaves its
// text as it was; a BUTTON slot without a controller says so at once instead of waiting.
TEST_F(ControlsScreenTest, OneMarkFollowsKeysAndPointerAndLeavesTheTextReadable) {
    PointAt(8, 8);
    Frames(2);
    Capture();
    const std::vector<std::uint32_t> unmarked = captured;

    TapKey(VK_DOWN);
    ExpectOnlyMarked(unmarked, SlotRect(0, 0), "the first key of TURN by the keyboard");

    // The pointer moves onto SHIFT LEFT's other key: the mark goes there, and only there.
    PointAt(600, 240);
    Frame();
    ExpectOnlyMarked(unmarked, SlotRect(2, 1), "the slot under the pointer");
    Frames(3);
    ExpectOnlyMarked(unmarked, SlotRect(2, 1), "a resting pointer keeps its mark");

    // The keys go on from where the pointer chose; the resting pointer does not take it back.
    TapKey(VK_RIGHT);
    ExpectOnlyMarked(unmarked, SlotRect(2, 2), "Right from the pointer's slot");
    TapKey(VK_UP);
    ExpectOnlyMarked(unmarked, SlotRect(1, 2), "Up from there");

    // No controller is plugged in: choosing a BUTTON slot says so and waits for nothing.
    TapKey(VK_RETURN);
    EXPECT_FALSE(ControlsScreenTookKeys());
    Frame();
    Capture();
    EXPECT_EQ(GlyphAt(CAPTION_X, MESSAGE_Y), LETTER_N) << "NO CONTROLLER IS PLUGGED IN";
    TapKey('Q');
    EXPECT_EQ(bindings, PlayerBindings{}) << "nothing was waiting for a key or button";
    EXPECT_EQ(screenId, Controls);
}

}  // namespace
