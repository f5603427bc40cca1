#include "sound/wav_reader.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/resources.h"

#include "sound/current_folder.h"
#include "sound/wav_builder.h"

using namespace wav_builder;

namespace {

const std::vector<std::uint8_t> SAMPLES = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};

std::vector<std::uint8_t> ReadAll(CWavReader& reader) {
    std::vector<std::uint8_t> out(reader.GetSize());
    std::uint32_t n = 0;
    EXPECT_EQ(reader.Read(out.data(), reader.GetSize(), &n), S_OK);
    out.resize(n);
    return out;
}

}  // namespace

TEST(WavReader, AcceptsChunksInAnyOrderAndStepsOverOthers) {
    const auto fmt = Chunk("fmt ", FmtData(1, 2, 44100, 16));
    const auto data = Chunk("data", SAMPLES);
    const std::vector<std::vector<std::vector<std::uint8_t>>> layouts = {
        {fmt, data},
        {fmt, Chunk("LIST", {'I', 'N', 'F', 'O'}), data},
        {Chunk("fact", {0, 0, 0, 0}), fmt, data},
        {data, fmt},
        {fmt, Chunk("odd!", {1, 2, 3}), data},  // three bytes and a pad byte
        {Chunk("junk", {9}), data, Chunk("LIST", {}), fmt},
    };
    for (std::size_t i = 0; i < layouts.size(); ++i) {
        const auto bytes = Riff(layouts[i]);
        CWavReader reader;
        ASSERT_EQ(reader.OpenMemory(bytes), S_OK) << "layout " << i;
        ASSERT_NE(reader.GetFormat(), nullptr);
        EXPECT_EQ(reader.GetFormat()->samplesPerSec, 44100u);
        EXPECT_EQ(reader.GetFormat()->channels, 2);
        EXPECT_EQ(reader.GetSize(), SAMPLES.size());
        EXPECT_EQ(ReadAll(reader), SAMPLES) << "layout " << i;
    }
}

TEST(WavReader, FormatRecordOfLongerFmtChunks) {
    // PCM with an extra-size field: an 18-byte record, the two bytes skipped.
    auto fmt18 = FmtData(1, 1, 22050, 8);
    PutLe16(fmt18, 0x7777);
    CWavReader pcm;
    ASSERT_EQ(pcm.OpenMemory(Riff({Chunk("fmt ", fmt18), Chunk("data", SAMPLES)})), S_OK);
    EXPECT_EQ(pcm.GetFormat()->extraSize, 0);
    EXPECT_TRUE(pcm.GetFormat()->extra.empty());
    EXPECT_EQ(ReadAll(pcm), SAMPLES);

    // Another format keeps its extra bytes.
    auto fmtExtra = FmtData(0x11, 2, 44100, 4);
    PutLe16(fmtExtra, 3);
    fmtExtra.insert(fmtExtra.end(), {0xA, 0xB, 0xC});
    CWavReader other;
    ASSERT_EQ(other.OpenMemory(Riff({Chunk("fmt ", fmtExtra), Chunk("data", SAMPLES)})), S_OK);
    EXPECT_EQ(other.GetFormat()->formatTag, 0x11);
    EXPECT_EQ(other.GetFormat()->extraSize, 3);
    EXPECT_EQ(other.GetFormat()->extra, (std::vector<std::uint8_t>{0xA, 0xB, 0xC}));

    // Extra bytes that the chunk and the stream do not hold.
    auto fmtShort = FmtData(0x11, 2, 44100, 4);
    PutLe16(fmtShort, 60000);
    CWavReader truncated;
    EXPECT_EQ(truncated.OpenMemory(Riff({Chunk("fmt ", fmtShort)})), E_FAIL);
    EXPECT_EQ(truncated.GetFormat(), nullptr);
}

