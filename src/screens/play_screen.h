#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>

#include "game/game_events.h"
#include "game/game_source.h"
#include "gfx/fade.h"
#include "replays/replay.h"

// The play screen shows one game at a time, run frame by frame from the source it began with:
// the player at the devices, recorded as they play, or a recording being watched.

// Where a game on the play screen goes when it ends, chosen with its source.
struct GameExits {
    // After the abandon (Escape), once the source has been told. True when the frame goes on
    // with a new game that began in it.
    bool (*abandoned)() = nullptr;
    // Once the game-over screen has faded out.
    void (*gameOverShown)() = nullptr;
    // At the game over, instead of the game-over screen, when given.
    void (*gameOver)() = nullptr;
    // Words in the font's code that stand in the counters' panel ("DEMO"), when given.
    std::span<const std::uint8_t> caption{};
    // Drawn over the screen's panels in every frame of the game (the watch screen's own panel).
    void (*drawOver)() = nullptr;
};

// A new game from `source`, shown on the play screen and left by `exits`. The background fade's
// timer starts with it.
void BeginScreenGame(std::unique_ptr<GameSource> source, const GameExits& exits);
// A new game played now by `player` with the play settings chosen in the options, recorded as it
// goes: Escape leaves it for the main menu, and after the game-over screen its score may take its
// place in the table.
void BeginLiveGame(Player& player);
// The same for the player at the devices; with autoplay on, for the CPU player instead, recorded
// and placed all the same.
void BeginNewGame();
// The pictures every game begins with, whatever its start level: the first level's, with the
// second's next.
BackgroundChange FirstLevelPictures();
// plemby --autoplay: the CPU player plays every game from now on. Escape (or what the player
// bound to abandon) still leaves a game.
void PlayEveryGameWithCpu();
// The game the play screen shows: the one played, watched or shown by the demo, or the last one.
// Its name entry is the high-score screen's.
GameState& ShownGame();
// The key timers and latch of the one who plays the games begun here (the player at the devices,
// or the CPU player with autoplay on).
HeldKeys& PlayerKeys();
// The recording of the game played now that has ended since the last call, once.
std::optional<RecordedGame> TakeFinishedReplay();

// The Play screen's frame: one frame of the game in progress.
void PlayFrame();
// One frame of the game from its source: background, panels, counters and the next piece drawn
// from the state before this frame's input, then the actions and gravity, the well with the
// falling piece, and the lock of a resting piece, which may end the game; a paused frame of a
// recording shows the screen as it stands. False, with nothing drawn, when the source has no
// more frames.
bool RunGameFrame();
// A frame the player has paused: the play screen is not drawn, and the source is told.
void PausedPlayFrame();
// The play screen as it stands, without running the rules.
void DrawPlayScreenStill();

// Inside an open sprite batch: the visible well (rows 1..20, columns 2..11) and the next piece
// in its box.
void DrawWell();
void DrawNextPiece();

// The end of a game: shows the final well, keeps it as the game-over picture, starts the
// game-over music and hands over to the GameOver screen. Score, level and lines stay.
void RunGameOverTransition();
// The game-over screen has faded out: on to where the game's exits lead.
void LeaveGameOver();

// Turns what the rules recorded into sounds, backgrounds and screen changes, in the order it
// happened: the turn, lock, line and level-up sounds, the level-up fades, the game-over
// transition and the abandon. False when the game was abandoned and the frame ends there.
bool ReactToGameEvents(const GameEvents& events);

// The program ends during a game: its source is told it ended unfinished.
void EndGameAtShutdown();

// The way back from a game to the main menu, after Escape or after the high-score screen: a new
// game begins, the title music starts again and the menu fades in from black.
void ReturnToMenuAfterGame();
