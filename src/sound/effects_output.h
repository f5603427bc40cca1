#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "sound/results.h"
#include "sound/wav_reader.h"

// The sound device and its static buffers over the platform's effects output. Each buffer
// holds a whole sound and plays it once, at its own rate and volume, mixed with the others
// into the output as the device pulls it.

constexpr std::uint32_t DSBCAPS_PRIMARYBUFFER = 0x01;
constexpr std::uint32_t DSBCAPS_CTRLFREQUENCY = 0x20;
constexpr std::uint32_t DSBCAPS_CTRLPAN = 0x40;
constexpr std::uint32_t DSBCAPS_CTRLVOLUME = 0x80;
constexpr std::uint32_t DSBSTATUS_PLAYING = 0x01;
constexpr std::uint32_t DSBSTATUS_BUFFERLOST = 0x02;
constexpr std::uint32_t DSSCL_PRIORITY = 2;

// Volume and pan in hundredths of a decibel of attenuation.
constexpr std::int32_t DSBVOLUME_MIN = -10000;
constexpr std::int32_t DSBVOLUME_MAX = 0;
constexpr std::int32_t DSBPAN_LEFT = -10000;
constexpr std::int32_t DSBPAN_RIGHT = 10000;
constexpr std::int32_t DSBFREQUENCY_ORIGINAL = 0;
constexpr std::int32_t DSBFREQUENCY_MIN = 100;
constexpr std::int32_t DSBFREQUENCY_MAX = 200000;
// The largest static buffer: as much as the biggest replacement sound file can hold.
constexpr std::uint32_t DSBSIZE_MAX = MAX_WAV_FILE_BYTES;

// 16 zero bytes: the default 3-D algorithm.
struct Guid {
    std::uint8_t bytes[16] = {};
};
constexpr Guid GUID_NULL{};

struct BufferDescription {
    std::uint32_t flags = 0;
    std::uint32_t bufferBytes = 0;
    const WavFormat* format = nullptr;
    Guid algorithm3d = GUID_NULL;
};

class EffectsDevice;

// One static buffer. Duplicates share the sample data and play it independently.
class SoundBuffer {
public:
    ~SoundBuffer();
    SoundBuffer(const SoundBuffer&) = delete;
    SoundBuffer& operator=(const SoundBuffer&) = delete;

    HRESULT GetStatus(std::uint32_t* status) const;
    // Buffers of this output are never taken away, so a restore always succeeds at once.
    HRESULT Restore();
    // Opens the whole buffer for writing; the mixer keeps off it until Unlock.
    HRESULT Lock(std::uint32_t offset, std::uint32_t bytes, std::uint8_t** memory,
                 std::uint32_t* lockedBytes);
    HRESULT Unlock(std::uint8_t* memory, std::uint32_t lockedBytes);
    HRESULT SetVolume(std::int32_t volume);
    HRESULT SetFrequency(std::int32_t frequency);
    HRESULT SetPan(std::int32_t pan);
    // Plays once: an idle buffer from its start, a playing one goes on from where it is.
    HRESULT Play(std::uint32_t reserved, std::uint32_t priority, std::uint32_t flags);
    // The output format, for the primary buffer only.
    HRESULT SetFormat(const WavFormat& wanted);

private:
    friend class EffectsDevice;
    struct Samples {
        std::vector<std::uint8_t> bytes;
        WavFormat format;
    };
    SoundBuffer(EffectsDevice* owner, std::uint32_t creationFlags,
                std::shared_ptr<Samples> sampleData);
    void MixInto(std::int32_t* accum, int frames);
    std::int32_t FrameSample(std::uint32_t frame, int channel) const;

    EffectsDevice* device;
    const std::uint32_t flags;
    std::shared_ptr<Samples> samples;
    // Play state, shared with the mixer: changed only under the output's lock.
    bool playing = false;
    std::uint64_t position = 0;  // in source frames, 32.32 fixed point
    std::int32_t volume = DSBVOLUME_MAX;
    std::int32_t pan = 0;
    std::uint32_t rate = 0;
    std::int32_t gainLeft = 0;  // 16.16 fixed point
    std::int32_t gainRight = 0;

    void UpdateGains();
};

// The one sound device on the effects output. Exists only while the platform's audio output
// is open.
class EffectsDevice {
public:
    // Fails with DSERR_NODRIVER when there is no audio output.
    static HRESULT Create(std::unique_ptr<EffectsDevice>* device);
    ~EffectsDevice();
    EffectsDevice(const EffectsDevice&) = delete;
    EffectsDevice& operator=(const EffectsDevice&) = delete;

    HRESULT SetCooperativeLevel(std::uint32_t level);
    HRESULT CreateSoundBuffer(const BufferDescription& description,
                              std::unique_ptr<SoundBuffer>* buffer);
    HRESULT DuplicateSoundBuffer(const SoundBuffer& original,
                                 std::unique_ptr<SoundBuffer>* duplicate);
    const WavFormat& PrimaryFormat() const { return primaryFormat; }

    // Adds every playing buffer into the device-rate stereo accumulator.
    void Mix(std::int32_t* accum, int frames);

private:
    friend class SoundBuffer;
    EffectsDevice() = default;
    void Attach(SoundBuffer* buffer);
    void Detach(SoundBuffer* buffer);

    std::vector<SoundBuffer*> buffers;
    WavFormat primaryFormat;
};

// True when a format can be played by a buffer: PCM, mono or stereo, 8 or 16 bits, a rate the
// output can resample, and a block alignment that matches.
bool PlayableFormat(const WavFormat& format);
