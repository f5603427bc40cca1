#include "app/settings.h"
#include "app/shell.h"
#include "gfx/fade.h"
#include "gfx/textures.h"
#include "platform/keys.h"
#include "screens/front_end_fixture.h"
#include "screens/high_scores.h"
#include "screens/menu_controls.h"
#include "screens/menu_controls_testing.h"
#include "screens/menu_items.h"
#include "support/test_game.h"

namespace {

constexpr int HELP_X = 880, HELP_Y = 190;
constexpr int START_X = 480, START_Y = 330;

class MainMenuTest : public FrontEndTest {
protected:
    // The white highlight at three quarters over the blue menu picture.
    bool LitAt(int x, int y) const { return Red(Pixel(x, y)) > 0x80; }
};

TEST_F(MainMenuTest, ItemsCountBothEndsOfTheirHitRangesAndNothingBeyond) {
    const SpriteRect& exit = MENU_ITEM_RECTS[EXIT_ITEM];
    const int l = exit.left, t = exit.top, r = exit.right, b = exit.bottom;
    const struct {
        int x, y;
        bool inside;
    } points[] = {{l + 1, t + 1, true}, {r - 1, b - 1, true}, {l, t + 1, false},
                  {r, b - 1, false},    {l + 1, t, false},    {r - 1, b, false}};
    for (const auto& p : points) {
        ResetFrontEndState();
        PointAt(p.x, p.y);
        Frame();
        Capture();
        EXPECT_EQ(frontEnd.menuHoverArmed[EXIT_ITEM], p.inside ? 0 : 1) << p.x << ", " << p.y;
        EXPECT_EQ(LitAt(900, 70), p.inside) << p.x << ", " << p.y;
    }
    // The other items light exactly their own rectangles.
    PointAt(START_X, START_Y);
    Frame();
    Capture();
    const SpriteRect& start = MENU_ITEM_RECTS[START_ITEM];
    EXPECT_TRUE(LitAt(start.left, start.top));
    EXPECT_TRUE(LitAt(start.right - 1, start.bottom - 1));
    EXPECT_FALSE(LitAt(start.left - 1, start.top));
    EXPECT_FALSE(LitAt(start.right, start.bottom - 1));
    EXPECT_FALSE(LitAt(900, 70));
}

TEST_F(MainMenuTest, HoverIsSpentOnEntryAndArmedAgainOnlyByLeaving) {
    PointAt(HELP_X, HELP_Y);
    Frame();
    EXPECT_EQ(frontEnd.menuHoverArmed[HELP_ITEM], 0);
    PointAt(HELP_X + 50, HELP_Y + 20);
    Frames(3);
    EXPECT_EQ(frontEnd.menuHoverArmed[HELP_ITEM], 0) << "moving inside the item plays nothing";
    PointAt(START_X, START_Y);
    Frame();
    EXPECT_EQ(frontEnd.menuHoverArmed[HELP_ITEM], 1);
    EXPECT_EQ(frontEnd.menuHoverArmed[START_ITEM], 0);
}

TEST_F(MainMenuTest, StartShowsTheFirstLevelPictureAtOnceAndResetsTheGame) {
    settings.startLevel = 4;
    PointAt(START_X, START_Y);
    Press();
    Frame();
    EXPECT_EQ(screenId, Play);
    EXPECT_EQ(fade.CurrentBackground, textures.LevelBackground[0]);
    EXPECT_EQ(fade.NextBackground, textures.LevelBackground[1]);
    EXPECT_EQ(fade.FadeActive, 0);
    EXPECT_EQ(game.level, 4);
    EXPECT_EQ(frontEnd.pressLatch, 1);
}

TEST_F(MainMenuTest, HelpHeldThroughItsFadeReturnsAtOnceAndTheLatchHoldsTheNextPress) {
    PointAt(HELP_X, HELP_Y);
    Press();
    Frame();
    ASSERT_EQ(screenId, Info);
    EXPECT_EQ(fade.CurrentBackground, textures.BlackScreen);
    EXPECT_EQ(fade.NextBackground, textures.InfoBackground);
    EXPECT_EQ(fromMenu, 1);

    // The held button does nothing while the information picture fades in, then returns in
    // the frame that ends the fade.
    Frames(62);
    EXPECT_EQ(screenId, Info);
    Frame();
    EXPECT_EQ(fade.FadeActive, 0);
    EXPECT_EQ(screenId, MainMenu);
    EXPECT_EQ(fade.CurrentBackground, textures.MenuBackground);
    EXPECT_EQ(fade.FadeActive, 0);

    // Back on the menu the latch from the help press stops the still-held button...
    PointAt(START_X, START_Y);
    Frame();
    EXPECT_EQ(screenId, MainMenu);
    // ...and a release outside every item does not clear it.
    Release();
    PointAt(500, 20);
    Frame();
    Press();
    PointAt(START_X, START_Y);
    Frame();
    EXPECT_EQ(screenId, MainMenu);
    // Only a frame over an item with the button up does.
    Release();
    Frame();
    Press();
    Frame();
    EXPECT_EQ(screenId, Play);
}

TEST_F(MainMenuTest, PressHeldOnTheTitleActsOnTheItemUnderThePointerWhenTheFadeEnds) {
    screenId = Title;
    fade.CurrentBackground = textures.BlackScreen;
    fade.NextBackground = textures.TitleBackground;
    fade.FadeActive = 1;
    Frames(10);  // the start-up fade is under way
    PointAt(START_X, START_Y);
    Press();
    Frame();
    ASSERT_EQ(screenId, MainMenu);
    EXPECT_EQ(fade.NextBackground, textures.MenuBackground);
    // Nothing acts while the fade runs; the title never set the latch, so the frame that ends
    // the fade starts the game.
    while (screenId == MainMenu) {
        ASSERT_EQ(fade.FadeActive, 1);
        Frame();
    }
    EXPECT_EQ(screenId, Play);
    EXPECT_EQ(fade.CurrentBackground, textures.LevelBackground[0]);
}

TEST_F(MainMenuTest, GameOverFadesTheLastPictureToBlackThenOpensTheHighScores) {
    screenId = GameOver;
    game.gameOverEntry = 1;
    fade.FadeActive = 1;
    fade.LastFadeStep = 0;
    PointAt(START_X, START_Y);
    Press();  // read by nobody here
    int frames = 0;
    while (screenId == GameOver && frames < 400) {
        Frame();
        ++frames;
        if (frames == 1) {
            EXPECT_EQ(game.gameOverEntry, 0);
            EXPECT_EQ(fade.NextBackground, textures.BlackScreen);
        }
    }
    EXPECT_EQ(frames, 187) << "one step every third frame, from 4 to 252";
    EXPECT_EQ(screenId, HighScores);
    EXPECT_EQ(fade.CurrentBackground, textures.BlackScreen);
    EXPECT_EQ(fade.NextBackground, textures.HighScoresBackground);
    EXPECT_EQ(fade.FadeActive, 1);
    EXPECT_EQ(fromMenu, 0);
    EXPECT_EQ(frontEnd.pressLatch, 0);
}

}  // namespace
