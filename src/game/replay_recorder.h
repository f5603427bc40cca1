#pragma once

#include <cstdint>
#include <optional>

#include "game/replay.h"

// Records the game in progress as a Replay, from the new game to its end. The play screen
// tells it where a frame starts and where the rules run; the rules' clock hands it each reading.

// The rules run a frame in two parts: the player's actions, then gravity and the lock. Between
// and after them others (the sounds) may draw from the shared generator.
enum class RulesPart : std::uint8_t { Actions, Rest };

// At a new game, before it draws its pieces: the generator's state and the play settings.
void StartRecording();
// Each frame of the play screen, before its rules, paused frames too.
void RecordFrame(std::uint8_t actions, bool paused);
// Each clock reading the rules take.
void RecordReading(std::int64_t now);
// Around each part of the rules (the new game's ResetGame counts as a part of frame 0).
void RecordRulesBegin(RulesPart part);
void RecordRulesEnd();
// The game is over or abandoned (or the program ends in it): the replay gets its ending and the
// final counters and well, and waits to be taken. A game that played no frame, or broke a
// replay's limits (more than three hours), leaves nothing.
void FinishRecording(ReplayEnding ending);
// The game finished since the last call, once.
std::optional<Replay> TakeFinishedReplay();
bool IsRecording();

// Forgets any game being recorded (tests, and a replay that starts while a game is recorded).
void StopRecording();

// What a new game keeps from the last one (the key repeats and the hard drop's latch), in a
// replay's start, and back.
void TakeCarriedState(ReplayStart& start);
void PutCarriedState(const ReplayStart& start);

// The fingerprint of a well that a replay's end is checked against.
std::uint64_t WellHash();
// How the game stands now, as a replay's end records it.
ReplayResult CurrentResult(ReplayEnding ending);
