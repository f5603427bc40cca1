#include "screens/play_screen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/high_score_store.h"
#include "app/high_score_store_testing.h"
#include "app/settings.h"
#include "app/shell.h"
#include "common/bindings.h"
#include "common/font_codes.h"
#include "common/random.h"
#include "game/game_state.h"
#include "game/piece_control.h"
#include "gfx/back_buffer.h"
#include "gfx/fade.h"
#include "gfx/textures.h"
#include "platform/clock.h"
#include "platform/clock_testing.h"
#include "platform/keys.h"
#include "platform/keys_testing.h"
#include "screens/high_scores.h"
#include "support/drawing_fixture.h"
#include "support/temp_home.h"
#include "support/test_game.h"

namespace {

constexpr std::int64_t FRAME_MS = 20;

class PlayScreenTest : public DrawingTest {
protected:
    void SetUp() override {
        DrawingTest::SetUp();
        ClearTestHome();
        UseManualClock(100000);
        ScriptReleaseAllKeys();
        SeedRandom(4242);
        ResetTestGame();
        screenId = Play;
    }

    void Frame() {
        ClearBackBuffer();
        PlayFrame();
        Capture();
        AdvanceManualClock(FRAME_MS);
    }

    static void Place(std::uint8_t type, std::uint8_t x, std::uint8_t y) {
        game.currentType = type;
        SetCurrentShape(game, type);
        game.pieceX = x;
        game.pieceY = y;
    }
    static void Next(std::uint8_t type) {
        game.nextType = type;
        SetNextShape(game, type);
    }

    // The glyphs of `count` cells drawn from (x, y) on, as the labels' own text.
    std::string Text(int x, int y, int count) const {
        std::string text;
        for (int i = 0; i < count; ++i) {
            const int glyph = GlyphAt(x + 16 * i, y);
            if (glyph == BLANK_GLYPH) {
                text += ' ';
            } else if (glyph >= 0 && glyph <= 9) {
                text += static_cast<char>('0' + glyph);
            } else if (glyph >= 16 && glyph < 16 + 26) {
                text += static_cast<char>('A' + glyph - 16);
            } else {
                text += '?';
            }
        }
        return text;
    }

    int WellTileAt(int row, int column) const { return TileAt(32 * column + 288, 32 * row); }