TEST(WavReader, RejectsWhatIsNotASound) {
    const auto fmt = Chunk("fmt ", FmtData(1, 2, 44100, 16));
    const auto data = Chunk("data", SAMPLES);
    auto notRiff = Riff({fmt, data});
    notRiff[0] = 'X';
    auto notWave = Riff({fmt, data});
    notWave[8] = 'A';
    const std::vector<std::vector<std::uint8_t>> broken = {
        {},
        {'R', 'I', 'F', 'F'},
        notRiff,
        notWave,
        Riff({data}),
        Riff({Chunk("fmt ", std::vector<std::uint8_t>(14, 1)), data}),
        // A chunk size that points far past the end of the stream.
        Riff({Chunk("fmt ", FmtData(1, 2, 44100, 16), 0xFFFFFFF0), data}),
    };
    for (std::size_t i = 0; i < broken.size(); ++i) {
        CWavReader reader;
        EXPECT_EQ(reader.OpenMemory(broken[i]), E_FAIL) << "case " << i;
        EXPECT_EQ(reader.GetSize(), 0u);
        std::uint8_t byte = 0;
        std::uint32_t n = 0;
        EXPECT_EQ(reader.Read(&byte, 1, &n), CO_E_NOTINITIALIZED) << "case " << i;
    }

    // No data, or data only beyond the RIFF chunk's own bound: the format is read, size stays 0.
    for (const auto& bytes : {Riff({fmt}), [&] {
             auto b = Riff({fmt});
             b.insert(b.end(), data.begin(), data.end());
             return b;
         }()}) {
        CWavReader reader;
        EXPECT_EQ(reader.OpenMemory(bytes), E_FAIL);
        EXPECT_EQ(reader.GetSize(), 0u);
        EXPECT_NE(reader.GetFormat(), nullptr);
    }
}

TEST(WavReader, CallsOutOfOrder) {
    CWavReader reader;
    std::uint8_t byte = 0;
    std::uint32_t n = 0;
    EXPECT_EQ(reader.Read(&byte, 1, &n), CO_E_NOTINITIALIZED);
    EXPECT_EQ(reader.Rewind(), CO_E_NOTINITIALIZED);
    EXPECT_EQ(reader.Open(nullptr), E_INVALIDARG);
    EXPECT_EQ(reader.Open(""), E_INVALIDARG);
    ASSERT_EQ(reader.OpenMemory(StereoWav(44100, SAMPLES)), S_OK);
    EXPECT_EQ(reader.Read(nullptr, 1, &n), E_INVALIDARG);
    EXPECT_EQ(reader.Read(&byte, 1, nullptr), E_INVALIDARG);
    EXPECT_EQ(reader.Close(), S_OK);
    EXPECT_EQ(reader.Rewind(), CO_E_NOTINITIALIZED);
}

TEST(WavReader, ReadsFollowOnAndRewindStartsAgain) {
    CWavReader reader;
    ASSERT_EQ(reader.OpenMemory(StereoWav(44100, SAMPLES)), S_OK);
    std::uint8_t part[8] = {};
    std::uint32_t n = 0;
    ASSERT_EQ(reader.Read(part, 5, &n), S_OK);
    EXPECT_EQ(n, 5u);
    EXPECT_EQ(part[4], 5);
    ASSERT_EQ(reader.Read(part, 8, &n), S_OK);
    EXPECT_EQ(n, 7u);  // never past the end of the data
    EXPECT_EQ(part[0], 6);
    EXPECT_EQ(part[6], 12);
    ASSERT_EQ(reader.Read(part, 8, &n), S_OK);
    EXPECT_EQ(n, 0u);
    ASSERT_EQ(reader.Rewind(), S_OK);
    EXPECT_EQ(ReadAll(reader), SAMPLES);
}

