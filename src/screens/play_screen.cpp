#include "screens/play_screen.h"

#include <utility>

#include "common/bindings.h"
#include "common/font_codes.h"
#include "common/random.h"
#include "common/settings.h"
#include "cpu_player/cpu_player.h"
#include "game/game_state.h"
#include "game/piece_control.h"
#include "game/rules_frame.h"
#include "gfx/back_buffer.h"
#include "gfx/fade.h"
#include "gfx/panel.h"
#include "music/player.h"
#include "platform/clock.h"
#include "platform/resource_ids.h"
#include "replays/live_game.h"
#include "screens/action_bindings.h"
#include "screens/high_scores.h"
#include "screens/navigation.h"
#include "screens/navigation_testing.h"
#include "sound/sound.h"

namespace {

// Fades between level pictures step at most once every 16 ms.
constexpr std::uint32_t PLAY_FADE_INTERVAL = 16;
constexpr int TILE_SIZE = 32;
// From 20 to 90 lines each level-up fades to its own picture; at 10 the one named at game start
// comes in, and at 100 and 110 the picture the previous fade left behind.
constexpr int FIRST_NAMED_BACKGROUND_LINES = 20;
constexpr int LAST_NAMED_BACKGROUND_LINES = 90;
constexpr int LINES_PER_LEVEL = 10;
constexpr std::uint8_t MOST_ROWS_FOR_LINE_CLEAR = 3;
constexpr std::uint8_t FOUR_ROWS = 4;

constexpr auto LEVEL_CAPTION = FontLabel("LEVEL     ");
constexpr auto LINES_CAPTION = FontLabel("LINES     ");
constexpr auto SCORE_CAPTION = FontLabel("SCORE");
constexpr auto NEXT_CAPTION = FontLabel("NEXT");
static_assert(LEVEL_CAPTION.size() == 10 && LINES_CAPTION.size() == 10);
static_assert(SCORE_CAPTION.size() == 5 && NEXT_CAPTION.size() == 4);

// The player at the devices: the actions the bindings make of the keys and controllers.
class DevicePlayer final : public Player {
public:
    ActionRecord NextActions() override { return ReadPlayActions(); }
};

// The CPU player at play, with the player's own way out: what they bound to abandon still
// leaves the game.
class AutoPlayer final : public Player {
public:
    explicit AutoPlayer(const GameState& game) : cpu_(game, settings.rotateReversed) {}
    ActionRecord NextActions() override {
        ActionRecord actions = cpu_.NextActions();
        actions.Set(PlayAction::Abandon, ReadPlayActions().Held(PlayAction::Abandon));
        return actions;
    }

private:
    CpuGamePlayer cpu_;
};

bool LeaveAbandonedGame();
void OpenScoreEntry();

// A game played now: Escape leaves it for the menu, and its score may take a place in the table.
constexpr GameExits LIVE_GAME_EXITS{.abandoned = LeaveAbandonedGame,
                                    .gameOverShown = OpenScoreEntry};

// The game on the screen, where it goes when it ends, and the recording of the last game played
// now. Until the first game begins, the player's, recording nothing yet. The game is lent the
// program's generator: the pieces, the sounds' draws and the menu's between games come from it
// in one sequence.
struct ScreenGame {
    GameState game = LentProgramRandom();
    DevicePlayer devices;
    AutoPlayer cpu{game};
    bool autoplay = false;  // the CPU player plays the games begun here
    std::optional<RecordedGame> finished;
    std::unique_ptr<GameSource> source = FirstSource();
    GameExits exits = LIVE_GAME_EXITS;

