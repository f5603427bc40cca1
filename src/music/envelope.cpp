#include "music/envelope.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr std::int32_t ENVELOPE_MAX_VALUE = 64;
constexpr std::int32_t FIXED_ONE = 65536;  // 1.0 in 16.16

struct EnvelopeView {
    const Envelope& envelope;
    int count;  // points in use: the file may claim more than there is room for

    explicit EnvelopeView(const Envelope& e)
        : envelope(e), count(std::min<int>(e.pointCount, ENVELOPE_POINTS)) {}
    std::int32_t X(int i) const { return envelope.points[i].tick; }
    // A point's value beyond the envelope's range would overflow the 16.16 arithmetic.
    std::int32_t Y(int i) const {
        return std::min<std::int32_t>(envelope.points[i].value, ENVELOPE_MAX_VALUE);
    }
    std::int32_t Slope(int from) const {
        const std::int32_t dx = X(from + 1) - X(from);
        if (dx == 0) return 0;
        return (Y(from + 1) - Y(from)) * FIXED_ONE / dx;
    }
};

void CountTick(EnvelopeState& state) {
    if (state.tick < INT32_MAX) ++state.tick;
}

}  // namespace

void StepEnvelope(ChannelState& channel, const Instrument& instrument, EnvelopeKind kind) {
    const bool volume = kind == EnvelopeKind::Volume;
    const EnvelopeView env(volume ? instrument.volumeEnvelope : instrument.panningEnvelope);
    EnvelopeState& state = volume ? channel.volumeEnvelope : channel.panningEnvelope;
    channel.flags |= volume ? CHANNEL_VOLUME : CHANNEL_PANNING;
    if (state.ended) return;
    const int n = env.count;
    int k = state.nextPoint;
    if (k < 0 || k >= n) {
        CountTick(state);
        state.value = state.fixedValue >> 16;
        return;
    }
    // Points out of order would leave the counter running past its target for ever; such a
    // point counts as reached.
    if (state.tick < env.X(k)) {
        state.fixedValue += state.slope;
        CountTick(state);
        state.value = state.fixedValue >> 16;
        return;
    }
    const std::uint8_t type = env.envelope.type;
    if ((type & ENVELOPE_LOOP) && k == env.envelope.loopEndPoint &&
        env.envelope.loopStartPoint < n) {
        k = env.envelope.loopStartPoint;
        state.tick = env.X(k);
    }
    state.nextPoint = k;
    state.value = env.Y(k);
    if (k == n - 1) {
        state.ended = 1;
        return;
    }
    if ((type & ENVELOPE_SUSTAIN) && k == env.envelope.sustainPoint && !channel.keyOff) return;
    state.nextPoint = k + 1;
    state.fixedValue = env.Y(k) * FIXED_ONE;
    state.slope = env.Slope(k);
    CountTick(state);
    state.value = state.fixedValue >> 16;
}

void SetVolumeEnvelopePosition(ChannelState& channel, const Instrument& instrument, int tick) {
    if (!(instrument.volumeEnvelope.type & ENVELOPE_ON)) return;
    const EnvelopeView env(instrument.volumeEnvelope);
    EnvelopeState& state = channel.volumeEnvelope;
    const int n = env.count;
    int j = 1;
    while (j < n && env.X(j) < tick) ++j;
    const int k = j - 1;
    state.ended = k >= n - 1;
    if (state.ended) {
        state.value = n > 0 ? env.Y(n - 1) : 0;
        return;
    }
    state.tick = tick;
    state.slope = env.Slope(k);
    // Between its two points the value stays in range; a position before the first point
    // would extrapolate, so the result is kept within the envelope's range.
    const std::int64_t fixed =
        static_cast<std::int64_t>(tick - env.X(k)) * state.slope + env.Y(k) * FIXED_ONE;
    state.fixedValue = static_cast<std::int32_t>(
        std::clamp<std::int64_t>(fixed, 0, ENVELOPE_MAX_VALUE * FIXED_ONE));
    state.value = state.fixedValue >> 16;
    state.nextPoint = k + 1;
}

void ResetInstrumentState(ChannelState& channel) {
    for (EnvelopeState* state : {&channel.volumeEnvelope, &channel.panningEnvelope}) {
        state->tick = 0;
        state->nextPoint = 0;
        state->slope = 0;
        state->ended = 0;
    }
    channel.panningEnvelope.value = MIDDLE_ENVELOPE_PANNING;
    channel.autoVibratoSweep = 0;
    channel.autoVibratoPosition = 0;
    channel.keyOff = 0;
    channel.fadeoutVolume = FULL_FADEOUT_VOLUME;
}

void ApplyFadeout(ChannelState& channel, const Instrument& instrument) {
    channel.fadeoutVolume = std::max(channel.fadeoutVolume - instrument.fadeout, 0);
}