    // The preview shows nextMask as it stood when the frame began.
    void ExpectPreviewShows(const PieceMask& mask) const {
        for (int r = 0; r < MASK_SIZE; ++r) {
            for (int c = 0; c < MASK_SIZE; ++c) {
                const int v = mask[r][c];
                const int shift = (v >= 2 && v <= 6) ? 16 : 0;
                if (v == 0) continue;
                EXPECT_EQ(TileAt(90 + 32 * c + shift, 600 + 32 * r), v) << r << "," << c;
            }
        }
    }
};

TEST_F(PlayScreenTest, FrameDrawsPanelsCaptionsCountersPreviewAndWellInPlace) {
    game.level = 7;
    game.lines = 0;
    game.score = 1234567;
    game.well[20][2] = 3;
    game.well[20][11] = 5;
    Place(7, 5, 0);
    Next(2);
    const Well before = game.well;

    Frame();

    EXPECT_EQ(Text(38, 34, 10), "LEVEL     ");
    EXPECT_EQ(Text(38, 75, 10).substr(0, 8), "LINES   ");  // its last cells lie under the number
    EXPECT_EQ(Text(38, 151, 5), "SCORE");
    EXPECT_EQ(Text(125, 575, 4), "NEXT");
    EXPECT_EQ(Text(160, 34, 6), "     7");
    EXPECT_EQ(Text(160, 75, 6), "      ") << "no lines: a blank field";
    EXPECT_EQ(Text(160, 150, 6), "234567") << "only the last six digits";

    // Locked cells, and the falling bar in row 1 as if locked; the well itself is unchanged.
    EXPECT_EQ(WellTileAt(20, 2), 3);
    EXPECT_EQ(WellTileAt(20, 11), 5);
    for (int c = 5; c <= 8; ++c) EXPECT_EQ(WellTileAt(1, c), 7) << "column " << c;
    EXPECT_EQ(game.well, before);

    // The three-wide shapes stand half a cell to the right in the preview box.
    ExpectPreviewShows(game.nextMask);
    EXPECT_TRUE(PanelAt(95, 640));

    // Panels: the well's, the counters' and the preview's, each to its edge.
    EXPECT_TRUE(PanelAt(352, 300));
    EXPECT_TRUE(PanelAt(671, 600));
    EXPECT_TRUE(BackgroundAt(351, 300));
    EXPECT_TRUE(BackgroundAt(672, 300));
    EXPECT_TRUE(BackgroundAt(400, 672));
    EXPECT_TRUE(PanelAt(33, 33));
    EXPECT_TRUE(PanelAt(259, 182));
    EXPECT_TRUE(BackgroundAt(260, 182));
    EXPECT_TRUE(BackgroundAt(259, 183));
    EXPECT_TRUE(PanelAt(80, 560));
    EXPECT_TRUE(PanelAt(229, 719));
    EXPECT_TRUE(BackgroundAt(230, 719));
    EXPECT_TRUE(BackgroundAt(229, 720));
    EXPECT_TRUE(BackgroundAt(79, 560));
}

// The ghost piece: the cells where a hard drop would put the piece, faintly in its colour and
// nowhere else; with the switch off every pixel is as it always was.
TEST_F(PlayScreenTest, GhostPieceShowsWhereTheHardDropLandsOnlyWhenSwitchedOn) {
    game.well[15][6] = 3;
    Place(7, 4, 3);  // the bar across row 4, columns 4..7; column 6 stops at row 14
    Frame();
    const std::vector<std::uint32_t> off = captured;

    bindings.ghostPiece = 1;
    Frame();
    const std::vector<std::uint32_t> on = captured;
    int changed = 0;
    for (int y = 0; y < 768; ++y) {
        for (int x = 0; x < 1024; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * 1024 + static_cast<std::size_t>(x);
            if (on[i] == off[i]) continue;
            ++changed;
            ASSERT_TRUE(y >= 32 * 14 && y < 32 * 15 && x >= 32 * 4 + 288 && x < 32 * 8 + 288)
                << "changed outside the landing cells at " << x << "," << y;
        }
    }
    for (int c = 4; c <= 7; ++c) {
        EXPECT_EQ(WellTileAt(4, c), 7) << "the piece itself, untouched";
        const std::uint32_t ghost = Pixel(32 * c + 288 + 16, 32 * 14 + 16);
        EXPECT_NE(ghost, off[static_cast<std::size_t>(32 * 14 + 16) * 1024 + 32 * c + 288 + 16]);
        EXPECT_EQ(WellTileAt(14, c), 0) << "faint, not a landed block";
    }
    EXPECT_GT(changed, 4 * 32 * 16);

    bindings.ghostPiece = 0;
    Frame();
    EXPECT_EQ(captured, off);

    bindings.ghostPiece = 1;
    ScriptKey(VK_DOWN, true);
    Frame();
    for (int c = 4; c <= 7; ++c) EXPECT_EQ(WellTileAt(14, c), 7) << "landed where it was shown";
}

TEST_F(PlayScreenTest, CountersAndPreviewLagTheWellByTheFramesInput) {
    Place(1, 5, 0);
    const PieceMask nextBefore = game.nextMask;
    ScriptKey(VK_DOWN, true);  // hard drop: 18 rows for 198 points, locked at the frame's end

    Frame();
    EXPECT_EQ(Text(160, 150, 6), "      ") << "the score as the frame began";
    ExpectPreviewShows(nextBefore);
    EXPECT_EQ(WellTileAt(19, 6), 1) << "the well after the drop";
    EXPECT_EQ(WellTileAt(20, 7), 1);
    EXPECT_EQ(game.score, 198u);

    const PieceMask nextNow = game.nextMask;
    ScriptKey(VK_DOWN, false);
    Frame();
    EXPECT_EQ(Text(160, 150, 6), "   198");
    ExpectPreviewShows(nextNow);
}

TEST_F(PlayScreenTest, GameOverKeepsTheScoreAndTheFinalWellInTheSnapshot) {
    // A stack in columns 6 and 7 up to row 3: the square locks in rows 1 and 2.
    for (int r = 3; r <= 20; ++r) game.well[r][6] = game.well[r][7] = 4;
    Place(1, 5, 0);
    game.score = 4321;
    fade.FadeActive = 0;

    Frame();
    EXPECT_EQ(screenId, GameOver);
    EXPECT_EQ(game.gameOverEntry, 1);
    EXPECT_EQ(fade.FadeActive, 1);
    EXPECT_EQ(game.score, 4321u);
    EXPECT_EQ(game.well[1][6], 1);

    // What the game-over screen will fade from: the locked square and the score.
    ClearBackBuffer();
    fade.CurrentBackground = textures.GameOverSnapshot;
    fade.FadeActive = 0;
    DrawBackground(0);
    Capture();
    EXPECT_EQ(WellTileAt(1, 6), 1);
    EXPECT_EQ(WellTileAt(2, 7), 1);
    EXPECT_EQ(WellTileAt(3, 6), 4);
    EXPECT_EQ(Text(160, 150, 6), "  4321");
}

TEST_F(PlayScreenTest, HighScoreScreenBarAndPanelCoverTheirRows) {
    ResetHighScoresStartupState();
    game.score = 20000;
    fromMenu = 0;
    fade.CurrentBackground = background;
    ClearBackBuffer();
    HighScoresFrame();
    Capture();
    ASSERT_EQ(game.entryRow, 3);
    EXPECT_EQ(Text(300, 280, 15), "ENTER YOUR NAME");
    EXPECT_EQ(Text(636, 400 + 32 * 3, 6), " 20000");
    EXPECT_EQ(Text(636, 400, 6), "131072");
    EXPECT_EQ(Text(302, 320, 26), std::string(26, ' '));
    // The bar is wider than the panel picture and still dark all along.
    EXPECT_TRUE(PanelAt(218, 400 + 32 * 3 + 1));
    EXPECT_TRUE(PanelAt(731, 400 + 32 * 3 + 30));
    EXPECT_TRUE(BackgroundAt(732, 400 + 32 * 3 + 30));
    EXPECT_TRUE(BackgroundAt(217, 400 + 32 * 3 + 1));
    EXPECT_TRUE(PanelAt(296, 276));
    EXPECT_TRUE(PanelAt(727, 355));
    EXPECT_TRUE(BackgroundAt(728, 355));
    ResetHighScoresStartupState();
}

TEST_F(PlayScreenTest, TenthLineRaisesTheLevelAndFadesToTheNextPictureFrameByFrame) {
    Texture* nextPicture = SolidTexture(0xFF2040C0, 64, 48);
    fade.NextBackground = nextPicture;
    game.lines = 9;
    for (int c = FIRST_PLAY_COLUMN; c <= LAST_PLAY_COLUMN; ++c) game.well[20][c] = 2;
    game.well[20][10] = game.well[20][11] = 0;
    game.well[19][10] = game.well[19][11] = 0;
    Place(1, 9, 0);  // the square fills the gap at columns 10 and 11
    const std::uint8_t level = game.level;
    ScriptKey(VK_DOWN, true);

    Frame();
    EXPECT_EQ(game.lines, 10);
    EXPECT_EQ(game.level, level + 1);
    EXPECT_EQ(fade.FadeActive, 1);
    ScriptKey(VK_DOWN, false);

    // Frames 20 ms apart step the fade every frame: 63 steps, then the new picture alone.
    int frames = 0;
    while (fade.FadeActive == 1 && frames < 100) {
        Frame();
        ++frames;
    }
    EXPECT_EQ(frames, 63);
    EXPECT_EQ(fade.CurrentBackground, nextPicture);
    Frame();
    EXPECT_EQ(Pixel(5, 5), 0xFF2040C0u);
}

TEST_F(PlayScreenTest, AGameEndsInTheTableAndItsNameOutlivesTheRun) {
    ResetHighScoresStartupState();
    // Drop every piece at once, shifting each third one aside, until the well is full.
    int frames = 0;
    for (; screenId == Play && frames < 2000; ++frames) {
        ScriptKey(VK_DOWN, frames % 2 == 0);
        ScriptKey(VK_LEFT, frames % 6 == 1);
        Frame();
    }
    ASSERT_EQ(screenId, GameOver);
    const std::uint32_t finalScore = game.score;
    ASSERT_GT(finalScore, 1024u) << "enough to enter the default table";

    // The game-over screen hands over with the score intact.
    ScriptReleaseAllKeys();
    fade.FadeActive = 0;
    fromMenu = 0;
    screenId = HighScores;
    HighScoresFrame();
    ASSERT_EQ(game.entryActive, 1);
    const int row = game.entryRow;
    // Each letter is typed in the frame that sees its key released.
    for (int vk : {'A', 'C', 'E'}) {
        ScriptKey(vk, true);
        HighScoresFrame();
        ScriptKey(vk, false);
        HighScoresFrame();
    }
    ScriptKey(VK_RETURN, true);
    HighScoresFrame();
    ScriptKey(VK_RETURN, false);
    ScriptKey(VK_ESCAPE, true);
    HighScoresFrame();
    EXPECT_EQ(screenId, MainMenu);

    // The next start of the game finds the name.
    ResetHighScoresStartupState();
    LoadHighScores();
    EXPECT_EQ(ReadRowScore(highScoreTable, row), finalScore);
    const auto ace = FontLabel("ACE");
    EXPECT_TRUE(std::equal(ace.begin(), ace.end(), RowName(highScoreTable, row)));
}

}  // namespace

