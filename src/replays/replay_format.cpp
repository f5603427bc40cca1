#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <utility>

#include "common/little_endian.h"
#include "common/settings.h"
#include "replays/range_coder.h"
#include "replays/replay.h"

namespace {

// The file: a fixed header, the coded frames, and a checksum of everything before it. Every
// number is little-endian.
constexpr std::array<std::uint8_t, 4> MAGIC = {'P', 'L', 'R', 'Y'};
constexpr std::uint16_t FORMAT_VERSION = 1;
constexpr std::size_t HEADER_SIZE = 64;
constexpr std::size_t CHECKSUM_SIZE = 4;
constexpr std::int64_t FRAME_MS = 20;  // the frame loop's period: where the next frame's time lies
// Start times stay far enough from the ends of the 64-bit range that no sum can overflow.
constexpr std::int64_t MAX_START_TIME = std::int64_t{1} << 61;
// A repeat counter counts up to its setting and stops there.
constexpr std::uint8_t MOST_REPEAT_FRAMES = Highest(&Settings::moveRepeat);
static_assert(MOST_REPEAT_FRAMES == Highest(&Settings::rotateRepeat) &&
              MOST_REPEAT_FRAMES == Highest(&Settings::dropRepeat));

struct Header {
    std::array<std::uint8_t, 4> magic = MAGIC;
    std::uint16_t version = FORMAT_VERSION;
    ReplayStart start;
    std::int64_t startTime = 0;
    std::uint32_t frameCount = 0;
    std::uint32_t readingCount = 0;
    ReplayResult result;
    std::uint32_t payloadSize = 0;
    std::array<std::uint8_t, 2> reserved{};  // always 0
};

// The header's two directions: one writes each field to the end of `out`, the other reads it
// from the bytes at `at` on; the caller has made sure that all HEADER_SIZE bytes are there.
struct HeaderWriter {
    std::vector<std::uint8_t>& out;
    void operator()(std::uint8_t& value) { out.push_back(value); }
    void operator()(std::uint16_t& value) { PutLe16(out, value); }
    void operator()(std::uint32_t& value) { PutLe32(out, value); }
    void operator()(std::uint64_t& value) { PutLe64(out, value); }
};
struct HeaderReader {
    const std::uint8_t* at;
    void operator()(std::uint8_t& value) { value = *at++; }
    void operator()(std::uint16_t& value) { value = GetLe16(std::exchange(at, at + 2)); }
    void operator()(std::uint32_t& value) { value = GetLe32(std::exchange(at, at + 4)); }
    void operator()(std::uint64_t& value) { value = GetLe64(std::exchange(at, at + 8)); }
};
// Counts the bytes, so that the compiler checks the header's size.
struct HeaderMeasure {
    std::size_t size = 0;
    template <class T>
    constexpr void operator()(T&) {
        size += sizeof(T);
    }
};

template <class Coder, std::size_t N>
constexpr void CodeBytes(Coder& coder, std::array<std::uint8_t, N>& bytes) {
    for (std::uint8_t& byte : bytes) coder(byte);
}

// A field the file holds in another type than the game: coded through a copy.
template <class Stored, class Coder, class T>
constexpr void CodeAs(Coder& coder, T& value) {
    auto stored = static_cast<Stored>(value);
    coder(stored);
    value = static_cast<T>(stored);
}

// One function for both directions, as CodeFrame: the header's fields in the file's order.
template <class Coder>
constexpr void CodeHeader(Coder& coder, Header& header) {
    ReplayStart& start = header.start;
    ReplayResult& result = header.result;
    CodeBytes(coder, header.magic);
    coder(header.version);
    // The play settings in their order; another one would need a new version of the file.
    static_assert(sizeof(PlaySettings) == 5, "a new play setting needs a new version of the file");
    coder(start.play.startLevel);
    coder(start.play.garbageRows);
    coder(start.play.moveRepeat);
    coder(start.play.rotateRepeat);
    coder(start.play.dropRepeat);
    coder(start.rotateReversed);
    CodeBytes(coder, start.keyRepeats);
    coder(start.dropLatch);
    coder(header.reserved[0]);
    coder(start.randomState);
    CodeAs<std::uint64_t>(coder, header.startTime);
    coder(header.frameCount);
    coder(header.readingCount);
    CodeAs<std::uint8_t>(coder, result.ending);
    coder(result.level);
    coder(result.lines);
    coder(header.reserved[1]);
    coder(result.score);
    coder(result.wellHash);
    coder(header.payloadSize);
}

constexpr std::size_t CodedHeaderSize() {
    HeaderMeasure measure;
    Header header;
    CodeHeader(measure, header);
    return measure.size;
}
static_assert(CodedHeaderSize() == HEADER_SIZE);

bool InRange(std::uint8_t value, std::uint8_t lowest, std::uint8_t highest) {
    return value >= lowest && value <= highest;
}

// The header's values the game could have had; nullptr when they are, else why not.
const char* CheckHeader(const Header& header) {
    const ReplayStart& start = header.start;
    for (int i = 0; i < REPLAY_REPEAT_BYTES; i += 2) {
        if (start.keyRepeats[i] > 1 || start.keyRepeats[i + 1] > MOST_REPEAT_FRAMES) {
            return "a key repeat is out of its range";
        }
    }
    if (start.dropLatch > 1) return "the header holds values no game writes";
    if (!PlaySettingsInRange(start.play) ||
        !InRange(start.rotateReversed, Lowest(&Settings::rotateReversed),
                 Highest(&Settings::rotateReversed))) {
        return "a setting is out of its range";
    }
    if (static_cast<int>(header.result.ending) >= GAME_ENDING_COUNT || header.reserved[0] != 0 ||
        header.reserved[1] != 0) {
        return "the header holds values no game writes";
    }
    if (header.frameCount == 0 || header.frameCount > MAX_REPLAY_FRAMES ||
        header.readingCount > MAX_REPLAY_READINGS) {
        return "too many frames or readings";
    }
    if (header.startTime > MAX_START_TIME || header.startTime < -MAX_START_TIME) {
        return "the start time is out of range";
    }
    return nullptr;
}

// The odds the frames are coded with, and what they are predicted from: most frames hold the
// actions, flags and number of readings of the frame before and take their other readings at
// the millisecond of their first. The frame loop runs frame n at a deadline n periods after
// its start and never sets it back: on time, a frame's first reading lies a little after
// `schedule` + n x FRAME_MS; behind it (after a stall), frames run back to back until they
// have caught up, each at about the time the last one ended. Only how far a reading lies from
// that is coded.
constexpr int OFFSET_CLASSES = 6;
// Below zero, 0, 1, 2 or 3, 4 to 15, more.
int OffsetClass(std::int64_t offset) {
    if (offset < 0) return 0;
    if (offset < 2) return 1 + static_cast<int>(offset);
    return offset < 4 ? 3 : (offset < 16 ? 4 : 5);
}

struct FrameModel {
    std::array<BitProbability, 2> actionsChanged{EVEN_ODDS, EVEN_ODDS};
    TreeModel<8> actionChanges;
    BitProbability flagsChanged = EVEN_ODDS;
    TreeModel<2> flagChanges;
    std::array<BitProbability, 2> sameCount{EVEN_ODDS, EVEN_ODDS};  // by paused
    TreeModel<4> counts;
    // By whether the frames are behind their schedule, and by the last frame's offset.
    std::array<std::array<NumberModel, OFFSET_CLASSES>, 2> firstOffset;
    std::array<NumberModel, 3> laterStep;  // by the reading's place in its frame
    std::array<NumberModel, 2> otherDraws;