    std::unique_ptr<GameSource> FirstSource() {
        return std::make_unique<LiveGame>(devices, NowMs, PlaySettingsOf(Settings{}), finished);
    }
    static GameState LentProgramRandom() {
        GameState lent;
        lent.random = &ProgramRandom();
        return lent;
    }
};
ScreenGame shown;

SpriteRect TileRect(std::uint8_t value) {
    const int left = TILE_SIZE * value;
    return {left, 0, left + TILE_SIZE, TILE_SIZE};
}

void DrawTile(std::uint8_t value, int x, int y, Texture* tiles = textures.SpriteSheet) {
    const SpriteRect tile = TileRect(value);
    DrawSprite(tiles, &tile, static_cast<float>(x), static_cast<float>(y));
}

void DrawPanels() {
    DrawPanel(352, 32, PANEL_TEXTURE_WIDTH, PANEL_TEXTURE_HEIGHT);
    DrawPanel(32, 32, 228, 151);
    DrawPanel(80, 560, 150, 160);
}

void DrawCaptions() {
    DrawText(LEVEL_CAPTION.data(), LEVEL_CAPTION.size(), 38, 34);
    DrawText(LINES_CAPTION.data(), LINES_CAPTION.size(), 38, 75);
    DrawText(SCORE_CAPTION.data(), SCORE_CAPTION.size(), 38, 151);
    DrawText(NEXT_CAPTION.data(), NEXT_CAPTION.size(), 125, 575);
}

void DrawCounters() {
    const GameState& game = shown.game;
    DrawNumber(game.level, 160, 34);
    DrawNumber(game.lines, 160, 75);
    DrawNumber(game.score, 160, 150);
}

// The falling piece is drawn in its cells as if it had locked; the well is left as it was.
void DrawWellWithPiece() {
    SaveUnderPiece(shown.game);
    StampPiece(shown.game);
    DrawWell();
    RestoreUnderPiece(shown.game);
}

// Where the falling piece would land, in the empty cells the piece itself does not cover, so it
// lies under the piece and never hides it.
void DrawGhostPiece() {
    const GameState& game = shown.game;
    const int distance = DropDistance(game.well, game.currentMask, game.pieceX, game.pieceY);
    if (distance == NO_DROP || distance == 0) return;
    ForEachBlock(game.currentMask, [&](int r, int c, std::uint8_t value) {
        const int row = game.pieceY + r + distance;
        const int column = game.pieceX + c;
        const int pieceRow = row - game.pieceY;
        if (row < FIRST_VISIBLE_ROW || row > LAST_VISIBLE_ROW) return;
        if (pieceRow >= 0 && pieceRow < MASK_SIZE && game.currentMask[pieceRow][c] != 0) return;
        DrawTile(value, TILE_SIZE * column + 288, TILE_SIZE * row, textures.GhostTiles);
    });
}

void ShowLevelReached(std::uint8_t lines) {
    if (lines >= FIRST_NAMED_BACKGROUND_LINES && lines <= LAST_NAMED_BACKGROUND_LINES) {
        ChangeBackgrounds(
            {.next = textures.LevelBackground[lines / LINES_PER_LEVEL], .fade = true});
    } else {
        ChangeBackgrounds({.fade = true});
    }
    PlayEffect(SoundId::LevelUp, *shown.game.random);
}

void DrawPlayScreenTop() {
    DrawBackground(PLAY_FADE_INTERVAL);
    BeginSprites();
    DrawPanels();
    DrawCaptions();
    DrawCounters();
    DrawNextPiece();
    const auto caption = shown.exits.caption;
    if (!caption.empty())
        DrawText(caption.data(), static_cast<std::uint8_t>(caption.size()), 38, 113);
    if (shown.exits.drawOver != nullptr) shown.exits.drawOver();
}

void ShowRowsRemoved(std::uint8_t rows) {
    if (rows >= 1 && rows <= MOST_ROWS_FOR_LINE_CLEAR)
        PlayEffect(SoundId::LineClear, *shown.game.random);
    if (rows == FOUR_ROWS) PlayEffect(SoundId::FourLines, *shown.game.random);
}

// Escape leaves the player's game for the main menu at once; the rest of the frame then shows
// the fresh game, as it always has.
bool LeaveAbandonedGame() {
    ReturnToMenuAfterGame();
    return true;
}

// After the game-over screen the player's score may take its place in the table.
void OpenScoreEntry() {
    fromMenu = 0;
    ChangeScreen(
        HighScores,
        {.shown = textures.BlackScreen, .next = textures.HighScoresBackground, .fade = true});
}

void RunPlayFrame(const FrameInput& frame) {
    DrawPlayScreenTop();
    const GameEvents actions = BeginRulesFrame(shown.game, *shown.source, frame);
    if (!ReactToGameEvents(actions)) {
        EndSprites();
        return;
    }
    DrawWellWithPiece();
    if (bindings.ghostPiece) DrawGhostPiece();
    EndSprites();
    // An abandoned game's frame ends with the picture of the fresh one; its rules begin with the
    // next frame.
    if (Happened(actions, GameEventKind::Abandoned)) return;
    ReactToGameEvents(EndRulesFrame(shown.game, *shown.source, frame));
}

}  // namespace

void DrawWell() {
    const GameState& game = shown.game;
    for (int r = FIRST_VISIBLE_ROW; r <= LAST_VISIBLE_ROW; ++r) {
        for (int c = FIRST_PLAY_COLUMN; c <= LAST_PLAY_COLUMN; ++c) {
            DrawTile(game.well[r][c], TILE_SIZE * c + 288, TILE_SIZE * r);
        }
    }
}

