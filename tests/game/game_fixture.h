#pragma once

#include <gtest/gtest.h>

#include "common/random.h"
#include "common/settings.h"
#include "game/game_state.h"
#include "game/gravity_and_levels.h"
#include "game/piece_control.h"
#include "game/rules_frame.h"
#include "platform/clock.h"
#include "platform/clock_testing.h"
#include "screens/play_screen.h"

// The rules' tests play the play screen's game, which is lent the program's generator, with the
// player's key timers.
inline GameState& game = ShownGame();

constexpr std::int64_t FRAME_MS = 20;

// A game's source in the rules' tests: the frame the test writes, readings of the manual
// platform clock, and the play settings of `settings` when the game begins.
class ScriptedSource : public GameSource {
public:
    FrameInput frame;

    PlaySettings Play() const override { return PlaySettingsOf(settings); }
    HeldKeys& Keys() override { return PlayerKeys(); }
    void BeginGame(Random&) override {}
    bool NextFrame(FrameInput& next) override {
        next = frame;
        return true;
    }
    void PausedFrame() override {}
    std::int64_t Now() override { return NowMs(); }
    void BeginRules(RulesPart, Random&) override {}
    void EndRules(Random&) override {}
    void EndGame(GameEnding, const GameState&) override {}
};
inline ScriptedSource scripted;

// A fresh run with the default settings, the manual clock, no action held and a fixed seed.
class GameTest : public ::testing::Test {
protected:
    void SetUp() override {
        UseManualClock(100000);
        scripted.frame = FrameInput{};
        SeedRandom(12345);
    }

    static void Hold(PlayAction action) { scripted.frame.actions.Set(action, true); }
    static void Release(PlayAction action) { scripted.frame.actions.Set(action, false); }
    static void ReleaseAll() { scripted.frame.actions = ActionRecord{}; }

    // A new game with the play settings of `settings`.
    static void NewGame() { BeginGame(game, scripted); }
    // An empty well with its floor and the given piece at the box position (x, y).
    static void EmptyWellWith(std::uint8_t type, std::uint8_t x, std::uint8_t y) {
        settings.garbageRows = 0;
        NewGame();
        Place(type, x, y);
    }
    static void Place(std::uint8_t type, std::uint8_t x, std::uint8_t y) {
        game.currentType = type;
        SetCurrentShape(game, type);
        game.pieceX = x;
        game.pieceY = y;
    }
    // Fills columns 2..11 of a row, leaving the listed columns empty.
    static void FillRow(int row, std::initializer_list<int> holes = {}) {
        for (int c = FIRST_PLAY_COLUMN; c <= LAST_PLAY_COLUMN; ++c) game.well[row][c] = 1;
        for (int c : holes) game.well[row][c] = 0;
    }

    // The rules' steps one at a time, with the actions held.
    static void Act() { HandleGameKeys(game, PlayerKeys(), scripted.frame, scripted); }
    static void Gravity() { ApplyGravity(game, scripted); }
    static LockResult Lock() { return TryLockPiece(game, PlayerKeys(), scripted.frame.actions); }

    // One whole frame of the rules from `source` with `actions`, then 20 ms pass.
    static LockResult Frame(ActionRecord actions, GameSource& source = scripted) {
        const FrameInput frame{actions};
        BeginRulesFrame(game, source, frame);
        const GameEvents events = EndRulesFrame(game, source, frame);
        AdvanceManualClock(FRAME_MS);
        if (Happened(events, GameEventKind::GameOver)) return LockResult::GameOver;
        return Happened(events, GameEventKind::Locked) ? LockResult::Locked : LockResult::Falling;
    }
};