    ReplayFrame previous;
    bool previousChangedActions = false;
    std::array<std::uint8_t, 2> previousCount{1, 0};
    std::int64_t schedule = 0;  // the earliest time frame 0 can have had, by what came since
    int lastOffsetClass = 1;
    std::int64_t lastReading = 0;
};

using FrameReadings = std::array<std::int64_t, MAX_READINGS_PER_FRAME>;

// One function for both directions: encoding, it reads the frame and its readings and writes
// the bits; decoding, it fills them from the bits. `readingsLeft` bounds the frame's readings.
// Returns nullptr, or why the frame cannot be.
template <class Coder>
const char* CodeFrame(Coder& coder, FrameModel& m, std::uint32_t index, ReplayFrame& frame,
                      FrameReadings& readings, std::uint32_t readingsLeft) {
    // A file that says a field changed and then codes no change reads as the same frames, but
    // the writer never makes it: refused, so that every file read is the one its frames write.
    constexpr const char* NOT_AS_WRITTEN = "the frames are not coded as the game codes them";
    const bool actionsChanged =
        coder.Code(m.actionsChanged[m.previousChangedActions], frame.actions != m.previous.actions);
    const std::uint32_t actionChange =
        actionsChanged ? CodeTree(coder, m.actionChanges, frame.actions ^ m.previous.actions) : 0;
    if (actionsChanged && actionChange == 0) return NOT_AS_WRITTEN;
    frame.actions = static_cast<std::uint8_t>(m.previous.actions ^ actionChange);
    m.previousChangedActions = actionsChanged;

    if ((frame.flags & ~REPLAY_FRAME_FLAGS) != 0) return "unknown frame flags";
    const bool flagsChanged = coder.Code(m.flagsChanged, frame.flags != m.previous.flags);
    const std::uint32_t flagChange =
        flagsChanged ? CodeTree(coder, m.flagChanges, frame.flags ^ m.previous.flags) : 0;
    if (flagsChanged && flagChange == 0) return NOT_AS_WRITTEN;
    frame.flags = static_cast<std::uint8_t>(m.previous.flags ^ flagChange);

    const int paused = (frame.flags & REPLAY_PAUSED) != 0 ? 1 : 0;
    const bool sameCount =
        coder.Code(m.sameCount[paused], frame.readingCount == m.previousCount[paused]);
    const std::uint32_t count =
        sameCount ? m.previousCount[paused] : CodeTree(coder, m.counts, frame.readingCount);
    if (!sameCount && count == m.previousCount[paused]) return NOT_AS_WRITTEN;
    if (count > MAX_READINGS_PER_FRAME) return "too many readings in a frame";
    frame.readingCount = static_cast<std::uint8_t>(count);
    if (frame.readingCount > readingsLeft) return "more readings than the header says";
    m.previousCount[paused] = frame.readingCount;

    for (int place = 0; place < frame.readingCount; ++place) {
        std::int64_t& reading = readings[static_cast<std::size_t>(place)];
        if (place == 0) {
            const std::int64_t frameTime = FRAME_MS * index;
            const std::int64_t onTime = m.schedule + frameTime;
            const bool behind = m.lastReading > onTime;
            const std::int64_t predicted = behind ? m.lastReading : onTime;
            const std::int64_t offset = CodeSigned(
                coder, m.firstOffset[behind ? 1 : 0][m.lastOffsetClass], reading - predicted);
            if (offset > MAX_READING_STEP || offset < -MAX_READING_STEP) return "the time leaps";
            reading = predicted + offset;
            if (reading < onTime) m.schedule = reading - frameTime;
            m.lastOffsetClass = OffsetClass(offset);
        } else {
            const std::uint64_t step =
                CodeNumber(coder, m.laterStep[place < 3 ? place : 2],
                           static_cast<std::uint64_t>(reading - m.lastReading));
            if (step > static_cast<std::uint64_t>(MAX_READING_STEP)) return "the time leaps";
            reading = m.lastReading + static_cast<std::int64_t>(step);
        }
        if (reading < m.lastReading) return "the time runs backwards";
        m.lastReading = reading;
    }

    // Checked before they are narrowed, or a count past 65535 would read as a small one.
    const std::uint64_t drawsBeforeActions =
        CodeNumber(coder, m.otherDraws[0], frame.drawsBeforeActions);
    const std::uint64_t drawsBeforeRest = CodeNumber(coder, m.otherDraws[1], frame.drawsBeforeRest);
    if (drawsBeforeActions > MAX_OTHER_DRAWS || drawsBeforeRest > MAX_OTHER_DRAWS) {
        return "too many draws in a frame";
    }
    frame.drawsBeforeActions = static_cast<std::uint16_t>(drawsBeforeActions);
    frame.drawsBeforeRest = static_cast<std::uint16_t>(drawsBeforeRest);
    if constexpr (Coder::DECODING) {
        if (coder.Failed()) return "the frames end too soon or are damaged";
    }
    m.previous = frame;
    return nullptr;
}

// The frames of a file whose header has been read and checked.
const char* DecodeFrames(RangeDecoder& decoder, const Header& header, Replay& replay) {
    auto model = std::make_unique<FrameModel>();
    model->schedule = header.startTime;
    model->lastReading = header.startTime;
    std::uint32_t readingsLeft = header.readingCount;
    FrameReadings readings{};
    for (std::uint32_t index = 0; index < header.frameCount; ++index) {
        ReplayFrame frame;
        if (const char* why = CodeFrame(decoder, *model, index, frame, readings, readingsLeft)) {
            return why;
        }
        replay.frames.push_back(frame);
        replay.readings.insert(replay.readings.end(), readings.begin(),
                               readings.begin() + frame.readingCount);
        readingsLeft -= frame.readingCount;
    }
    if (readingsLeft != 0) return "fewer readings than the header says";
    // The writer takes the start time from the first reading (0 without any): another start
    // time reads as the same game but is not what the game writes, and may be one it cannot.
    if (header.startTime != (replay.readings.empty() ? 0 : replay.readings.front())) {
        return "the start time is not the first reading";
    }
    return nullptr;
}

}  // namespace

