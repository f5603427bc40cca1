// The xmrender tool as a user runs it: help, a rejected module, and a small module rendered
// with its row positions.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "support/portable.h"
#include "support/song_fixture.h"

namespace {

const std::string TOOL = BuiltProgram("xmrender");

class XmRender : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(TOOL)) GTEST_SKIP() << "xmrender is not built";
        dir = MakeTemporaryFolder("xmrender_test_");
    }
    void TearDown() override {
        std::error_code error;
        std::filesystem::remove_all(dir, error);
    }

    // Runs the tool with the arguments; returns its exit status and fills out and err.
    int Run(const std::string& arguments) {
        const std::string command = TOOL + " " + arguments + " >" + (dir / "out").string() +
                                    " 2>" + (dir / "err").string();
        const int status = RunCommand(command);
        // A Windows console program ends its lines with CR LF.
        out = WithoutCarriageReturns(Read(dir / "out"));
        err = WithoutCarriageReturns(Read(dir / "err"));
        return status;
    }

    static std::string WithoutCarriageReturns(std::string text) {
        text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
        return text;
    }

    static std::string Read(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    void Write(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }

    std::filesystem::path dir;
    std::string out;
    std::string err;
};

TEST_F(XmRender, HelpExplainsTheCommandLine) {
    EXPECT_EQ(Run("--help"), 0);
    EXPECT_NE(out.find("xmrender IN.xm OUT.wav [--seconds N] [--positions]"), std::string::npos);
}

TEST_F(XmRender, RejectedModuleIsOneLineAndStatusOne) {
    Write(dir / "bad.xm", {'n', 'o', 't', ' ', 'x', 'm'});
    EXPECT_EQ(Run((dir / "bad.xm").string() + " " + (dir / "bad.wav").string()), 1);
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_FALSE(std::filesystem::exists(dir / "bad.wav"));
    EXPECT_EQ(Run("only-one-argument"), 1);
    EXPECT_EQ(Run((dir / "bad.xm").string() + " x.wav --seconds zero"), 1);

    // An output that cannot be written is reported before the whole length is rendered.
    Write(dir / "good.xm", BuildXm(SmallModule(1, 4)));
    EXPECT_EQ(Run((dir / "good.xm").string() + " " + (dir / "missing" / "out.wav").string() +
                  " --seconds 21600"),
              1);
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
}

TEST_F(XmRender, WritesTheWaveAndListsEveryRow) {
    XmModuleSketch sketch = SmallModule(1, 4);
    sketch.speed = 3;
    CellAt(sketch, 0, 0, 0) = {NOTE_C4, 1, 0, 0, 0};
    CellAt(sketch, 0, 1, 0) = {0, 0, 0, FX('F'), 0x02};
    Write(dir / "small.xm", BuildXm(sketch));
    ASSERT_EQ(Run((dir / "small.xm").string() + " " + (dir / "small.wav").string() +
                  " --seconds 1 --positions"),
              0)
        << err;
    std::istringstream lines(out);
    std::vector<std::string> expected = {"0 0 0", "2880 0 1", "4800 0 2", "6720 0 3", "8640 0 0"};
    for (const std::string& line : expected) {
        std::string got;
        ASSERT_TRUE(std::getline(lines, got));
        EXPECT_EQ(got, line);
    }
    const std::string wav = Read(dir / "small.wav");
    ASSERT_EQ(wav.size(), 44u + 48000u * 4);
    EXPECT_EQ(wav.substr(0, 4), "RIFF");
    EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
    bool sound = false;
    for (std::size_t i = 44; i < wav.size(); ++i) sound = sound || wav[i] != 0;
    EXPECT_TRUE(sound);
}

}  // namespace
