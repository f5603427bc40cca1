#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/bindings_store_testing.h"
#include "common/bindings_file.h"
#include "platform/files.h"
#include "support/temp_home.h"

namespace {

std::string ControlsFilePath() { return ConfigDir() + "/controls.txt"; }

void WriteFile(const std::string& text) {
    std::filesystem::create_directories(ConfigDir());
    std::ofstream(ControlsFilePath(), std::ios::binary) << text;
}

std::string ReadFile() {
    std::ifstream in(ControlsFilePath(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

int Key(int action, int slot) { return SlotValue(bindings, action, slot); }

class ControlsStore : public ::testing::Test {
protected:
    void SetUp() override { ClearTestHome(); }
};

// A file written by hand and by a newer version: the lines understood are kept, the unknown ones
// survive a save, the damaged ones fall back to the defaults with one line on stderr, and the file
// stays as it was until the player changes something.
TEST_F(ControlsStore, PartlyValidFileKeptUntilThePlayerChangesSomething) {
    // Nothing stored: the defaults, and nothing written.
    LoadBindings();
    EXPECT_EQ(bindings, PlayerBindings{});
    StoreBindings();
    EXPECT_FALSE(std::filesystem::exists(ControlsFilePath()));

    const std::string written =
        "# mine\r\n"
        "turn.key1 = Keypad 8\r\n"
        "  Hard-Drop.Button=y\n"
        "soft-drop.key1 = Up\n"  // free: turn.key1 left it above
        "shift-left.key1 = Return\n"
        "shift-right.key1 = Nowhere\n"
        "turn-other.key1 = M\n"  // a hotkey
        "turn.key2 = Up\n"       // bound by a line above
        "ghost-piece = on\n"
        "Title-Demo = off\n"
        "spin.key1 = Keypad 5\n"
        "no equals sign\n";
    WriteFile(written);
    testing::internal::CaptureStderr();
    LoadBindings();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_NE(said.find("line 6"), std::string::npos) << said;

    EXPECT_EQ(Key(0, 0), 96) << "Keypad 8";
    EXPECT_EQ(Key(0, 1), KEY_POSITION_W) << "a refused line leaves the default";
    EXPECT_EQ(Key(5, BUTTON_SLOT), static_cast<int>(PadInput::Y));
    EXPECT_EQ(Key(4, 0), KEY_POSITION_UP);
    EXPECT_EQ(Key(2, 0), 40);
    EXPECT_EQ(Key(3, 0), KEY_POSITION_RIGHT);
    EXPECT_EQ(Key(1, 0), KEY_POSITION_LEFT_CTRL);
    EXPECT_EQ(bindings.ghostPiece, 1);
    EXPECT_EQ(bindings.pauseOnFocusLoss, 1);
    EXPECT_EQ(bindings.titleDemo, 0);

    StoreBindings();
    EXPECT_EQ(ReadFile(), written) << "not written over while nothing changed";

    // A change (a key bound elsewhere swaps): written whole, the unknown line kept, and read back
    // the same.
    EXPECT_EQ(BindSlot(bindings, 0, 0, KEY_POSITION_UP), 4);
    EXPECT_EQ(Key(0, 0), KEY_POSITION_UP);
    EXPECT_EQ(Key(4, 0), 96);
    const PlayerBindings changed = bindings;
    StoreBindings();
    const std::string rewritten = ReadFile();
    EXPECT_NE(rewritten.find("spin.key1 = Keypad 5\n"), std::string::npos) << rewritten;
    EXPECT_EQ(rewritten.find("no equals"), std::string::npos);
    testing::internal::CaptureStderr();
    LoadBindings();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(bindings, changed);

    // A file that cannot be read is never written over.
    std::filesystem::remove(ControlsFilePath());
    std::filesystem::create_directories(ControlsFilePath());
    testing::internal::CaptureStderr();
    LoadBindings();
    EXPECT_NE(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(bindings, PlayerBindings{});
    bindings.ghostPiece = 1;
    StoreBindings();
    EXPECT_TRUE(std::filesystem::is_directory(ControlsFilePath()));
}

// What the CONTROLS screen shows can be written in the file as it stands: every key the screen
// can show by its spelt name ("LEFT BRACKET" for "["), and a button by its label ("LB").
TEST(BindingsFile, TakesTheNamesTheScreenShows) {
    const auto parsed = [](const std::string& text) {
        return ParseBindingsFile({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
    };
    int spelt = 0;
    for (int position = 1; position < KEY_POSITION_COUNT; ++position) {
        if (!KeyBindable(0, position)) continue;
        const std::string shown = SpeltForScreen(KeyPositionName(position));
        const BindingsFile file = parsed("turn.key1 = " + shown + "\n");
        EXPECT_EQ(file.badLines, 0) << shown;
        EXPECT_EQ(SlotValue(file.bindings, 0, 0), position) << shown;
        if (shown.size() > KeyPositionName(position).size()) ++spelt;
    }
    EXPECT_GT(spelt, 0) << "some signs were spelt out";

    const BindingsFile labels = parsed(
        "turn.key1 = left bracket\nturn-other.button = LB\nshift-left.button = LEFT\n"
        "hard-drop.key1 = KEYPAD STAR\nsoft-drop.key1 = LEFT BRACKETS\n");
    EXPECT_EQ(SlotValue(labels.bindings, 0, 0), KeyPositionNamed("["));
    EXPECT_EQ(SlotValue(labels.bindings, 1, BUTTON_SLOT), static_cast<int>(PadInput::LeftShoulder));
    EXPECT_EQ(SlotValue(labels.bindings, 2, BUTTON_SLOT), static_cast<int>(PadInput::Left));
    EXPECT_EQ(SlotValue(labels.bindings, 5, 0), KeyPositionNamed("Keypad *"));
    EXPECT_EQ(labels.badLines, 1) << "no key is shown as LEFT BRACKETS";
    EXPECT_EQ(labels.firstBadLine, 5);
}

// The versus section: the two default sets share no key and hold no hotkey; a file without the
// section (every file written before it) reads as before with the default sets; the section's
// lines take keys from the defaults, never give one key to two places, and read back as written.
TEST(BindingsFile, VersusKeySetsKeepEveryKeyInOnePlace) {
    const auto parsed = [](const std::string& text) {
        return ParseBindingsFile({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
    };
    std::vector<int> keys;
    for (const VersusKeys& set : DEFAULT_VERSUS_KEYS) {
        for (int action = 0; action < PLAY_ACTION_COUNT; ++action) {
            if (!VersusActionHasKey(action)) continue;
            EXPECT_TRUE(VersusKeyBindable(set[action])) << KeyPositionName(set[action]);
            EXPECT_EQ(std::count(keys.begin(), keys.end(), set[action]), 0)
                << KeyPositionName(set[action]);
            keys.push_back(set[action]);
        }
    }

    const BindingsFile older = parsed("turn.key1 = Keypad 8\nghost-piece = on\n");
    EXPECT_EQ(older.badLines, 0);
    EXPECT_TRUE(older.unknownLines.empty());
    EXPECT_EQ(older.bindings.versus, DEFAULT_VERSUS_KEYS);
    EXPECT_EQ(SlotValue(older.bindings, 0, 0), 96);

    const BindingsFile file = parsed(
        "versus2.hard-drop = S\n"      // the left player's default gives it up
        "Versus1.Turn = Keypad 8\n"    // the single-player keys are another mode's
        "versus1.shift-left = Down\n"  // free since the first line
        "versus2.turn = Keypad 8\n"    // taken by a line above
        "versus1.pause = M\n"          // a hotkey
        "versus2.pause = Escape\n"     // leaves the match
        "versus1.abandon = Z\n"        // kept for a version that knows it
        "versus2.shift-left = left bracket\n");
    EXPECT_EQ(file.badLines, 3);
    EXPECT_EQ(file.firstBadLine, 4);
    const VersusKeys& left = file.bindings.versus[0];
    const VersusKeys& right = file.bindings.versus[1];
    EXPECT_EQ(right[ActionIndex(PlayAction::HardDrop)], KEY_POSITION_S);
    EXPECT_EQ(left[ActionIndex(PlayAction::HardDrop)], NO_KEY_POSITION);
    EXPECT_EQ(left[ActionIndex(PlayAction::Turn)], 96);
    EXPECT_EQ(left[ActionIndex(PlayAction::ShiftLeft)], KEY_POSITION_DOWN);
    EXPECT_EQ(right[ActionIndex(PlayAction::Turn)], KEY_POSITION_UP);
    EXPECT_EQ(right[ActionIndex(PlayAction::Pause)], KEY_POSITION_BACKSLASH);
    EXPECT_EQ(right[ActionIndex(PlayAction::ShiftLeft)], KeyPositionNamed("["));
    EXPECT_EQ(file.unknownLines, std::vector<std::string>{"versus1.abandon = Z"});

    // Binding on the screen swaps, so a key is still in one place only.
    PlayerBindings changed = file.bindings;
    BindVersusKey(changed, 0, ActionIndex(PlayAction::Pause), KEY_POSITION_UP);
    EXPECT_EQ(changed.versus[0][ActionIndex(PlayAction::Pause)], KEY_POSITION_UP);
    EXPECT_EQ(changed.versus[1][ActionIndex(PlayAction::Turn)], KEY_POSITION_TAB);

    const std::string text = FormatBindingsFile(changed, file.unknownLines);
    EXPECT_NE(text.find("versus1.hard-drop = none\n"), std::string::npos) << text;
    const BindingsFile again = parsed(text);
    EXPECT_EQ(again.badLines, 0);
    EXPECT_EQ(again.bindings, changed);
    EXPECT_EQ(again.unknownLines, file.unknownLines);
}

}  // namespace
