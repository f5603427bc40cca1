#include "app/command_line.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

namespace {

struct Outcome {
    CommandLine line;
    std::string out;
    std::string err;
};

Outcome Parse(std::vector<const char*> args) {
    std::ostringstream out;
    std::ostringstream err;
    const CommandLine line = ParseCommandLine(args, out, err);
    return {line, out.str(), err.str()};
}

TEST(CommandLine, PlaysWithoutArgumentsAndAnswersHelpVersionClashesAndMistakes) {
    const Outcome none = Parse({});
    EXPECT_TRUE(none.line.play);
    EXPECT_EQ(none.out + none.err, "");

    for (const char* help : {"--help", "-h"}) {
        const Outcome usage = Parse({help, "--no-such-option"});
        EXPECT_FALSE(usage.line.play) << help;
        EXPECT_EQ(usage.line.status, 0) << help;
        EXPECT_EQ(usage.out.rfind("Usage: plemby [OPTION]...\n", 0), 0u) << usage.out;
        EXPECT_NE(usage.out.find("  -h, --help "), std::string::npos) << usage.out;
        EXPECT_NE(usage.out.find("      --version "), std::string::npos) << usage.out;
        EXPECT_NE(usage.out.find("      --replay FILE "), std::string::npos) << usage.out;
        EXPECT_EQ(usage.err, "");
    }

    const Outcome version = Parse({"--version"});
    EXPECT_FALSE(version.line.play);
    EXPECT_EQ(version.line.status, 0);
    EXPECT_EQ(version.out, "plemby " PLEMBY_VERSION "\n");

    // A replay option takes the file after it and runs the program its own way.
    const Outcome replay = Parse({"--replay", "last.plr"});
    EXPECT_TRUE(replay.line.play);
    EXPECT_NE(replay.line.run, nullptr);
    EXPECT_EQ(replay.line.value, "last.plr");
    const Outcome verify = Parse({"--verify-replay", "--help"});
    EXPECT_NE(verify.line.run, nullptr);
    EXPECT_NE(verify.line.run, replay.line.run);
    EXPECT_EQ(verify.line.value, "--help");
    // A replay may be paused at a frame; the frame is a number, and goes only with --replay.
    const Outcome paused = Parse({"--pause-at", "250", "--replay", "last.plr"});
    EXPECT_EQ(paused.line.run, replay.line.run);
    EXPECT_EQ(paused.line.pauseAt, 250u);
    EXPECT_FALSE(replay.line.pauseAt.has_value());
    for (const std::vector<const char*>& wrong :
         {std::vector<const char*>{"--replay", "a.plr", "--pause-at", "-1"},
          {"--replay", "a.plr", "--pause-at", "9x"},
          {"--replay", "a.plr", "--pause-at", "99999999999"},
          {"--pause-at", "10"},
          {"--verify-replay", "a.plr", "--pause-at", "10"}}) {
        const Outcome refused = Parse(wrong);
        EXPECT_FALSE(refused.line.play) << wrong.back();
        EXPECT_EQ(refused.line.status, 2) << wrong.back();
        EXPECT_EQ(refused.err.rfind("plemby: --pause-at ", 0), 0u) << refused.err;
    }
    const Outcome noFile = Parse({"--replay"});
    EXPECT_FALSE(noFile.line.play);
    EXPECT_EQ(noFile.line.status, 2);
    EXPECT_EQ(noFile.err.rfind("plemby: --replay needs FILE\nUsage: plemby", 0), 0u) << noFile.err;

    // The program runs one way at a time: two ways, or one way twice, are refused whole rather
    // than the last one taken.
    const std::vector<std::vector<const char*>> clashes = {
        {"--verify-replay", "a.plr", "--replay", "b.plr"},
        {"--replay", "a.plr", "--verify-replay", "b.plr"},
        {"--replay", "a.plr", "--replay", "b.plr"},
        {"--verify-replay", "a.plr", "--verify-replay"},
    };
    for (const auto& clash : clashes) {
        const Outcome refused = Parse(clash);
        const std::string said = std::string("plemby: ") + clash[0] + " and " + clash[2] +
                                 " cannot go together\nUsage: plemby";
        EXPECT_FALSE(refused.line.play) << said;
        EXPECT_EQ(refused.line.status, 2) << said;
        EXPECT_EQ(refused.line.run, nullptr) << said;
        EXPECT_EQ(refused.out, "") << said;
        EXPECT_EQ(refused.err.rfind(said, 0), 0u) << refused.err;
    }

    // Anything else, a stray word too, is refused before the game starts, with the usage.
    for (const char* wrong : {"--hlep", "-x", "game", "", "--help=1"}) {
        const Outcome refused = Parse({wrong});
        EXPECT_FALSE(refused.line.play) << wrong;
        EXPECT_EQ(refused.line.status, 2) << wrong;
        EXPECT_EQ(refused.out, "") << wrong;
        EXPECT_EQ(refused.err.rfind(std::string("plemby: unknown option '") + wrong + "'\n", 0), 0u)
            << refused.err;
        EXPECT_NE(refused.err.find("Usage: plemby"), std::string::npos) << wrong;
    }
}

}  // namespace
