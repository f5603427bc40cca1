#include "sound/effects_output.h"

#include <cmath>
#include <cstring>

#include "common/little_endian.h"
#include "platform/audio.h"

namespace {

// The device whose buffers the output mixes; changed only under the output's lock.
EffectsDevice* currentDevice = nullptr;

void MixCurrentDevice(std::int32_t* accum, int frames) {
    if (currentDevice != nullptr) currentDevice->Mix(accum, frames);
}

constexpr double UNITY_GAIN = 65536.0;
constexpr double HUNDREDTHS_DB_PER_DECADE = 2000.0;

// Hundredths of a decibel of attenuation as a 16.16 amplitude factor: 10^(centiBels / 2000).
std::int32_t GainOf(std::int32_t attenuation) {
    return static_cast<std::int32_t>(
        std::lround(UNITY_GAIN * std::pow(10.0, attenuation / HUNDREDTHS_DB_PER_DECADE)));
}

// Unlocks the output when a scope ends.
struct AudioLock {
    AudioLock() { LockAudio(); }
    ~AudioLock() { UnlockAudio(); }
    AudioLock(const AudioLock&) = delete;
    AudioLock& operator=(const AudioLock&) = delete;
};

}  // namespace

bool PlayableFormat(const WavFormat& format) {
    return format.formatTag == WAVE_FORMAT_PCM && (format.channels == 1 || format.channels == 2) &&
           (format.bitsPerSample == 8 || format.bitsPerSample == 16) &&
           format.blockAlign == format.channels * format.bitsPerSample / 8 &&
           format.samplesPerSec >= static_cast<std::uint32_t>(DSBFREQUENCY_MIN) &&
           format.samplesPerSec <= static_cast<std::uint32_t>(DSBFREQUENCY_MAX);
}

SoundBuffer::SoundBuffer(EffectsDevice* owner, std::uint32_t creationFlags,
                         std::shared_ptr<Samples> sampleData)
    : device(owner), flags(creationFlags), samples(std::move(sampleData)) {
    if (samples) rate = samples->format.samplesPerSec;
    UpdateGains();
}

SoundBuffer::~SoundBuffer() {
    if (device != nullptr) device->Detach(this);
}

void SoundBuffer::UpdateGains() {
    const std::int32_t level = GainOf(volume);
    gainLeft = pan > 0 ? static_cast<std::int32_t>(
                             std::lround(level * std::pow(10.0, -pan / HUNDREDTHS_DB_PER_DECADE)))
                       : level;
    gainRight = pan < 0 ? static_cast<std::int32_t>(
                              std::lround(level * std::pow(10.0, pan / HUNDREDTHS_DB_PER_DECADE)))
                        : level;
}

HRESULT SoundBuffer::GetStatus(std::uint32_t* status) const {
    if (status == nullptr) return DSERR_INVALIDPARAM;
    AudioLock lock;
    *status = playing ? DSBSTATUS_PLAYING : 0;
    return S_OK;
}

HRESULT SoundBuffer::Restore() { return S_OK; }

HRESULT SoundBuffer::Lock(std::uint32_t offset, std::uint32_t bytes, std::uint8_t** memory,
                          std::uint32_t* lockedBytes) {
    if (memory == nullptr || lockedBytes == nullptr) return DSERR_INVALIDPARAM;
    if (!samples) return DSERR_INVALIDCALL;
    const std::uint64_t size = samples->bytes.size();
    if (offset >= size || bytes == 0 || offset + std::uint64_t{bytes} > size) {
        return DSERR_INVALIDPARAM;
    }
    LockAudio();
    *memory = samples->bytes.data() + offset;
    *lockedBytes = bytes;
    return S_OK;
}

HRESULT SoundBuffer::Unlock(std::uint8_t* memory, std::uint32_t lockedBytes) {
    if (!samples || memory < samples->bytes.data() ||
        memory + lockedBytes > samples->bytes.data() + samples->bytes.size()) {
        return DSERR_INVALIDPARAM;
    }
    UnlockAudio();
    return S_OK;
}

HRESULT SoundBuffer::SetVolume(std::int32_t newVolume) {
    if ((flags & DSBCAPS_CTRLVOLUME) == 0) return DSERR_CONTROLUNAVAIL;
    if (newVolume < DSBVOLUME_MIN || newVolume > DSBVOLUME_MAX) return DSERR_INVALIDPARAM;
    AudioLock lock;
    volume = newVolume;
    UpdateGains();
    return S_OK;
}

HRESULT SoundBuffer::SetFrequency(std::int32_t frequency) {
    if ((flags & DSBCAPS_CTRLFREQUENCY) == 0 || !samples) return DSERR_CONTROLUNAVAIL;
    if (frequency != DSBFREQUENCY_ORIGINAL &&
        (frequency < DSBFREQUENCY_MIN || frequency > DSBFREQUENCY_MAX)) {
        return DSERR_INVALIDPARAM;
    }
    AudioLock lock;
    rate = frequency == DSBFREQUENCY_ORIGINAL ? samples->format.samplesPerSec
                                              : static_cast<std::uint32_t>(frequency);
    return S_OK;
}

HRESULT SoundBuffer::SetPan(std::int32_t newPan) {
    if ((flags & DSBCAPS_CTRLPAN) == 0) return DSERR_CONTROLUNAVAIL;
    if (newPan < DSBPAN_LEFT || newPan > DSBPAN_RIGHT) return DSERR_INVALIDPARAM;
    AudioLock lock;
    pan = newPan;
    UpdateGains();
    return S_OK;
}

