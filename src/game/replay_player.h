#pragma once

#include <cstdint>
#include <string>

#include "game/replay.h"
#include "game/replay_recorder.h"

// Plays a recorded game back through the rules: the play settings and the generator as the
// game began, then frame by frame the actions, the clock readings and the other draws as they
// were. The play settings of the player are put back when the playback stops.

// Takes the replay (kept until StopPlayback) and sets up its start; the new game comes next.
void StartPlayback(const Replay& replay);
bool IsPlayingBack();

// The next recorded frame: false when the record has no more. Sets the turning direction the
// frame had.
bool NextPlaybackFrame(ReplayFrame& frame);
// The frame the playback is at: 0 is the new game.
std::uint32_t PlaybackFrameIndex();
std::uint32_t PlaybackFrameCount();

// The next recorded clock reading of the frame. When the rules ask for one the frame does not
// have, the replay has come apart from the rules: the last reading is given again, and
// PlaybackProblem says where.
std::int64_t NextPlaybackReading();
// Around each part of the rules: before it the generator is set to where the recorded game's
// had been taken, whatever was drawn while the replay played (its own sounds).
void PlaybackRulesBegin(RulesPart part);
void PlaybackRulesEnd();

// Empty while the replay follows its record; else, once, what went apart and at which frame.
const std::string& PlaybackProblem();
// The game has ended as `ending`: true when the record ends there too, in the same well,
// score, lines and level; else PlaybackProblem says how it differs.
bool CheckPlaybackEnd(ReplayEnding ending);

// Ends the playback and puts back the player's play settings.
void StopPlayback();
