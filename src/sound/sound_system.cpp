#include "sound/sound_system.h"

#include <cstring>

#include "common/random.h"
#include "platform/clock.h"

CSoundSystem::~CSoundSystem() = default;

HRESULT CSoundSystem::Initialize(std::uint32_t cooperativeLevel) {
    device.reset();
    if (const HRESULT hr = EffectsDevice::Create(&device); Failed(hr)) return hr;
    if (const HRESULT hr = device->SetCooperativeLevel(cooperativeLevel); Failed(hr)) return hr;
    return S_OK;
}

HRESULT CSoundSystem::SetPrimaryFormat(std::uint32_t channels, std::uint32_t samplesPerSec,
                                       std::uint32_t bitsPerSample) {
    if (!device) return CO_E_NOTINITIALIZED;
    std::unique_ptr<SoundBuffer> primary;
    BufferDescription description;
    description.flags = DSBCAPS_PRIMARYBUFFER;
    if (const HRESULT hr = device->CreateSoundBuffer(description, &primary); Failed(hr)) {
        return hr;
    }
    WavFormat format;
    format.formatTag = WAVE_FORMAT_PCM;
    format.channels = static_cast<std::uint16_t>(channels);
    format.samplesPerSec = samplesPerSec;
    format.bitsPerSample = static_cast<std::uint16_t>(bitsPerSample);
    format.blockAlign = static_cast<std::uint16_t>(channels * (bitsPerSample / 8));
    format.avgBytesPerSec = samplesPerSec * format.blockAlign;
    return primary->SetFormat(format);
}

HRESULT CSoundSystem::CreateSound(CSound** sound, const char* name, std::uint32_t creationFlags,
                                  const Guid& algorithm3d, std::uint32_t bufferCount) {
    if (!device) return CO_E_NOTINITIALIZED;
    if (name == nullptr || sound == nullptr || bufferCount < 1) return E_INVALIDARG;

    auto soundBuffers = std::make_unique<std::unique_ptr<SoundBuffer>[]>(bufferCount);
    auto reader = std::make_unique<CWavReader>();
    reader->Open(name);
    if (reader->GetSize() == 0) return E_FAIL;

    BufferDescription description;
    description.flags = creationFlags;
    description.bufferBytes = reader->GetSize();
    description.format = reader->GetFormat();
    description.algorithm3d = algorithm3d;
    if (const HRESULT hr = device->CreateSoundBuffer(description, &soundBuffers[0]); Failed(hr)) {
        return hr;
    }
    for (std::uint32_t i = 1; i < bufferCount; ++i) {
        if (const HRESULT hr = device->DuplicateSoundBuffer(*soundBuffers[0], &soundBuffers[i]);
            Failed(hr)) {
            return hr;
        }
    }
    *sound = new CSound(std::move(soundBuffers), bufferCount, description.bufferBytes,
                        std::move(reader), creationFlags);
    return S_OK;
}

CSound::CSound(std::unique_ptr<std::unique_ptr<SoundBuffer>[]> soundBuffers, std::uint32_t count,
               std::uint32_t bytes, std::unique_ptr<CWavReader> wavReader, std::uint32_t flags)
    : buffers(std::move(soundBuffers)),
      bufferBytes(bytes),
      reader(std::move(wavReader)),
      bufferCount(count),
      creationFlags(flags) {
    // A sound whose first fill fails still exists; it plays whatever the buffer holds.
    if (buffers[0]) FillBuffer(buffers[0].get());
}

CSound::~CSound() {
    for (std::uint32_t i = 0; i < bufferCount; ++i) buffers[i].reset();
    buffers.reset();
    if (reader) reader->Close();
}

HRESULT CSound::Play(std::uint32_t priority, std::uint32_t flags, std::int32_t volume,
                     std::int32_t frequency, std::int32_t pan, Random& random) {
    if (!buffers) return CO_E_NOTINITIALIZED;
    SoundBuffer* buffer = PickBuffer(random);
    if (buffer == nullptr) return E_FAIL;

    bool wasRestored = false;
    if (const HRESULT hr = RestoreBuffer(buffer, &wasRestored); Failed(hr)) return hr;
    if (wasRestored) {
        if (const HRESULT hr = FillBuffer(buffer); Failed(hr)) return hr;
    }
    if ((creationFlags & DSBCAPS_CTRLVOLUME) != 0) buffer->SetVolume(volume);
    if (frequency != KEEP_FREQUENCY && (creationFlags & DSBCAPS_CTRLFREQUENCY) != 0) {
        buffer->SetFrequency(frequency);
    }
    if ((creationFlags & DSBCAPS_CTRLPAN) != 0) buffer->SetPan(pan);
    return buffer->Play(0, priority, flags);
}

// The first idle buffer; when every one is playing, one drawn from the game's generator.
SoundBuffer* CSound::PickBuffer(Random& random) {
    if (!buffers) return nullptr;
    for (std::uint32_t i = 0; i < bufferCount; ++i) {
        if (!buffers[i]) continue;
        std::uint32_t status = 0;
        if (Failed(buffers[i]->GetStatus(&status))) status = 0;
        if ((status & DSBSTATUS_PLAYING) == 0) return buffers[i].get();
    }
    return buffers[static_cast<std::uint32_t>(random.Next()) % bufferCount].get();
}

HRESULT CSound::RestoreBuffer(SoundBuffer* buffer, bool* wasRestored) {
    if (buffer == nullptr) return CO_E_NOTINITIALIZED;
    if (wasRestored != nullptr) *wasRestored = false;
    std::uint32_t status = 0;
    if (const HRESULT hr = buffer->GetStatus(&status); Failed(hr)) return hr;
    if ((status & DSBSTATUS_BUFFERLOST) == 0) return S_FALSE;
    while (buffer->Restore() == DSERR_BUFFERLOST) SleepMs(RESTORE_RETRY_MS);
    if (wasRestored != nullptr) *wasRestored = true;
    return S_OK;
}

HRESULT CSound::FillBuffer(SoundBuffer* buffer) {
    if (buffer == nullptr) return CO_E_NOTINITIALIZED;
    if (const HRESULT hr = RestoreBuffer(buffer, nullptr); Failed(hr)) return hr;

    std::uint8_t* memory = nullptr;
    std::uint32_t lockedBytes = 0;
    if (const HRESULT hr = buffer->Lock(0, bufferBytes, &memory, &lockedBytes); Failed(hr)) {
        return hr;
    }
    std::uint32_t readBytes = 0;
    reader->Rewind();
    HRESULT hr = reader->Read(memory, lockedBytes, &readBytes);
    if (!Failed(hr)) {
        const std::uint8_t silence = reader->GetFormat()->bitsPerSample == 8 ? 128 : 0;
        if (readBytes < lockedBytes) {
            std::memset(memory + readBytes, silence, lockedBytes - readBytes);
        }
    }
    // The output stays locked while the buffer is open, so it is closed on every path.
    buffer->Unlock(memory, lockedBytes);
    return hr;
}
