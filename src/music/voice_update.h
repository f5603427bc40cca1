#pragma once

#include "music/sequencer.h"
#include "music/xm_module.h"

// The instrument's auto-vibrato for this tick: adds to the channel's pitch offset.
void ApplyAutoVibrato(ChannelState& channel, const Instrument& instrument);

// The last step of every channel on every tick: turns the channel's period, volume and panning
// into its active voice's pitch step and volume targets, and starts the sample when the flags
// ask for it. `pair` is the first of the channel's two voices.
void UpdateVoice(ChannelState& channel, Voice* pair, Sample* sample, const Instrument& instrument);