HRESULT SoundBuffer::Play(std::uint32_t reserved, std::uint32_t, std::uint32_t) {
    if (reserved != 0) return DSERR_INVALIDPARAM;
    if (!samples || device == nullptr) return DSERR_INVALIDCALL;
    AudioLock lock;
    if (!playing) {
        position = 0;
        playing = true;
    }
    return S_OK;
}

HRESULT SoundBuffer::SetFormat(const WavFormat& wanted) {
    if ((flags & DSBCAPS_PRIMARYBUFFER) == 0 || device == nullptr) return DSERR_INVALIDCALL;
    if (!PlayableFormat(wanted)) return DSERR_BADFORMAT;
    device->primaryFormat = wanted;
    return S_OK;
}

std::int32_t SoundBuffer::FrameSample(std::uint32_t frame, int channel) const {
    const WavFormat& format = samples->format;
    const int bytesPerSample = format.bitsPerSample / 8;
    const std::size_t at = std::size_t{frame} * format.blockAlign +
                           static_cast<std::size_t>(format.channels == 2 ? channel : 0) *
                               static_cast<std::size_t>(bytesPerSample);
    const std::uint8_t* p = samples->bytes.data() + at;
    if (bytesPerSample == 1) return (p[0] - 128) * 256;
    return static_cast<std::int16_t>(GetLe16(p));
}

// Linear interpolation from the buffer's rate to the device's; the buffer stops, back at its
// start, once its last frame has been mixed.
void SoundBuffer::MixInto(std::int32_t* accum, int frames) {
    if (!playing) return;
    const std::uint32_t frameCount =
        static_cast<std::uint32_t>(samples->bytes.size() / samples->format.blockAlign);
    const std::uint64_t step = (std::uint64_t{rate} << 32) / AUDIO_DEVICE_RATE;
    const std::int32_t gains[2] = {gainLeft, gainRight};
    for (int i = 0; i < frames; ++i) {
        const std::uint32_t frame = static_cast<std::uint32_t>(position >> 32);
        if (frame >= frameCount) break;
        const std::uint32_t next = frame + 1 < frameCount ? frame + 1 : frame;
        const std::int64_t fraction = static_cast<std::int64_t>((position >> 16) & 0xFFFF);
        for (int channel = 0; channel < 2; ++channel) {
            const std::int64_t s0 = FrameSample(frame, channel);
            const std::int64_t s1 = FrameSample(next, channel);
            const std::int64_t sample = s0 + (((s1 - s0) * fraction) >> 16);
            accum[2 * i + channel] += static_cast<std::int32_t>((sample * gains[channel]) >> 16);
        }
        position += step;
    }
    if ((position >> 32) >= frameCount) {
        playing = false;
        position = 0;
    }
}

HRESULT EffectsDevice::Create(std::unique_ptr<EffectsDevice>* device) {
    if (device == nullptr) return DSERR_INVALIDPARAM;
    if (!AudioOutputOpen()) return DSERR_NODRIVER;
    device->reset(new EffectsDevice());
    SetEffectsSource(&MixCurrentDevice);
    AudioLock lock;
    currentDevice = device->get();
    return S_OK;
}

EffectsDevice::~EffectsDevice() {
    AudioLock lock;
    for (SoundBuffer* buffer : buffers) buffer->device = nullptr;
    buffers.clear();
    if (currentDevice == this) currentDevice = nullptr;
}

HRESULT EffectsDevice::SetCooperativeLevel(std::uint32_t level) {
    return level == DSSCL_PRIORITY ? S_OK : DSERR_INVALIDPARAM;
}

HRESULT EffectsDevice::CreateSoundBuffer(const BufferDescription& description,
                                         std::unique_ptr<SoundBuffer>* buffer) {
    if (buffer == nullptr) return DSERR_INVALIDPARAM;
    std::shared_ptr<SoundBuffer::Samples> samples;
    if ((description.flags & DSBCAPS_PRIMARYBUFFER) != 0) {
        if (description.bufferBytes != 0 || description.format != nullptr) {
            return DSERR_INVALIDPARAM;
        }
    } else {
        if (description.format == nullptr) return DSERR_INVALIDPARAM;
        if (!PlayableFormat(*description.format)) return DSERR_BADFORMAT;
        if (description.bufferBytes < description.format->blockAlign ||
            description.bufferBytes > DSBSIZE_MAX) {
            return DSERR_INVALIDPARAM;
        }
        samples = std::make_shared<SoundBuffer::Samples>();
        samples->bytes.assign(description.bufferBytes,
                              description.format->bitsPerSample == 8 ? 128 : 0);
        samples->format = *description.format;
    }
    buffer->reset(new SoundBuffer(this, description.flags, std::move(samples)));
    Attach(buffer->get());
    return S_OK;
}

HRESULT EffectsDevice::DuplicateSoundBuffer(const SoundBuffer& original,
                                            std::unique_ptr<SoundBuffer>* duplicate) {
    if (duplicate == nullptr || !original.samples) return DSERR_INVALIDPARAM;
    duplicate->reset(new SoundBuffer(this, original.flags, original.samples));
    Attach(duplicate->get());
    return S_OK;
}

void EffectsDevice::Attach(SoundBuffer* buffer) {
    AudioLock lock;
    buffers.push_back(buffer);
}

void EffectsDevice::Detach(SoundBuffer* buffer) {
    AudioLock lock;
    std::erase(buffers, buffer);
}

void EffectsDevice::Mix(std::int32_t* accum, int frames) {
    for (SoundBuffer* buffer : buffers) buffer->MixInto(accum, frames);
}
