#include "screens/high_scores.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <utility>

#include "common/font_codes.h"
#include "game/game_state.h"
#include "gfx/fade.h"
#include "gfx/panel.h"
#include "platform/keys.h"
#include "platform/pending_quit.h"
#include "screens/high_scores_testing.h"
#include "screens/menu_controls.h"
#include "screens/menu_input.h"
#include "screens/navigation.h"
#include "screens/play_screen.h"

std::uint8_t fromMenu = 0;

namespace {

constexpr std::uint8_t FIRST_CHARACTER_KEY = 0x2F;
constexpr std::uint8_t LAST_CHARACTER_KEY = 0x5A;
constexpr std::uint8_t KEY_SPACE = 0x20;
constexpr std::uint8_t KEY_BACKSPACE = 8;
constexpr std::uint8_t KEY_ENTER = 13;
constexpr std::uint32_t FADE_EVERY_FRAME = 0;

constexpr auto ENTRY_CAPTION = FontLabel("ENTER YOUR NAME");
static_assert(ENTRY_CAPTION.size() == 15);

// The letters a controller turns through at the cursor, in the font's code: A to Z, 0 to 9 and
// the blank.
constexpr int ALPHABET_SIZE = 26 + 10 + 1;
constexpr std::array<std::uint8_t, ALPHABET_SIZE> NameAlphabet() {
    std::array<std::uint8_t, ALPHABET_SIZE> alphabet{};
    int i = 0;
    for (char c = 'A'; c <= 'Z'; ++c) alphabet[static_cast<std::size_t>(i++)] = FontCode(c);
    for (char c = '0'; c <= '9'; ++c) alphabet[static_cast<std::size_t>(i++)] = FontCode(c);
    alphabet[static_cast<std::size_t>(i)] = BLANK_CELL;
    return alphabet;
}
constexpr auto NAME_ALPHABET = NameAlphabet();

// What the name entry carries from frame to frame.
struct EntryState {
    // Set once a controller has edited the name being entered: the cursor is then shown, since
    // a controller turns the letter under it.
    bool padEditing = false;
    // The character key seen down and not yet released; 0 when none. It is typed on release.
    int awaitedKey = 0;
};

// Watching a row's game from the table: the row lit by up and down (-1 none), a latch so that a
// held 1 to 8 chooses once, and what was placed or chosen since the game last asked; which rows
// have a game (asked once a visit) and the line under the title.
constexpr int NO_ROW = -1;
struct RowChoice {
    int lit = NO_ROW;
    bool digitLatch = false;
    int placed = NO_ROW;
    int watch = NO_ROW;
    bool gamesKnown = false;
    RowGames games{};
    std::string message;
};

// The screen's state from frame to frame.
struct TableScreen {
    EntryState entry;
    RowChoice rowChoice;
};
TableScreen tableScreen;

// What the program handed the screen: where it stores the table and how it learns which rows
// have a game. Constant-initialised apart from the rest (a string cannot be in every C++
// library), since the program hands the screen its store before main runs.
struct TableHooks {
    bool (*store)() = nullptr;
    RowGames (*findRowGames)() = nullptr;
};
constinit TableHooks tableHooks;

void StoreHighScores() {
    if (tableHooks.store != nullptr) tableHooks.store();
}

// The key that plays a row's game, in a frame beside the row; the line says what the keys do.
constexpr int ROW_KEY_X = 780;
constexpr int HINT_BAND_TOP = 332;
constexpr int HINT_Y = 336;
constexpr int HINT_GLYPHS = 60;
constexpr std::string_view WATCH_HINT = "PRESS THE KEY BESIDE A ROW TO WATCH ITS GAME";

int RowY(int row) { return 400 + 32 * row; }

bool IsEntryKey(int vk) {
    return (vk >= FIRST_CHARACTER_KEY && vk <= LAST_CHARACTER_KEY) || vk == VK_SPACE ||
           vk == VK_BACK || vk == VK_RETURN;
}

std::uint8_t EntryCode(int vk) {
    if (vk == VK_SPACE) return KEY_SPACE;
    if (vk == VK_BACK) return KEY_BACKSPACE;
    if (vk == VK_RETURN) return KEY_ENTER;
    return static_cast<std::uint8_t>(vk);
}

// The awaited key once it has been released, else 0. A close of the window ends the wait as
// well: the key is typed and the frame loop then takes the close.
std::uint8_t TakeAwaitedKey() {
    if (KeyDown(tableScreen.entry.awaitedKey) && !QuitPending()) return 0;
    return EntryCode(std::exchange(tableScreen.entry.awaitedKey, 0));
}

// A character key seen down: its press is dealt with here, and it is typed once it has been
// released, in this frame or a later one.
std::uint8_t TakeHeldKey(int vk) {
    TakeKeyPress(vk);
    tableScreen.entry.awaitedKey = vk;
    return TakeAwaitedKey();
}

// Puts a finished game's score in the first row it beats (below any equal ones), moving the
// rows under it down; the new row's name starts blank and is typed next.
void PlaceScore(std::array<std::uint32_t, HIGH_SCORE_ROWS>& scores) {
    GameState& game = ShownGame();
    if (game.entryAllowed != 1) return;
    const auto row = std::find_if(scores.begin(), scores.end(),
                                  [&game](std::uint32_t s) { return s < game.score; });
    if (row == scores.end()) return;
    const int i = static_cast<int>(row - scores.begin());
    game.entryRow = static_cast<std::uint8_t>(i);
    game.entryAllowed = 0;
    game.entryActive = 1;
    // From here every press counts: one that comes and goes before the keys are next read
    // (while the table is stored, say) is still typed.
    ForgetKeyPresses();
    std::copy_backward(row, scores.end() - 1, scores.end());
    *row = std::min(game.score, HIGH_SCORE_MAX);
    for (int r = 0; r < HIGH_SCORE_ROWS; ++r) WriteRowScore(highScoreTable, r, scores[r]);
    for (int r = HIGH_SCORE_ROWS - 1; r > i; --r) {
        std::copy_n(RowName(highScoreTable, r - 1), NAME_LENGTH, RowName(highScoreTable, r));
    }
    std::fill_n(RowName(highScoreTable, i), NAME_LENGTH, BLANK_CELL);
    tableScreen.entry = EntryState{};
    StoreHighScores();
    tableScreen.rowChoice.placed = i;
}

void TreatEntryKey(std::uint8_t k) {
    GameState& game = ShownGame();
    std::uint8_t& cursor = game.entryCursor;
    if (k == KEY_ENTER) {
        std::copy_n(game.entryName.begin(), NAME_LENGTH, RowName(highScoreTable, game.entryRow));
        game.entryActive = 0;
        cursor = 0;
        StoreHighScores();
    } else if ((k >= 'A' && k <= 'Z') || (k >= '0' && k <= '9')) {
        if (cursor < NAME_LENGTH) game.entryName[cursor++] = FontCode(static_cast<char>(k));
    } else if (k == KEY_SPACE) {
        // A name cannot begin with a blank.
        if (cursor > 0 && cursor < NAME_LENGTH) game.entryName[cursor++] = BLANK_CELL;
    } else if (k == KEY_BACKSPACE) {
        if (cursor > 0) game.entryName[--cursor] = BLANK_CELL;
    }
}

// The key that types the character shown in a cell: moving on past it is typing it again.
std::uint8_t KeyTyping(std::uint8_t code) {
    if (code >= FONT_LETTER_A && code < FONT_LETTER_A + 26) {
        return static_cast<std::uint8_t>('A' + (code - FONT_LETTER_A));
    }
    if (code >= '0' && code <= '9') return code;
    return KEY_SPACE;
}

void TurnLetter(int step) {
    GameState& game = ShownGame();
    std::uint8_t& cell = game.entryName[game.entryCursor];
    const auto* place = std::find(NAME_ALPHABET.begin(), NAME_ALPHABET.end(), cell);
    // Anything not in the alphabet counts as the blank, its last letter.
    const int at = place == NAME_ALPHABET.end() ? ALPHABET_SIZE - 1
                                                : static_cast<int>(place - NAME_ALPHABET.begin());
    cell = NAME_ALPHABET[static_cast<std::size_t>((at + step + ALPHABET_SIZE) % ALPHABET_SIZE)];
}

// A controller edits the name in place: up and down turn the letter at the cursor, right or A
// moves on as typing that letter would, left or B goes back to the letter before without
// erasing it, and Start ends the name as Enter does.
void TreatPadEntry() {
    if (MenuKeyPressed(MenuKey::Start)) {
        TreatEntryKey(KEY_ENTER);
        return;
    }
    const bool up = MenuKeyPressed(MenuKey::LetterUp);
    const bool down = MenuKeyPressed(MenuKey::LetterDown);
    const bool next = MenuKeyPressed(MenuKey::LetterNext);
    const bool back = MenuKeyPressed(MenuKey::LetterBack);
    if (!up && !down && !next && !back) return;
    tableScreen.entry.padEditing = true;
    std::uint8_t& cursor = ShownGame().entryCursor;
    if (cursor < NAME_LENGTH && up != down) TurnLetter(up ? 1 : -1);
    if (next && cursor < NAME_LENGTH) TreatEntryKey(KeyTyping(ShownGame().entryName[cursor]));
    if (back && cursor > 0) --cursor;
}

void DrawPadCursor() {
    GameState& game = ShownGame();
    if (!tableScreen.entry.padEditing || game.entryCursor >= NAME_LENGTH) return;
    const SpriteRect& block = FOCUS_BLOCK;
    const SpriteRect bar = {block.left + 8, block.top + 14, block.left + 24, block.top + 17};
    DrawSprite(textures.SpriteSheet, &bar, static_cast<float>(302 + GLYPH_WIDTH * game.entryCursor),
               350.0f);
}

void DrawNameEntry() {
    GameState& game = ShownGame();
    DrawPanel(296, 276, 432, 80);
    DrawPanel(218, RowY(game.entryRow), 514, 32);
    DrawText(ENTRY_CAPTION.data(), ENTRY_CAPTION.size(), 300, 280);
    TreatEntryKey(ReadEntryKey());
    if (game.entryActive == 1) TreatPadEntry();
    DrawText(game.entryName.data(), NAME_LENGTH, 302, 320);
    if (game.entryActive == 1) DrawPadCursor();
}

void DrawTable(const std::array<std::uint32_t, HIGH_SCORE_ROWS>& scores) {
    for (int row = 0; row < HIGH_SCORE_ROWS; ++row) {
        DrawText(RowName(highScoreTable, row), NAME_LENGTH, 220, RowY(row));
        DrawNumber(scores[row], 636, RowY(row));
    }
}

// Keys 1 to 8 choose a row's game; up and down light a row, and A (or Return) chooses the lit
// one. True when a game was chosen, which the A that chose it must not also leave.
bool ChooseRowGame() {
    RowChoice& choice = tableScreen.rowChoice;
    int digit = NO_ROW;
    for (int row = 0; row < HIGH_SCORE_ROWS; ++row) {
        if (KeyDown('1' + row)) digit = row;
    }
    const bool firstPress = digit != NO_ROW && !choice.digitLatch;
    choice.digitLatch = digit != NO_ROW;
    if (MenuKeyPressed(MenuKey::Down)) {
        choice.lit = choice.lit == NO_ROW ? 0 : (choice.lit + 1) % HIGH_SCORE_ROWS;
    }
    if (MenuKeyPressed(MenuKey::Up)) {
        choice.lit = choice.lit <= 0 ? HIGH_SCORE_ROWS - 1 : choice.lit - 1;
    }
    if (firstPress) {
        choice.watch = digit;
    } else if (choice.lit != NO_ROW && MenuKeyPressed(MenuKey::Confirm)) {
        choice.watch = choice.lit;
    } else {
        return false;
    }
    return true;
}

// Words in the font, centred on a dark band under the title.
void DrawHintLine(const std::string_view text) {
    std::array<std::uint8_t, HINT_GLYPHS> codes{};
    const std::size_t length = std::min(text.size(), codes.size());
    for (std::size_t i = 0; i < length; ++i) codes[i] = FontCode(text[i]);
    const int width = GLYPH_WIDTH * static_cast<int>(length);
    DrawPanel((1024 - width) / 2 - 16, HINT_BAND_TOP, width + 32, GLYPH_HEIGHT + 8);
    DrawText(codes.data(), static_cast<std::uint8_t>(length), (1024 - width) / 2, HINT_Y);
}

void DrawRowGames() {
    RowChoice& choice = tableScreen.rowChoice;
    if (!choice.gamesKnown) {
        choice.games = tableHooks.findRowGames != nullptr ? tableHooks.findRowGames() : RowGames{};
        choice.gamesKnown = true;
    }
    bool any = false;
    for (int row = 0; row < HIGH_SCORE_ROWS; ++row) {
        if (!choice.games[static_cast<std::size_t>(row)]) continue;
        any = true;
        const std::uint8_t key = FontCode(static_cast<char>('1' + row));
        DrawText(&key, 1, ROW_KEY_X, RowY(row));
        DrawFrame({ROW_KEY_X - 6, RowY(row) + 2, ROW_KEY_X + GLYPH_WIDTH + 6, RowY(row) + 30});
    }
    if (!choice.message.empty()) {
        DrawHintLine(choice.message);
    } else if (any) {
        DrawHintLine(WATCH_HINT);
    }
}

void DrawLitRow() {
    if (tableScreen.rowChoice.lit == NO_ROW) return;
    DrawSprite(textures.SpriteSheet, &FOCUS_BLOCK, 152.0f,
               static_cast<float>(RowY(tableScreen.rowChoice.lit)));
}

// Back to the main menu: after a game as from the play screen's Escape; from the menu the menu
// picture simply returns. The table was stored as it changed.
void LeaveScreen() {
    RowChoice& choice = tableScreen.rowChoice;
    // A key held while leaving types nothing more and is a hotkey again.
    tableScreen.entry.awaitedKey = 0;
    choice.lit = NO_ROW;
    choice.gamesKnown = false;
    choice.message.clear();
    if (fromMenu == 0) {
        ReturnToMenuAfterGame();
        return;
    }
    ChangeScreen(MainMenu, {.shown = textures.MenuBackground});
}

}  // namespace

