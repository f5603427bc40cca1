#pragma once

#include <cstdint>
#include <memory>

#include "sound/effects_output.h"
#include "sound/results.h"
#include "sound/wav_reader.h"

class Random;

class CSound;

// The sound manager: owns the sound device and makes the sounds that play on it.
class CSoundSystem {
public:
    CSoundSystem() = default;
    ~CSoundSystem();
    CSoundSystem(const CSoundSystem&) = delete;
    CSoundSystem& operator=(const CSoundSystem&) = delete;

    HRESULT Initialize(std::uint32_t cooperativeLevel);
    HRESULT SetPrimaryFormat(std::uint32_t channels, std::uint32_t samplesPerSec,
                             std::uint32_t bitsPerSample);
    // The sound of that name (see CWavReader::Open) in count buffers that can play it at once.
    HRESULT CreateSound(CSound** sound, const char* name, std::uint32_t creationFlags,
                        const Guid& algorithm3d, std::uint32_t bufferCount);

private:
    std::unique_ptr<EffectsDevice> device;
};

// One effect: its whole sample data in static buffers, filled once from its reader, which
// stays open to refill a buffer whose contents the platform has taken.
class CSound {
public:
    CSound(std::unique_ptr<std::unique_ptr<SoundBuffer>[]> soundBuffers, std::uint32_t count,
           std::uint32_t bytes, std::unique_ptr<CWavReader> wavReader, std::uint32_t flags);
    virtual ~CSound();
    CSound(const CSound&) = delete;
    CSound& operator=(const CSound&) = delete;

    // When every buffer is playing, one is drawn from `random`: the generator of the game in
    // play, whoever asks.
    HRESULT Play(std::uint32_t priority, std::uint32_t flags, std::int32_t volume,
                 std::int32_t frequency, std::int32_t pan, Random& random);

private:
    SoundBuffer* PickBuffer(Random& random);
    HRESULT RestoreBuffer(SoundBuffer* buffer, bool* wasRestored);
    HRESULT FillBuffer(SoundBuffer* buffer);

    std::unique_ptr<std::unique_ptr<SoundBuffer>[]> buffers;
    std::uint32_t bufferBytes;
    std::unique_ptr<CWavReader> reader;
    std::uint32_t bufferCount;
    std::uint32_t creationFlags;
};

// Leave the buffer's frequency as it is.
constexpr std::int32_t KEEP_FREQUENCY = -1;
// Waited between attempts to get back a buffer the platform has taken.
constexpr std::int64_t RESTORE_RETRY_MS = 10;
