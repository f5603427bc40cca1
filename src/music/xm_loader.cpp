#include "music/xm_loader.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "common/little_endian.h"
#include "music/module_source.h"
#include "music/sequencer.h"
#include "music/song_arena.h"
#include "music/voice.h"

Song song;

static_assert(std::endian::native == std::endian::little, "sample data is read as stored");

namespace {
constexpr int HEADER_BYTES = 336;
constexpr int HEADER_SIZE_OFFSET = 60;
constexpr int PATTERN_HEADER_BYTES = 9;
constexpr int INSTRUMENT_FIXED_BYTES = 33;
constexpr int INSTRUMENT_EXTRA_BYTES = 208;  // offsets 33 to 240
// An instrument must hold at least this much of its header (up to its number of samples).
constexpr int INSTRUMENT_MIN_BYTES = 29;
constexpr std::uint8_t PACKED_CELL = 0x80;
constexpr std::uint8_t PACKED_4BIT = 0xAD;
constexpr int DELTA_TABLE_BYTES = 16;
constexpr std::uint8_t TITLE_FIRST = 0x20;
constexpr std::uint8_t TITLE_LAST = 0x7F;
constexpr int MODULE_NAME_OFFSET = 17;
constexpr int MODULE_NAME_BYTES = 20;

// A read that must lie wholly within the module.
bool ReadAll(void* dest, std::uint32_t count) { return ReadModule(dest, count) == count; }

void CopyTitle(const std::uint8_t* name) {
    int length = 0;
    for (int i = 0; i < MODULE_NAME_BYTES; ++i) {
        if (name[i] >= TITLE_FIRST && name[i] <= TITLE_LAST) {
            song.title[length++] = static_cast<char>(name[i]);
        }
    }
    song.title[length] = '\0';
}

bool ReadHeader() {
    std::uint8_t header[HEADER_BYTES] = {};
    ReadModule(header, HEADER_BYTES);
    SeekModule(HEADER_SIZE_OFFSET + static_cast<std::int64_t>(GetLe32(header + 60)), false);
    CopyTitle(header + MODULE_NAME_OFFSET);
    song.songLength = GetLe16(header + 64);
    song.restartPosition = GetLe16(header + 66);
    song.channelCount = GetLe16(header + 68);
    song.patternCount = GetLe16(header + 70);
    song.instrumentCount = GetLe16(header + 72);
    song.flags = GetLe16(header + 74);
    song.defaultSpeed = GetLe16(header + 76);
    song.defaultTempo = GetLe16(header + 78);
    std::memcpy(song.orders, header + 80, MAX_ORDERS);
    return song.patternCount != 0 && song.songLength >= 1 && song.songLength <= MAX_ORDERS;
}

bool AllocateSong() {
    song.voices = ArenaAllocateArray<Voice>(2 * static_cast<std::size_t>(song.numChannels));
    song.channels = ArenaAllocateArray<ChannelState>(static_cast<std::size_t>(song.numChannels));
    song.patterns = ArenaAllocateArray<PatternEntry>(song.patternCount);
    song.instruments =
        ArenaAllocateArray<Instrument>(static_cast<std::size_t>(song.numInstruments));
    return song.voices != nullptr && song.channels != nullptr && song.patterns != nullptr &&
           (song.instruments != nullptr || song.numInstruments == 0);
}

// One packed cell: a first byte with bit 7 set says which fields follow; otherwise it is the
// note and all four other fields follow.
bool UnpackCell(Cell& cell) {
    std::uint8_t first = 0;
    if (!ReadAll(&first, 1)) return false;
    std::uint8_t fields[5] = {};
    if (first & PACKED_CELL) {
        for (int f = 0; f < 5; ++f) {
            if ((first & (1 << f)) && !ReadAll(&fields[f], 1)) return false;
        }
    } else {
        fields[0] = first;
        if (!ReadAll(fields + 1, 4)) return false;
    }
    cell = Cell{fields[0], fields[1], fields[2], fields[3], fields[4]};
    if (cell.instrument > song.numInstruments) cell.instrument = 0;
    return true;
}

bool LoadPattern(PatternEntry& pattern) {
    std::uint8_t header[PATTERN_HEADER_BYTES];
    if (!ReadAll(header, PATTERN_HEADER_BYTES)) return false;
    pattern.rows = GetLe16(header + 5);
    pattern.packedSize = GetLe16(header + 7);
    if (pattern.packedSize == 0) return true;
    if (pattern.rows == 0 || pattern.rows > MAX_PATTERN_ROWS) return false;
    const std::size_t cells = std::size_t{pattern.rows} * song.numChannels;
    // Every cell takes at least one byte: a pattern can never need more cells than that.
    if (cells > ModuleBytesLeft()) return false;
    pattern.cells = ArenaAllocateArray<Cell>(cells);
    if (pattern.cells == nullptr) return false;
    for (std::size_t i = 0; i < cells; ++i) {
        if (!UnpackCell(pattern.cells[i])) return false;
    }
    return true;
}

bool LoadPatterns(std::uint16_t storedCount) {
    for (std::uint16_t p = 0; p < storedCount; ++p) {
        if (!LoadPattern(song.patterns[p])) return false;
    }
    // Positions of the order table beyond the stored patterns play 64 empty rows. Play only
    // reads cells, so they all share one block of them.
    if (storedCount == song.patternCount) return true;
    Cell* empty = ArenaAllocateArray<Cell>(std::size_t{ADDED_PATTERN_ROWS} * song.numChannels);
    if (empty == nullptr) return false;
    for (std::uint32_t p = storedCount; p < song.patternCount; ++p) {
        song.patterns[p].rows = ADDED_PATTERN_ROWS;
        song.patterns[p].cells = empty;
    }
    return true;
}

void ReadEnvelope(Envelope& envelope, const std::uint8_t* points, const std::uint8_t* counts,
                  int which) {
    for (int i = 0; i < ENVELOPE_POINTS; ++i) {
        envelope.points[i] = EnvelopePoint{GetLe16(points + 4 * i), GetLe16(points + 4 * i + 2)};
    }
    // counts: point counts (2), volume sustain/loop (3), panning sustain/loop (3), types (2)
    envelope.pointCount = std::min<std::uint8_t>(counts[which], ENVELOPE_POINTS);
    envelope.sustainPoint = counts[2 + 3 * which];
    envelope.loopStartPoint = counts[3 + 3 * which];
    envelope.loopEndPoint = counts[4 + 3 * which];
    envelope.type = counts[8 + which];
    if (counts[which] < 2) envelope.type = 0;
}

// The 208 bytes from offset 33 to 240 of an instrument header.
void ParseInstrumentExtra(Instrument& instrument, const std::uint8_t* extra) {
    std::memcpy(instrument.sampleForNote, extra, NOTE_COUNT);
    ReadEnvelope(instrument.volumeEnvelope, extra + 96, extra + 192, 0);
    ReadEnvelope(instrument.panningEnvelope, extra + 144, extra + 192, 1);
    instrument.vibratoWaveform = extra[202];
    instrument.vibratoSweep = extra[203];
    instrument.vibratoDepth = extra[204];
    instrument.vibratoRate = extra[205];
    instrument.fadeout = GetLe16(extra + 206);
}

// A sample header of the file, with its lengths in sample points and its loop made safe.
Sample ConvertSampleHeader(const std::uint8_t* header) {
    Sample sample{};
    sample.length = GetLe32(header);
    sample.loopStart = GetLe32(header + 4);
    sample.loopLength = GetLe32(header + 8);
    sample.volume = header[12];
    sample.finetune = static_cast<std::int8_t>(header[13]);
    const std::uint8_t type = header[14];
    sample.panning = header[15];
    sample.relativeNote = static_cast<std::int8_t>(header[16]);
    sample.packing = header[17];
    sample.is16Bit = (type >> 4) & 1;
    if (sample.is16Bit) {
        sample.length /= 2;
        sample.loopStart /= 2;
        sample.loopLength /= 2;
    }
    if (sample.loopStart >= sample.length) sample.loopStart = sample.length;
    if (std::uint64_t{sample.loopStart} + sample.loopLength > sample.length) {
        sample.loopLength = sample.length - sample.loopStart;
    }
    sample.loopType = type & 3;
    if (sample.loopType == LOOP_NONE || sample.loopLength == 0) {
        sample.loopStart = 0;
        sample.loopType = LOOP_NONE;
        sample.loopLength = sample.length;
    }
    return sample;
}

std::uint64_t SampleDataBytes(const Sample& sample) {
    if (sample.packing == PACKED_4BIT) return DELTA_TABLE_BYTES + (sample.length + 1) / 2;
    return std::uint64_t{sample.length} * (sample.is16Bit ? 2 : 1);
}

bool DecodePacked4Bit(Sample& sample) {
    std::int8_t deltas[DELTA_TABLE_BYTES];
    if (!ReadAll(deltas, DELTA_TABLE_BYTES)) return false;
    // The codes go to the upper end of the sample's own buffer and are decoded from the
    // front: each code byte lies beyond the two values written from it.
    const std::uint32_t codeBytes = (sample.length + 1) / 2;
    auto* buffer = reinterpret_cast<std::uint8_t*>(sample.data);
    std::uint8_t* codes =
        buffer + (std::size_t{sample.length} + SAMPLE_GUARD_VALUES) * 2 - codeBytes;
    if (!ReadAll(codes, codeBytes)) return false;
    std::int8_t value = 0;
    for (std::uint32_t i = 0; i < sample.length; ++i) {
        const std::uint8_t code = codes[i / 2];
        value = static_cast<std::int8_t>(value + deltas[(i & 1) ? code >> 4 : code & 15]);
        sample.data[i] = static_cast<std::int16_t>(value * 256);
    }
    // The values behind the end start as 0.
    std::memset(sample.data + sample.length, 0, SAMPLE_GUARD_VALUES * sizeof(std::int16_t));
    return true;
}

bool DecodeDeltas(Sample& sample) {
    if (sample.is16Bit) {
        if (!ReadAll(sample.data, sample.length * 2)) return false;
    } else {
        auto* bytes = reinterpret_cast<std::uint8_t*>(sample.data);
        if (!ReadAll(bytes, sample.length)) return false;
        // Widened from the back so that each byte is read before its place is overwritten.
        for (std::uint32_t i = sample.length; i-- > 0;) {
            sample.data[i] = static_cast<std::int16_t>(static_cast<std::int8_t>(bytes[i]) * 256);
        }
    }
    std::uint16_t previous = 0;
    for (std::uint32_t i = 0; i < sample.length; ++i) {
        previous =
            static_cast<std::uint16_t>(previous + static_cast<std::uint16_t>(sample.data[i]));
        sample.data[i] = static_cast<std::int16_t>(previous);
    }
    return true;
}

// The guard value the mixer's interpolation reads just behind the loop's end.
void FixLoopGuard(Sample& sample) {
    const std::uint32_t end = sample.loopStart + sample.loopLength;
    if (sample.loopType == LOOP_FORWARD) {
        sample.data[end] = sample.data[sample.loopStart];
    } else if (sample.loopType == LOOP_PINGPONG) {
        sample.data[end] = sample.data[end - 1];
    }
}

bool LoadSamples(Instrument& instrument, int sampleCount, std::uint32_t sampleHeaderSize) {
    Sample headers[MAX_INSTRUMENT_SAMPLES];
    std::uint64_t dataBytes = 0;
    for (int s = 0; s < sampleCount; ++s) {
        std::uint8_t header[MAX_SAMPLE_HEADER_SIZE] = {};
        if (!ReadAll(header, sampleHeaderSize)) return false;
        headers[s] = ConvertSampleHeader(header);
        if (headers[s].length >= MAX_SAMPLE_POINTS) return false;
        dataBytes += SampleDataBytes(headers[s]);
    }
    // The data must be there before any of it is allocated.
    if (dataBytes > ModuleBytesLeft()) return false;
    for (int s = 0; s < sampleCount; ++s) {
        const std::size_t values = std::size_t{headers[s].length} + SAMPLE_GUARD_VALUES;
        void* memory = ArenaAllocate(sizeof(Sample) + values * sizeof(std::int16_t));
        if (memory == nullptr) return false;
        Sample* sample = new (memory) Sample(headers[s]);
        sample->data = reinterpret_cast<std::int16_t*>(sample + 1);
        instrument.samples[s] = sample;
    }
    for (int s = 0; s < sampleCount; ++s) {
        Sample& sample = *instrument.samples[s];
        const bool read =
            sample.packing == PACKED_4BIT ? DecodePacked4Bit(sample) : DecodeDeltas(sample);
        if (!read) return false;
        FixLoopGuard(sample);
    }
    return true;
}

bool LoadInstrument(Instrument& instrument) {
    if (ModuleBytesLeft() < INSTRUMENT_MIN_BYTES) return false;
    std::uint8_t fixed[INSTRUMENT_FIXED_BYTES] = {};
    ReadModule(fixed, INSTRUMENT_FIXED_BYTES);
    const std::uint32_t headerSize = GetLe32(fixed);
    const int sampleCount = GetLe16(fixed + 27) & 0xFF;
    const std::uint32_t sampleHeaderSize = GetLe32(fixed + 29);
    std::int64_t skip = static_cast<std::int64_t>(headerSize) - INSTRUMENT_FIXED_BYTES;
    if (sampleCount != 0) {
        if (sampleHeaderSize > MAX_SAMPLE_HEADER_SIZE || sampleCount > MAX_INSTRUMENT_SAMPLES) {
            return false;
        }
        std::uint8_t extra[INSTRUMENT_EXTRA_BYTES];
        if (!ReadAll(extra, INSTRUMENT_EXTRA_BYTES)) return false;
        ParseInstrumentExtra(instrument, extra);
        skip -= INSTRUMENT_EXTRA_BYTES;
    }
    SeekModule(skip, true);
    instrument.fadeout = static_cast<std::uint16_t>(instrument.fadeout * 2);
    if (sampleCount == 0) return true;
    return LoadSamples(instrument, sampleCount, sampleHeaderSize);
}
}  // namespace

int LoadModule() {
    song = Song{};
    if (!ReadHeader()) return 0;
    const std::uint16_t storedPatterns = song.patternCount;
    const std::uint8_t highest = *std::max_element(song.orders, song.orders + song.songLength);
    song.patternCount = std::max<std::uint16_t>(song.patternCount, highest + 1);
    song.numChannels = song.channelCount & 0xFF;
    if (song.numChannels == 0 || song.numChannels > MAX_CHANNELS) return 0;
    song.numInstruments = song.instrumentCount & 0xFF;
    // Every stored pattern has a header: a module too short for them is cut off.
    if (std::uint64_t{storedPatterns} * PATTERN_HEADER_BYTES > ModuleBytesLeft()) return 0;
    if (!AllocateSong()) return 0;
    if (!LoadPatterns(storedPatterns)) return 0;
    for (int i = 0; i < song.numInstruments; ++i) {
        if (!LoadInstrument(song.instruments[i])) return 0;
    }
    StartSong();
    song.loaded = true;
    return 1;
}
