#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "sound/results.h"

// The format of a sound: the six fields of a "fmt " chunk, then the extra size and the extra
// bytes (none for PCM). 18 + extraSize bytes in the stored layout.
struct WavFormat {
    std::uint16_t formatTag = 0;
    std::uint16_t channels = 0;
    std::uint32_t samplesPerSec = 0;
    std::uint32_t avgBytesPerSec = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;
    std::uint16_t extraSize = 0;
    std::vector<std::uint8_t> extra;
};

constexpr std::uint16_t WAVE_FORMAT_PCM = 1;
constexpr std::size_t WAV_FORMAT_FIELDS_SIZE = 16;
constexpr std::size_t WAV_FORMAT_RECORD_SIZE = 18;

// A replacement sound in the current folder is read whole, but never more than this: larger
// files are passed over for the built-in sound (about a minute and a half of CD-quality stereo).
constexpr std::size_t MAX_WAV_FILE_BYTES = 16u << 20;

// The position of one RIFF chunk: its id, size, form type (RIFF and LIST only) and the offset
// of its data in the stream.
struct ChunkRecord {
    std::uint32_t id = 0;
    std::uint32_t size = 0;
    std::uint32_t formType = 0;
    std::uint64_t dataOffset = 0;
};

// The bytes of one open sound, read like a file: a replacement file's contents or a copy of a
// sound built into the executable.
struct WavStream {
    std::vector<std::uint8_t> bytes;
    std::uint64_t position = 0;
};

// Reads one PCM sound in the RIFF/WAVE format: its format record, its sample data size and
// the sample bytes, rewindable any number of times. A sound named "#112" is the file of that
// exact name in the current folder when there is one, else the built-in "WAVE" (or "WAV")
// sound 112.
class CWavReader {
public:
    CWavReader() = default;
    ~CWavReader();
    CWavReader(const CWavReader&) = delete;
    CWavReader& operator=(const CWavReader&) = delete;

    HRESULT Open(const char* name);
    // Reads a copy of a sound held in memory.
    HRESULT OpenMemory(std::span<const std::uint8_t> bytes);
    HRESULT Rewind();
    HRESULT Read(std::uint8_t* destination, std::uint32_t wanted, std::uint32_t* read);
    HRESULT Close();
    std::uint32_t GetSize() const { return size; }
    const WavFormat* GetFormat() const { return format.get(); }

private:
    HRESULT OpenStream(std::unique_ptr<WavStream> stream);
    HRESULT ReadHeader();

    std::unique_ptr<WavFormat> format;
    std::unique_ptr<WavStream> handle;
    ChunkRecord dataChunk;
    ChunkRecord riffChunk;
    std::uint32_t size = 0;
};