TEST(WavReader, DataCutShortFailsTheReadAndCountsItUsed) {
    auto bytes = Riff({Chunk("fmt ", FmtData(1, 2, 44100, 16)), Chunk("data", SAMPLES, 400)});
    CWavReader reader;
    ASSERT_EQ(reader.OpenMemory(bytes), S_OK);
    EXPECT_EQ(reader.GetSize(), 400u);
    std::vector<std::uint8_t> out(400);
    std::uint32_t n = 99;
    EXPECT_EQ(reader.Read(out.data(), 400, &n), E_FAIL);
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(reader.Read(out.data(), 400, &n), S_OK);
    EXPECT_EQ(n, 0u);
    ASSERT_EQ(reader.Rewind(), S_OK);
    EXPECT_EQ(reader.Read(out.data(), 10, &n), S_OK);
    EXPECT_EQ(n, 10u);
}

TEST(WavReader, FileOfTheSoundsNameReplacesTheBuiltInSound) {
    TemporaryCurrentFolder folder;
    CWavReader builtIn;
    ASSERT_EQ(builtIn.Open("#112"), S_OK);
    EXPECT_GT(builtIn.GetSize(), 1000u);

    folder.Write("#112", StereoWav(32000, SAMPLES));
    CWavReader replaced;
    ASSERT_EQ(replaced.Open("#112"), S_OK);
    EXPECT_EQ(replaced.GetFormat()->samplesPerSec, 32000u);
    EXPECT_EQ(ReadAll(replaced), SAMPLES);

    // A folder of that name, or an unknown name, is not a sound.
    std::filesystem::create_directory("#113");
    CWavReader folderName;
    EXPECT_EQ(folderName.Open("#113"), S_OK);
    EXPECT_EQ(folderName.GetFormat()->samplesPerSec, 44100u);
    for (const char* name : {"#999", "#", "#12x", "sound", "#1234567890123"}) {
        CWavReader missing;
        EXPECT_EQ(missing.Open(name), E_FAIL) << name;
    }
}

TEST(WavReader, BuiltInSoundsAreShortCleanStereoPcm) {
    struct Expected {
        int id;
        std::uint32_t rate;
        std::uint32_t dataBytes;
    };
    const Expected sounds[] = {{114, 22050, 2716},  {113, 44100, 23264},  {112, 44100, 37248},
                               {133, 44100, 17392}, {134, 44100, 210432}, {135, 44100, 201984}};
    for (const Expected& e : sounds) {
        SCOPED_TRACE(e.id);
        const std::string name = "#" + std::to_string(e.id);
        CWavReader reader;
        ASSERT_EQ(reader.Open(name.c_str()), S_OK);
        const WavFormat& f = *reader.GetFormat();
        EXPECT_EQ(f.formatTag, WAVE_FORMAT_PCM);
        EXPECT_EQ(f.channels, 2);
        EXPECT_EQ(f.bitsPerSample, 16);
        EXPECT_EQ(f.blockAlign, 4);
        EXPECT_EQ(f.samplesPerSec, e.rate);
        EXPECT_NEAR(reader.GetSize(), e.dataBytes, e.dataBytes / 20);

        // One 16-byte "fmt " chunk right after the form type, then "data".
        const auto raw = FindResource("WAVE", e.id);
        ASSERT_GE(raw.size(), 44u);
        EXPECT_EQ(std::string(raw.begin() + 12, raw.begin() + 20), std::string("fmt \x10\0\0\0", 8));
        EXPECT_EQ(std::string(raw.begin() + 36, raw.begin() + 40), "data");
        const auto samples = ReadAll(reader);
        ASSERT_EQ(samples.size(), reader.GetSize());
        int peak = 0;
        for (std::size_t i = 0; i + 1 < samples.size(); i += 2) {
            const int s = static_cast<std::int16_t>(samples[i] | samples[i + 1] << 8);
            peak = std::max(peak, std::abs(s));
        }
        EXPECT_GT(peak, 32768 / 4);
        EXPECT_LT(peak, 32700);
        // Silent at both ends so that a start or an end never clicks.
        for (std::size_t i : {std::size_t{0}, samples.size() - 4}) {
            EXPECT_LT(std::abs(static_cast<std::int16_t>(samples[i] | samples[i + 1] << 8)), 64);
        }
    }
}
