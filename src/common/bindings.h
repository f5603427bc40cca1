#pragma once

#include <array>
#include <cstdint>
#include <iterator>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/play_actions.h"
#include "platform/controllers.h"
#include "platform/keys.h"

// The player's bindings: two keys (by their place on the keyboard) and one controller input for
// each play action, with the two switches of the same screen (the ghost piece and the pause when
// the window loses focus). The CONTROLS screen (screens/controls_screen.cpp) edits them, the
// controls file (common/bindings_file.h) holds them, the bindings store (app/bindings_store.h)
// reads and writes that file, and screens/action_bindings.h reads the devices through them.

constexpr int PAUSE_ACTION = ActionIndex(PlayAction::Pause);
constexpr int KEYS_PER_ACTION = 2;
// Each action has three slots: its two keys, then its controller input.
constexpr int SLOTS_PER_ACTION = KEYS_PER_ACTION + 1;
constexpr int BUTTON_SLOT = KEYS_PER_ACTION;
constexpr int BINDING_SLOT_COUNT = PLAY_ACTION_COUNT * SLOTS_PER_ACTION;
constexpr std::uint8_t NO_PAD_INPUT = 0xFF;

struct ActionBinding {
    std::array<std::uint16_t, KEYS_PER_ACTION> keys{};  // key positions; NO_KEY_POSITION: none
    std::uint8_t pad = NO_PAD_INPUT;                    // a PadInput, or NO_PAD_INPUT
    bool operator==(const ActionBinding&) const = default;
};

constexpr std::uint8_t Pad(PadInput input) { return static_cast<std::uint8_t>(input); }

struct DefaultBinding {
    PlayAction action;
    ActionBinding binding;
};
// The keys and buttons the game has always had: arrows and WASD, Ctrl, Space, Escape and P; the
// controller's A, B, D-pad, Back and Start.
inline constexpr DefaultBinding DEFAULT_BINDING_ROWS[] = {
    {PlayAction::Turn, {{KEY_POSITION_UP, KEY_POSITION_W}, Pad(PadInput::A)}},
    {PlayAction::TurnOther, {{KEY_POSITION_LEFT_CTRL, KEY_POSITION_RIGHT_CTRL}, Pad(PadInput::B)}},
    {PlayAction::ShiftLeft, {{KEY_POSITION_LEFT, KEY_POSITION_A}, Pad(PadInput::Left)}},
    {PlayAction::ShiftRight, {{KEY_POSITION_RIGHT, KEY_POSITION_D}, Pad(PadInput::Right)}},
    {PlayAction::SoftDrop, {{KEY_POSITION_SPACE, NO_KEY_POSITION}, Pad(PadInput::Down)}},
    {PlayAction::HardDrop, {{KEY_POSITION_DOWN, KEY_POSITION_S}, Pad(PadInput::Up)}},
    {PlayAction::Abandon, {{KEY_POSITION_ESCAPE, NO_KEY_POSITION}, Pad(PadInput::Back)}},
    {PlayAction::Pause, {{KEY_POSITION_P, NO_KEY_POSITION}, Pad(PadInput::Start)}},
};
static_assert(InActionOrder(DEFAULT_BINDING_ROWS), "one default per action, in their order");
inline constexpr std::array<ActionBinding, PLAY_ACTION_COUNT> DEFAULT_BINDINGS = [] {
    std::array<ActionBinding, PLAY_ACTION_COUNT> bindings{};
    for (int i = 0; i < PLAY_ACTION_COUNT; ++i) bindings[i] = DEFAULT_BINDING_ROWS[i].binding;
    return bindings;
}();

// The bindings a player starts with: the table above, except where the system keeps a key for
// itself (a browser's Ctrl+W and Escape); another key stands in for it there.
std::array<ActionBinding, PLAY_ACTION_COUNT> StartingBindings();

