#pragma once

#include "music/sequencer.h"
#include "music/xm_module.h"

enum class EnvelopeKind { Volume, Panning };

// One tick of one of the channel's envelopes; called only while that envelope is on.
void StepEnvelope(ChannelState& channel, const Instrument& instrument, EnvelopeKind kind);

// Effect Lxx: moves the volume envelope to tick `tick` (only when the envelope is on).
void SetVolumeEnvelopePosition(ChannelState& channel, const Instrument& instrument, int tick);

// The restart of the envelopes, fadeout and auto-vibrato at an instrument number or a delayed
// note. The volume envelope value is left to the caller, which has its own rule for it.
void ResetInstrumentState(ChannelState& channel);

// After key off the fadeout volume falls by the instrument's fadeout every tick, to 0.
void ApplyFadeout(ChannelState& channel, const Instrument& instrument);
