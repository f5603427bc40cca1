#include "sound/wav_reader.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "common/little_endian.h"
#include "platform/files.h"
#include "platform/resources.h"

namespace {

constexpr std::uint32_t RIFF_ID = FourCc("RIFF");
constexpr std::uint32_t WAVE_ID = FourCc("WAVE");
constexpr std::uint32_t FMT_ID = FourCc("fmt ");
constexpr std::uint32_t DATA_ID = FourCc("data");
constexpr std::size_t CHUNK_HEADER_SIZE = 8;
constexpr std::size_t FORM_TYPE_SIZE = 4;
// A resource id is at most this many digits after the "#".
constexpr std::size_t MAX_ID_DIGITS = 9;

// Copies up to count bytes from the stream's position onwards; returns how many there were.
std::size_t ReadBytes(WavStream& stream, std::uint8_t* destination, std::size_t count) {
    const std::uint64_t available =
        stream.position < stream.bytes.size() ? stream.bytes.size() - stream.position : 0;
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(count, available));
    if (n > 0) std::memcpy(destination, stream.bytes.data() + stream.position, n);
    stream.position += n;
    return n;
}

bool Seek(WavStream& stream, std::uint64_t offset) {
    if (offset > stream.bytes.size()) return false;
    stream.position = offset;
    return true;
}

// Reads the chunk header at the position; a RIFF chunk's form type too. Leaves the position at
// the chunk's data (after the form type).
bool DescendRiff(WavStream& stream, ChunkRecord& chunk) {
    std::uint8_t header[CHUNK_HEADER_SIZE + FORM_TYPE_SIZE];
    const std::uint64_t start = stream.position;
    if (ReadBytes(stream, header, sizeof header) != sizeof header) return false;
    chunk.id = GetLe32(header);
    chunk.size = GetLe32(header + 4);
    chunk.formType = GetLe32(header + 8);
    chunk.dataOffset = start + CHUNK_HEADER_SIZE;
    return true;
}

// Searches the parent's sub-chunks from the position for the id, stepping over the others and
// their pad bytes, never past the parent's end. Leaves the position at the found chunk's data.
bool FindChunk(WavStream& stream, const ChunkRecord& parent, std::uint32_t id, ChunkRecord& chunk) {
    const std::uint64_t parentEnd = parent.dataOffset + parent.size;
    while (stream.position + CHUNK_HEADER_SIZE <= parentEnd) {
        std::uint8_t header[CHUNK_HEADER_SIZE];
        const std::uint64_t start = stream.position;
        if (ReadBytes(stream, header, sizeof header) != sizeof header) return false;
        const std::uint32_t size = GetLe32(header + 4);
        if (GetLe32(header) == id) {
            chunk = ChunkRecord{id, size, 0, start + CHUNK_HEADER_SIZE};
            return true;
        }
        stream.position = start + CHUNK_HEADER_SIZE + size + (size & 1u);
    }
    return false;
}

// Moves past the end of the chunk and its pad byte.
bool Ascend(WavStream& stream, const ChunkRecord& chunk) {
    return Seek(stream, chunk.dataOffset + chunk.size + (chunk.size & 1u));
}

// "#112" names the built-in sound 112.
std::optional<int> ResourceIdOf(const char* name) {
    if (name[0] != '#') return std::nullopt;
    const std::size_t digits = std::strlen(name + 1);
    if (digits == 0 || digits > MAX_ID_DIGITS) return std::nullopt;
    int id = 0;
    for (std::size_t i = 1; i <= digits; ++i) {
        if (name[i] < '0' || name[i] > '9') return std::nullopt;
        id = id * 10 + (name[i] - '0');
    }
    return id;
}

}  // namespace

CWavReader::~CWavReader() { Close(); }

