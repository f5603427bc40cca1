#pragma once

#include <gtest/gtest.h>

#include "app/settings.h"
#include "common/random.h"
#include "game/game_state.h"
#include "game/game_state_testing.h"
#include "game/gravity_and_levels.h"
#include "game/piece_control.h"
#include "game/rules_clock.h"
#include "platform/clock.h"
#include "platform/clock_testing.h"
#include "platform/keys.h"
#include "platform/keys_testing.h"
#include "screens/action_bindings.h"

constexpr std::int64_t FRAME_MS = 20;

// A fresh run with the default settings, the manual clock, scripted keys and a fixed seed.
class GameTest : public ::testing::Test {
protected:
    void SetUp() override {
        settings = Settings{};
        ResetGameStartupState();
        UseManualClock(100000);
        ScriptReleaseAllKeys();
        SeedRandom(12345);
        liveClock = CurrentRulesClock();
    }
    void TearDown() override {
        SetRulesClock(liveClock);
        StopInputScript();
        StopManualClock();
        settings = Settings{};
        ResetGameStartupState();
    }

    // An empty well with its floor and the given piece at the box position (x, y).
    static void EmptyWellWith(std::uint8_t type, std::uint8_t x, std::uint8_t y) {
        settings.garbageRows = 0;
        ResetGame();
        Place(type, x, y);
    }
    static void Place(std::uint8_t type, std::uint8_t x, std::uint8_t y) {
        game.currentType = type;
        SetCurrentShape(type);
        game.pieceX = x;
        game.pieceY = y;
    }
    // Fills columns 2..11 of a row, leaving the listed columns empty.
    static void FillRow(int row, std::initializer_list<int> holes = {}) {
        for (int c = FIRST_PLAY_COLUMN; c <= LAST_PLAY_COLUMN; ++c) game.well[row][c] = 1;
        for (int c : holes) game.well[row][c] = 0;
    }

    // The actions the play screen reads from the scripted keys.
    static ActionRecord Keys() { return ReadPlayActions(); }

    // The rules' part of one play frame: keys, gravity, then the lock, 20 ms apart.
    static LockResult Frame() { return Frame(Keys()); }
    static LockResult Frame(ActionRecord actions) {
        HandleGameKeys(actions);
        ApplyGravity();
        const LockResult result = TryLockPiece(actions);
        AdvanceManualClock(FRAME_MS);
        return result;
    }

private:
    RulesClockSource liveClock = nullptr;
};