// The frame begun last waits, with its readings, until the next one begins; the frames before
// it are in the coder.
struct ReplayRecorder::Coding {
    Header header;
    std::vector<std::uint8_t> payload;
    RangeEncoder encoder{payload};
    FrameModel model;
    ReplayFrame waiting;
    FrameReadings waitingReadings{};
    bool failed = false;
    bool finished = false;

    void CodeWaitingFrame() {
        if (header.frameCount == 0 || failed) return;
        const std::uint32_t index = header.frameCount - 1;
        if (CodeFrame(encoder, model, index, waiting, waitingReadings, waiting.readingCount) !=
                nullptr ||
            payload.size() > MAX_REPLAY_BYTES) {
            failed = true;
        }
    }
};

ReplayRecorder::ReplayRecorder(const ReplayStart& start) : coding_(std::make_unique<Coding>()) {
    coding_->header.start = start;
}

ReplayRecorder::~ReplayRecorder() = default;

void ReplayRecorder::AddFrame(const ReplayFrame& frame) {
    Coding& c = *coding_;
    if (c.failed || c.finished) return;
    if (c.header.frameCount >= MAX_REPLAY_FRAMES) {
        c.failed = true;
        return;
    }
    c.CodeWaitingFrame();
    c.waiting = frame;
    c.waiting.readingCount = 0;
    ++c.header.frameCount;
}