HRESULT CWavReader::Open(const char* name) {
    if (name == nullptr || name[0] == '\0') return E_INVALIDARG;
    format.reset();

    auto stream = std::make_unique<WavStream>();
    if (auto file = ReadSmallFile(name, MAX_WAV_FILE_BYTES)) {
        stream->bytes = std::move(*file);
    } else {
        const std::optional<int> id = ResourceIdOf(name);
        if (!id) return E_FAIL;
        std::span<const std::uint8_t> resource = FindResource("WAVE", *id);
        if (resource.empty()) resource = FindResource("WAV", *id);
        stream->bytes.assign(resource.begin(), resource.end());
    }
    if (stream->bytes.empty()) return E_FAIL;
    return OpenStream(std::move(stream));
}

HRESULT CWavReader::OpenMemory(std::span<const std::uint8_t> bytes) {
    format.reset();
    if (bytes.empty()) return E_FAIL;
    auto stream = std::make_unique<WavStream>();
    stream->bytes.assign(bytes.begin(), bytes.end());
    return OpenStream(std::move(stream));
}

HRESULT CWavReader::OpenStream(std::unique_ptr<WavStream> stream) {
    handle = std::move(stream);
    if (const HRESULT hr = ReadHeader(); Failed(hr)) {
        Close();
        return hr;
    }
    if (const HRESULT hr = Rewind(); Failed(hr)) return hr;
    size = dataChunk.size;
    return S_OK;
}

HRESULT CWavReader::ReadHeader() {
    format.reset();
    WavStream& stream = *handle;
    if (!DescendRiff(stream, riffChunk) || riffChunk.id != RIFF_ID ||
        riffChunk.formType != WAVE_ID) {
        return E_FAIL;
    }

    ChunkRecord fmtChunk;
    if (!FindChunk(stream, riffChunk, FMT_ID, fmtChunk) || fmtChunk.size < WAV_FORMAT_FIELDS_SIZE) {
        return E_FAIL;
    }
    std::uint8_t fields[WAV_FORMAT_FIELDS_SIZE];
    if (ReadBytes(stream, fields, sizeof fields) != sizeof fields) return E_FAIL;

    auto record = std::make_unique<WavFormat>();
    record->formatTag = GetLe16(fields);
    record->channels = GetLe16(fields + 2);
    record->samplesPerSec = GetLe32(fields + 4);
    record->avgBytesPerSec = GetLe32(fields + 8);
    record->blockAlign = GetLe16(fields + 12);
    record->bitsPerSample = GetLe16(fields + 14);
    if (record->formatTag != WAVE_FORMAT_PCM) {
        std::uint8_t extraSize[2];
        if (ReadBytes(stream, extraSize, sizeof extraSize) != sizeof extraSize) return E_FAIL;
        record->extraSize = GetLe16(extraSize);
        // The extra bytes are read only as far as the stream holds them, so a lying size
        // costs no more memory than the sound itself.
        const std::uint64_t left = stream.bytes.size() - stream.position;
        if (record->extraSize > left) return E_FAIL;
        record->extra.resize(record->extraSize);
        if (ReadBytes(stream, record->extra.data(), record->extraSize) != record->extraSize) {
            return E_FAIL;
        }
    }
    if (!Ascend(stream, fmtChunk)) return E_FAIL;
    format = std::move(record);
    return S_OK;
}

HRESULT CWavReader::Rewind() {
    if (!handle) return CO_E_NOTINITIALIZED;
    if (!Seek(*handle, riffChunk.dataOffset + FORM_TYPE_SIZE)) return E_FAIL;
    if (!FindChunk(*handle, riffChunk, DATA_ID, dataChunk)) return E_FAIL;
    return S_OK;
}

HRESULT CWavReader::Read(std::uint8_t* destination, std::uint32_t wanted, std::uint32_t* read) {
    if (!handle) return CO_E_NOTINITIALIZED;
    if (destination == nullptr || read == nullptr) return E_INVALIDARG;
    *read = 0;
    const std::uint32_t n = std::min(wanted, dataChunk.size);
    // The count left drops before the copy: bytes lost to a stream that ends early stay used.
    dataChunk.size -= n;
    if (ReadBytes(*handle, destination, n) != n) return E_FAIL;
    *read = n;
    return S_OK;
}

HRESULT CWavReader::Close() {
    handle.reset();
    return S_OK;
}
