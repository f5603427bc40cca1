#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/versus_results_store_testing.h"
#include "platform/files.h"
#include "support/temp_home.h"

namespace {

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

long Lines(const std::string& text) { return std::count(text.begin(), text.end(), '\n'); }

// The results of every match are kept across runs; a damaged file gives no results and one
// line, is moved aside untouched, and the next match is stored again in its place.
TEST(VersusResultsStore, ResultsSurviveARestartAndADamagedFileIsMovedAside) {
    ClearTestHome();
    ResetVersusResults();
    testing::internal::CaptureStderr();
    LoadVersusResults();
    EXPECT_EQ(versusResults, VersusResults{});
    ASSERT_TRUE(RecordVersusMatch(CpuStrength::Hard, MatchOutcome::Lost));
    ASSERT_TRUE(RecordVersusMatch(CpuStrength::Hard, MatchOutcome::Won));
    ASSERT_TRUE(RecordVersusMatch(CpuStrength::Easy, MatchOutcome::Drawn));
    LoadVersusResults();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    const VersusResults expected = {{{0, 0, 1}, {0, 0, 0}, {1, 1, 0}}};
    EXPECT_EQ(versusResults, expected);
    EXPECT_EQ(ReadBytes(VersusResultsPath()), FormatVersusResults(expected));

    std::vector<std::uint8_t> damaged = FormatVersusResults(expected);
    damaged.pop_back();
    std::ofstream(VersusResultsPath(), std::ios::binary)
        .write(reinterpret_cast<const char*>(damaged.data()),
               static_cast<std::streamsize>(damaged.size()));
    testing::internal::CaptureStderr();
    LoadVersusResults();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(Lines(said), 1) << said;
    EXPECT_NE(said.find("damaged"), std::string::npos) << said;
    EXPECT_EQ(versusResults, VersusResults{});
    const std::string aside = VersusResultsPath() + DAMAGED_SUFFIX;
    EXPECT_EQ(ReadBytes(aside), damaged);
    EXPECT_FALSE(std::filesystem::exists(VersusResultsPath()));

    ASSERT_TRUE(RecordVersusMatch(CpuStrength::Medium, MatchOutcome::Won));
    LoadVersusResults();
    EXPECT_EQ(versusResults, (VersusResults{{{0, 0, 0}, {1, 0, 0}, {0, 0, 0}}}));
    EXPECT_EQ(ReadBytes(aside), damaged);
    ClearTestHome();
    ResetVersusResults();
}

}  // namespace
