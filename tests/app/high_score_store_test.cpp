#include "app/high_score_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "support/portable.h"
#include "platform/files.h"
#include "support/temp_home.h"

namespace {

std::filesystem::path StoredFile() {
    return std::filesystem::path(DataDir()) / HIGH_SCORES_FILE_NAME;
}

long Lines(const std::string& text) { return std::count(text.begin(), text.end(), '\n'); }

class HighScoreStore : public ::testing::Test {
protected:
    void SetUp() override { ClearTestHome(); }
    void TearDown() override {
        ClearTestHome();
        LoadHighScores();
    }
};

// A table file that exists but cannot be read may hold the player's scores: the game plays
// with the built-in table, says so once, and never stores over it.
TEST_F(HighScoreStore, AStoredTableThatCannotBeReadIsNeverWrittenOver) {
    std::filesystem::create_directories(StoredFile().parent_path());
    const UnreadableFile unreadable(StoredFile().string());
    ASSERT_TRUE(unreadable.Made());
    testing::internal::CaptureStderr();
    LoadHighScores();
    WriteRowScore(highScoreTable, 0, 500000);
    EXPECT_FALSE(SaveHighScores());
    EXPECT_FALSE(SaveHighScores());
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(Lines(said), 1) << said;
    EXPECT_NE(said.find("cannot read the high scores"), std::string::npos) << said;
    EXPECT_TRUE(unreadable.Untouched());
    EXPECT_EQ(ReadRowScore(highScoreTable, 1), ReadRowScore(BuiltInHighScores(), 1));
}

// A placed score that cannot be stored (a plain file where the plemby folder should be, or no
// data folder at all) is said once; the table goes on in memory.
TEST_F(HighScoreStore, AScoreThatCannotBeStoredIsSaidOnce) {
    std::filesystem::create_directories(StoredFile().parent_path().parent_path());
    std::ofstream(StoredFile().parent_path()) << "not a folder";
    testing::internal::CaptureStderr();
    LoadHighScores();
    const std::string atLoad = testing::internal::GetCapturedStderr();
    EXPECT_EQ(atLoad, "") << "nothing stored yet is nothing to report";
    EXPECT_EQ(highScoreTable, BuiltInHighScores());

    testing::internal::CaptureStderr();
    WriteRowScore(highScoreTable, 7, 2000);
    EXPECT_FALSE(SaveHighScores());
    EXPECT_FALSE(SaveHighScores());
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(Lines(said), 1) << said;
    EXPECT_NE(said.find("cannot store the high scores"), std::string::npos) << said;
    EXPECT_EQ(ReadRowScore(highScoreTable, 7), 2000u);
    EXPECT_TRUE(std::filesystem::is_regular_file(StoredFile().parent_path()));
}

}  // namespace