void DrawNextPiece() {
    const GameState& game = shown.game;
    for (int r = 0; r < MASK_SIZE; ++r) {
        for (int c = 0; c < MASK_SIZE; ++c) {
            const std::uint8_t value = game.nextMask[r][c];
            // The three-wide shapes stand centred in the four-cell box.
            const int shift = (value >= 2 && value <= 6) ? TILE_SIZE / 2 : 0;
            DrawTile(value, 90 + TILE_SIZE * c + shift, 600 + TILE_SIZE * r);
        }
    }
}

void PlayFrame() { RunGameFrame(); }

bool RunGameFrame() {
    FrameInput frame;
    if (!shown.source->NextFrame(frame)) return false;
    if (frame.paused) {
        DrawPlayScreenStill();
    } else {
        RunPlayFrame(frame);
    }
    return true;
}

void PausedPlayFrame() { shown.source->PausedFrame(); }

void DrawPlayScreenStill() {
    DrawPlayScreenTop();
    DrawWellWithPiece();
    EndSprites();
}

bool ReactToGameEvents(const GameEvents& taken) {
    for (int i = 0; i < taken.count; ++i) {
        const GameEvent& event = taken.events[static_cast<std::size_t>(i)];
        switch (event.kind) {
            case GameEventKind::Turned:
                PlayEffect(SoundId::Rotate, *shown.game.random);
                break;
            case GameEventKind::Locked:
                PlayEffect(SoundId::Click, *shown.game.random);
                break;
            case GameEventKind::RowsRemoved:
                ShowRowsRemoved(event.value);
                break;
            case GameEventKind::LevelReached:
                ShowLevelReached(event.value);
                break;
            case GameEventKind::GameOver:
                shown.source->EndGame(GameEnding::GameOver, shown.game);
                if (shown.exits.gameOver != nullptr) {
                    shown.exits.gameOver();
                } else {
                    RunGameOverTransition();
                }
                break;
            case GameEventKind::Abandoned:
                shown.source->EndGame(GameEnding::Abandoned, shown.game);
                // Nothing follows the abandon in a frame's events.
                return shown.exits.abandoned();
        }
    }
    return true;
}

void BeginScreenGame(std::unique_ptr<GameSource> source, const GameExits& exits) {
    shown.source = std::move(source);
    shown.exits = exits;
    BeginGame(shown.game, *shown.source);
    fade.LastFadeStep = NowMs();
}

void BeginLiveGame(Player& player) {
    BeginScreenGame(
        std::make_unique<LiveGame>(player, NowMs, PlaySettingsOf(settings), shown.finished),
        LIVE_GAME_EXITS);
}

void BeginNewGame() {
    BeginLiveGame(shown.autoplay ? static_cast<Player&>(shown.cpu) : shown.devices);
}

BackgroundChange FirstLevelPictures() {
    return {.shown = textures.LevelBackground[0], .next = textures.LevelBackground[1]};
}

void PlayEveryGameWithCpu() { shown.autoplay = true; }

GameState& ShownGame() { return shown.game; }

HeldKeys& PlayerKeys() {
    return (shown.autoplay ? static_cast<Player&>(shown.cpu) : shown.devices).Keys();
}

void ResetPlayScreen() {
    shown.game = ScreenGame::LentProgramRandom();
    shown.devices.Keys() = HeldKeys{};
    shown.cpu.Keys() = HeldKeys{};
    shown.autoplay = false;
    shown.finished.reset();
    shown.source = shown.FirstSource();
    shown.exits = LIVE_GAME_EXITS;
}

std::optional<RecordedGame> TakeFinishedReplay() {
    return std::exchange(shown.finished, std::nullopt);
}

void EndGameAtShutdown() { shown.source->EndGame(GameEnding::Unfinished, shown.game); }

void LeaveGameOver() { shown.exits.gameOverShown(); }

void RunGameOverTransition() {
    BeginSprites();
    DrawWell();
    EndSprites();
    PresentFrame();
    CopyBackBufferToSnapshot();
    PlayModule(MusicResource(GAME_OVER_SONG_ID), 0, 0);
    shown.game.gameOverEntry = 1;
    ChangeScreen(GameOver, {.fade = true});
}

void ReturnToMenuAfterGame() {
    PlayModule(MusicResource(TITLE_SONG_ID), 0, 0);
    BeginNewGame();
    ChangeScreen(MainMenu,
                 {.shown = textures.BlackScreen, .next = textures.MenuBackground, .fade = true});
}