void ReplayRecorder::AddReading(std::int64_t reading) {
    Coding& c = *coding_;
    if (c.failed || c.finished) return;
    if (c.header.frameCount == 0 || c.waiting.readingCount >= MAX_READINGS_PER_FRAME ||
        c.header.readingCount >= MAX_REPLAY_READINGS) {
        c.failed = true;
        return;
    }
    // The first reading is the start time that the file's times are told from.
    if (c.header.readingCount == 0) {
        if (reading > MAX_START_TIME || reading < -MAX_START_TIME) {
            c.failed = true;
            return;
        }
        c.header.startTime = reading;
        c.model.schedule = reading;
        c.model.lastReading = reading;
    }
    c.waitingReadings[c.waiting.readingCount++] = reading;
    ++c.header.readingCount;
}

ReplayFrame& ReplayRecorder::LastFrame() { return coding_->waiting; }

std::uint32_t ReplayRecorder::FrameCount() const { return coding_->header.frameCount; }

bool ReplayRecorder::Failed() const { return coding_->failed; }

std::vector<std::uint8_t> ReplayRecorder::Finish(const ReplayResult& result) {
    Coding& c = *coding_;
    if (c.finished) return {};
    c.CodeWaitingFrame();
    c.finished = true;
    Header& header = c.header;
    header.result = result;
    if (c.failed || CheckHeader(header) != nullptr) return {};
    c.encoder.Finish();

    header.payloadSize = static_cast<std::uint32_t>(c.payload.size());
    std::vector<std::uint8_t> out;
    out.reserve(HEADER_SIZE + c.payload.size() + CHECKSUM_SIZE);
    HeaderWriter writer{out};
    CodeHeader(writer, header);
    out.insert(out.end(), c.payload.begin(), c.payload.end());
    PutLe32(out, ReplayChecksum(out));
    if (out.size() > MAX_REPLAY_BYTES) return {};
    return out;
}

