#pragma once

#include <cstddef>
#include <iterator>

#include "platform/resource_ids.h"

class CSound;
class Random;

// The sound effects; Count is the number of them.
enum class SoundId { Hover, Click, LineClear, Rotate, FourLines, LevelUp, Count };

// One row per effect, in the order they are created: the effect, the resource it is named after
// ("#114" for 114) and its place in the order shutdown releases them.
struct SoundRow {
    SoundId id;
    int resourceId;
    int releaseRank;
};
constexpr SoundRow SOUND_TABLE[] = {
    {SoundId::Hover, HOVER_SOUND_ID, 2},          {SoundId::Click, CLICK_SOUND_ID, 0},
    {SoundId::LineClear, LINE_CLEAR_SOUND_ID, 1}, {SoundId::Rotate, ROTATE_SOUND_ID, 3},
    {SoundId::FourLines, FOUR_LINES_SOUND_ID, 4}, {SoundId::LevelUp, LEVEL_UP_SOUND_ID, 5},
};
constexpr int SOUND_COUNT = static_cast<int>(std::size(SOUND_TABLE));
static_assert(SOUND_COUNT == static_cast<int>(SoundId::Count), "one table row per sound");

// The sound manager over the platform's effects output (opened before this); always true.
// Without a device no sound is made and every PlayEffect does nothing.
bool InitSound();
// One effect by name ("#112" ...), or nullptr when there is no device or no such sound.
CSound* LoadSound(const char* name);
// Creates the effects in the table's order.
void LoadSounds();
// The one way to start an effect: does nothing while soundOn or soundVolume is 0. When all its
// buffers are playing, one is drawn from `random`: the generator of the game in play, else the
// program's.
void PlayEffect(SoundId id, Random& random);
bool SoundLoaded(SoundId id);
// Destroys the effects by their release rank and then the manager; the sound code is then back
// as it was at start-up.
void ShutdownSound();
