#pragma once

#include <array>
#include <cstdint>

#include "common/font_codes.h"
#include "common/settings.h"
#include "game/game_events.h"
#include "game/pieces.h"
#include "game/rules_clock.h"
#include "game/well.h"

constexpr std::uint32_t START_FALL_INTERVAL = 1030;  // ms at level 1
constexpr int NAME_LENGTH = 26;
constexpr std::uint8_t NO_ENTRY_ROW = 8;

// Auto-repeat of one held action: it acts at once, then every n frames while held, and a new
// press acts only once n frames have passed since it last acted.
struct KeyRepeat {
    std::uint8_t ready = 1;
    std::uint8_t counter = 0;
};

// The five repeating actions, in the order a frame treats them.
struct KeyRepeats {
    KeyRepeat turn;
    KeyRepeat turnOther;
    KeyRepeat shiftLeft;
    KeyRepeat shiftRight;
    KeyRepeat softDrop;
};

// What the one who holds the keys carries from game to game: the key timers and the hard-drop
// latch. A new game does not reset them; the rules step them in every frame.
struct HeldKeys {
    KeyRepeats repeats;
    std::uint8_t dropLatch = 0;  // 1 while the hard-drop key is held after a hard drop
};

class Random;

// One game: its well, pieces, counters, timers, events and name entry, and the generator it
// draws from. The rules take it as a parameter, so a process may hold several.
struct GameState {
    Well well{};
    std::uint8_t currentType = 0;  // 1..7
    std::uint8_t nextType = 0;     // 1..7
    PieceMask currentMask{};       // the falling piece as it is turned now
    PieceMask nextMask{};          // always in its entering orientation
    std::uint8_t pieceX = 0;       // well column of the box's column 0
    std::uint8_t pieceY = 0;       // well row of the box's row 0
    PieceMask underPiece{};        // well cells under the box while the piece is drawn
    std::uint8_t level = 0;
    std::uint8_t lines = 0;  // wraps after 255, and the level-up counts come round again
    std::uint32_t score = 0;
    PlaySettings play;               // as the game began
    std::uint32_t fallInterval = 0;  // gravity interval at level 1, ms
    std::int64_t lastFallTime = 0;   // the clock reading of the last downward step
    GameEvents events;               // what the rules recorded since it was last taken
    Random* random = nullptr;        // the generator its pieces and garbage are drawn from
    std::uint8_t gameOverEntry = 0;  // set at game over, cleared by the game-over screen
    std::uint8_t entryAllowed = 0;   // 1 until this game's score has been placed in the table
    std::uint8_t entryActive = 0;    // a name is being typed
    std::uint8_t entryRow = 0;       // table row being named, 0..7; NO_ENTRY_ROW when none
    std::uint8_t entryCursor = 0;    // characters typed so far, 0..26
    std::array<std::uint8_t, NAME_LENGTH> entryName{};  // in the font's code
};
// Starts a new game with `play`: the well with its floor and garbage rows drawn from the game's
// generator, the first two pieces, level, lines and score, the name entry, and the gravity timer
// from `clock`. Leaves the generator it names, gameOverEntry, the backgrounds and the high-score
// table alone.
void ResetGame(GameState& game, const PlaySettings& play, RulesClock& clock);