std::uint8_t ReadEntryKey() {
    if (tableScreen.entry.awaitedKey != 0) return TakeAwaitedKey();
    // A press that came and went since the keys were last read is typed first, in the order
    // the keys were pressed; then the keys down now, as they are read.
    if (const int missed = TakeReleasedPress(IsEntryKey)) return EntryCode(missed);
    for (int vk = FIRST_CHARACTER_KEY; vk <= LAST_CHARACTER_KEY; ++vk) {
        if (KeyDown(vk)) return TakeHeldKey(vk);
    }
    if (KeyDown(VK_SPACE)) return TakeHeldKey(VK_SPACE);
    if (KeyDown(VK_BACK)) return TakeHeldKey(VK_BACK);
    if (KeyDown(VK_RETURN)) {
        TakeKeyPress(VK_RETURN);
        return KEY_ENTER;
    }
    return 0;
}

void HighScoresFrame() {
    DrawBackground(FADE_EVERY_FRAME);
    ReadMenuKeys();
    std::array<std::uint32_t, HIGH_SCORE_ROWS> scores{};
    for (int row = 0; row < HIGH_SCORE_ROWS; ++row) scores[row] = ReadRowScore(highScoreTable, row);
    BeginSprites();
    PlaceScore(scores);
    // Return, A, B and Back leave only once the name has been entered: the Enter that ends the
    // name and the controller's letter keys must not also leave.
    const bool naming = ShownGame().entryActive == 1;
    if (naming) DrawNameEntry();
    DrawTable(scores);
    const bool watching = fromMenu == 1 && !naming;
    if (watching) {
        DrawRowGames();
        DrawLitRow();
    }
    EndSprites();
    if (fade.FadeActive != 0) return;
    if (watching && ChooseRowGame()) return;
    // A finger that taps the picture while the name is typed is meant for the device's keyboard
    // beside it, not for leaving the table.
    const bool click = KeyDown(VK_LBUTTON) && !(naming && PointerPressedByTouch());
    if (KeyDown(VK_ESCAPE) || click ||
        (!naming && (MenuKeyPressed(MenuKey::Confirm) || MenuBackHeld()))) {
        LeaveScreen();
    }
}

void SetHighScoreStore(bool (*store)()) { tableHooks.store = store; }

void SetRowGameFinder(RowGames (*find)()) { tableHooks.findRowGames = find; }

void ShowTableMessage(const std::string& text) { tableScreen.rowChoice.message = text; }

void ResetHighScoresScreen() {
    fromMenu = 0;
    tableScreen.entry = EntryState{};
    tableScreen.rowChoice = RowChoice{};
}

bool NameEntryOpen() { return screenId == HighScores && ShownGame().entryActive == 1; }

int KeyAwaitingRelease() { return tableScreen.entry.awaitedKey; }
int TakePlacedRow() { return std::exchange(tableScreen.rowChoice.placed, NO_ROW); }
int TakeWatchRequest() { return std::exchange(tableScreen.rowChoice.watch, NO_ROW); }