// Versus: two players at one keyboard, each with one key for each action of their own well.
// No key is in both sets and none is a hotkey or Escape, which leaves the match; nobody abandons
// a match alone, so the abandon action has no key here.
constexpr int VERSUS_PLAYER_COUNT = 2;
using VersusKeys = std::array<std::uint16_t, PLAY_ACTION_COUNT>;
struct DefaultVersusKeys {
    PlayAction action;
    std::array<std::uint16_t, VERSUS_PLAYER_COUNT> keys;  // the left well's, the right well's
};
// The left player's letters beside the right player's arrows, each set laid out like the
// single-player defaults: turn up, drop down, the other turn and the soft drop beside them.
inline constexpr DefaultVersusKeys DEFAULT_VERSUS_KEY_ROWS[] = {
    {PlayAction::Turn, {KEY_POSITION_W, KEY_POSITION_UP}},
    {PlayAction::TurnOther, {KEY_POSITION_Q, KEY_POSITION_RIGHT_SHIFT}},
    {PlayAction::ShiftLeft, {KEY_POSITION_A, KEY_POSITION_LEFT}},
    {PlayAction::ShiftRight, {KEY_POSITION_D, KEY_POSITION_RIGHT}},
    {PlayAction::SoftDrop, {KEY_POSITION_SPACE, KEY_POSITION_RETURN}},
    {PlayAction::HardDrop, {KEY_POSITION_S, KEY_POSITION_DOWN}},
    {PlayAction::Abandon, {NO_KEY_POSITION, NO_KEY_POSITION}},
    {PlayAction::Pause, {KEY_POSITION_TAB, KEY_POSITION_BACKSLASH}},
};
static_assert(InActionOrder(DEFAULT_VERSUS_KEY_ROWS), "one default per action, in their order");
inline constexpr std::array<VersusKeys, VERSUS_PLAYER_COUNT> DEFAULT_VERSUS_KEYS = [] {
    std::array<VersusKeys, VERSUS_PLAYER_COUNT> sets{};
    for (int player = 0; player < VERSUS_PLAYER_COUNT; ++player) {
        for (int i = 0; i < PLAY_ACTION_COUNT; ++i) {
            sets[player][i] = DEFAULT_VERSUS_KEY_ROWS[i].keys[player];
        }
    }
    return sets;
}();
constexpr bool VersusActionHasKey(int action) { return action != ActionIndex(PlayAction::Abandon); }

struct PlayerBindings {
    std::array<ActionBinding, PLAY_ACTION_COUNT> actions = StartingBindings();
    std::array<VersusKeys, VERSUS_PLAYER_COUNT> versus = DEFAULT_VERSUS_KEYS;
    std::uint8_t ghostPiece = 0;        // the cells where the piece would land, in the ghost tiles
    std::uint8_t pauseOnFocusLoss = 1;  // a game pauses when the window loses the focus
    std::uint8_t titleDemo = 1;         // the CPU player shows a game when the title is left alone
    bool operator==(const PlayerBindings&) const = default;
};
extern PlayerBindings bindings;

// The global hotkeys, in the order they are tested. They stay on their keys: none of them can be
// bound to an action, except that P may stay on the pause action, which it performs anyway.
inline constexpr int HOTKEY_KEYS[] = {'P', VK_NEXT, VK_PRIOR, VK_SUBTRACT, VK_ADD,
                                      'M', 'N',     'R',      VK_F10,      VK_F12};
constexpr int HOTKEY_COUNT = static_cast<int>(std::size(HOTKEY_KEYS));
bool IsHotkeyPosition(int position);
// Whether a key may go into a key slot of the action: a known key that is not a hotkey.
bool KeyBindable(int action, int position);

// Whether a key may be one of a versus player's: a known key that is neither a hotkey nor Escape.
bool VersusKeyBindable(int position);
// Puts the key on the player's action. Where either set had it already, that place takes the
// key this one had: the two swap, so no key is lost and none is in both sets.
void BindVersusKey(PlayerBindings& c, int player, int action, int position);
// Where else the key is in the versus sets, as player * PLAY_ACTION_COUNT + action, leaving out
// `exceptIndex`; -1 when nowhere.
int FindVersusKey(const PlayerBindings& c, int position, int exceptIndex);

// The value of a key slot (a key position) or of the button slot (a PadInput or NO_PAD_INPUT).
int SlotValue(const PlayerBindings& c, int action, int slot);

// Puts `value` into the slot. Where it was bound already, in this action or another, that slot
// takes the value the chosen slot had: the two bindings swap, so no key or button is lost.
// Returns the action whose slot gave the value up, or -1 when it was bound nowhere else.
int BindSlot(PlayerBindings& c, int action, int slot, int value);

// Names in any case: "Left Ctrl" is "LEFT CTRL".
bool NamesMatch(std::string_view a, std::string_view b);

// A key's name or label as the screen writes it: capitals, with the signs the game's font lacks
// spelt out ("[" is "LEFT BRACKET").
std::string SpeltForScreen(std::string_view text);
// The place of a key written as the screen shows it ("LEFT BRACKET" is the place of "["), taken
// only when the screen shows that place so; NO_KEY_POSITION otherwise.
int KeyPositionShown(std::string_view shown);

// Where else `value` is bound among the slots of the same kind as `slot`, as action *
// SLOTS_PER_ACTION + slot, leaving out `exceptIndex`; -1 when nowhere.
int FindBinding(const PlayerBindings& b, int slot, int value, int exceptIndex);
// Puts a value into a slot, with no exchange.
void SetSlot(PlayerBindings& b, int action, int slot, int value);