std::uint32_t ReplayChecksum(std::span<const std::uint8_t> bytes) {
    static const auto TABLE = [] {
        std::array<std::uint32_t, 256> table{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[i] = c;
        }
        return table;
    }();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const std::uint8_t byte : bytes) crc = TABLE[(crc ^ byte) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

std::vector<std::uint8_t> EncodeReplay(const Replay& replay) {
    if (replay.frames.size() > MAX_REPLAY_FRAMES || replay.readings.size() > MAX_REPLAY_READINGS) {
        return {};
    }
    ReplayRecorder recorder(replay.start);
    std::size_t nextReading = 0;
    for (const ReplayFrame& frame : replay.frames) {
        if (frame.readingCount > replay.readings.size() - nextReading) return {};
        recorder.AddFrame(frame);
        for (int i = 0; i < frame.readingCount; ++i) {
            recorder.AddReading(replay.readings[nextReading++]);
        }
    }
    if (nextReading != replay.readings.size()) return {};
    return recorder.Finish(replay.result);
}

bool DecodeReplay(std::span<const std::uint8_t> bytes, Replay& replay, std::string& reason) {
    replay = Replay{};
    const auto refuse = [&reason](const char* why) {
        reason = why;
        return false;
    };
    if (bytes.size() > MAX_REPLAY_BYTES) return refuse("the file is too large for a replay");
    if (bytes.size() < MAGIC.size() || std::memcmp(bytes.data(), MAGIC.data(), MAGIC.size()) != 0) {
        return refuse("not a replay file");
    }
    if (bytes.size() < HEADER_SIZE + CHECKSUM_SIZE) return refuse("the file is truncated");
    Header header;
    HeaderReader reader{bytes.data()};
    CodeHeader(reader, header);
    if (header.version != FORMAT_VERSION) {
        return refuse(header.version > FORMAT_VERSION ? "made by a newer version of the game"
                                                      : "an unknown version of the format");
    }
    if (HEADER_SIZE + std::size_t{header.payloadSize} + CHECKSUM_SIZE != bytes.size()) {
        return refuse(HEADER_SIZE + std::size_t{header.payloadSize} + CHECKSUM_SIZE > bytes.size()
                          ? "the file is truncated"
                          : "the file has bytes after its end");
    }
    const std::size_t checked = bytes.size() - CHECKSUM_SIZE;
    if (ReplayChecksum(bytes.first(checked)) != GetLe32(bytes.data() + checked)) {
        return refuse("the checksum does not match: the file is damaged");
    }
    if (const char* why = CheckHeader(header)) {
        return refuse(why);
    }

    replay.start = header.start;
    replay.result = header.result;
    RangeDecoder decoder(bytes.subspan(HEADER_SIZE, header.payloadSize));
    if (const char* why = DecodeFrames(decoder, header, replay)) return refuse(why);
    if (!decoder.AtEnd()) return refuse("the frames do not fill the file");
    return true;
}