// Seen on the real pictures: on every level picture and in every piece colour the ghost cells
// stand well above the empty cells they lie on (mean brightness, 0..255), wherever in the well
// the piece would land: on the floor, on a stack halfway up, high up, left and right.
TEST_F(PlayScreenTest, GhostPieceStandsOutOnEveryLevelPictureInEveryColour) {
    constexpr double LEAST_RISE = 40.0;
    LoadTextures();
    game.fallInterval = 1000000;  // nothing falls while the frames are looked at
    auto cellBrightness = [](const std::vector<std::uint32_t>& pixels, int row, int column) {
        double sum = 0;
        for (int y = 32 * row; y < 32 * row + 32; ++y) {
            for (int x = 32 * column + 288; x < 32 * column + 320; ++x) {
                const std::uint32_t p =
                    pixels[static_cast<std::size_t>(y) * 1024 + static_cast<std::size_t>(x)];
                sum += 0.299 * Red(p) + 0.587 * Green(p) + 0.114 * Blue(p);
            }
        }
        return sum / (32 * 32);
    };
    const struct {
        std::uint8_t x;
        int stackTop;  // the first filled row under the empty well; 21 is the floor
    } PLACES[] = {{2, 21}, {7, 21}, {4, 13}, {2, 6}, {7, 6}};
    double weakest = 255;
    std::string weakestAt;
    for (int picture = 0; picture < LEVEL_PICTURES; ++picture) {
        fade.CurrentBackground = textures.LevelBackground[picture];
        fade.FadeActive = 0;
        for (std::uint8_t type = 1; type <= 7; ++type) {
            for (const auto& place : PLACES) {
                for (int r = FIRST_VISIBLE_ROW; r <= LAST_VISIBLE_ROW; ++r) {
                    for (int c = FIRST_PLAY_COLUMN; c <= LAST_PLAY_COLUMN; ++c) {
                        game.well[r][c] = r >= place.stackTop ? 1 : 0;
                    }
                }
                Place(type, place.x, 1);
                bindings.ghostPiece = 0;
                Frame();
                const std::vector<std::uint32_t> off = captured;
                bindings.ghostPiece = 1;
                Frame();
                int ghostCells = 0;
                for (int r = FIRST_VISIBLE_ROW; r <= LAST_VISIBLE_ROW; ++r) {
                    for (int c = FIRST_PLAY_COLUMN; c <= LAST_PLAY_COLUMN; ++c) {
                        const double rise =
                            cellBrightness(captured, r, c) - cellBrightness(off, r, c);
                        if (rise == 0) continue;
                        ++ghostCells;
                        if (rise < weakest) {
                            weakest = rise;
                            weakestAt = "picture " + std::to_string(picture) + ", piece " +
                                        std::to_string(type) + ", row " + std::to_string(r) +
                                        ", column " + std::to_string(c);
                        }
                    }
                }
                EXPECT_EQ(ghostCells, 4) << "picture " << picture << ", piece " << int{type};
            }
        }
    }
    EXPECT_GE(weakest, LEAST_RISE) << "the faintest ghost cell: " << weakestAt;
}
