#pragma once

#include <array>
#include <cstdint>
#include <iterator>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/controllers.h"
#include "platform/keys.h"

// The controls the player makes their own: two keys (by their place on the keyboard) and one
// controller input for each of the eight play actions, the ghost piece and the pause when the
// window loses focus. They are kept apart from the settings record, in a text file of their own.

// The play actions in their order: turn, turn the other way, shift left, shift right, soft drop,
// hard drop, abandon, pause.
constexpr int CONTROL_ACTION_COUNT = 8;
constexpr int PAUSE_ACTION = 7;
constexpr int KEYS_PER_ACTION = 2;
// Each action has three slots: its two keys, then its controller input.
constexpr int SLOTS_PER_ACTION = KEYS_PER_ACTION + 1;
constexpr int BUTTON_SLOT = KEYS_PER_ACTION;
constexpr int CONTROL_SLOT_COUNT = CONTROL_ACTION_COUNT * SLOTS_PER_ACTION;
constexpr std::uint8_t NO_PAD_INPUT = 0xFF;

struct ActionBinding {
    std::array<std::uint16_t, KEYS_PER_ACTION> keys{};  // key positions; NO_KEY_POSITION: none
    std::uint8_t pad = NO_PAD_INPUT;                    // a PadInput, or NO_PAD_INPUT
    bool operator==(const ActionBinding&) const = default;
};

constexpr std::uint8_t Pad(PadInput input) { return static_cast<std::uint8_t>(input); }

// The keys and buttons the game has always had: arrows and WASD, Ctrl, Space, Escape and P; the
// controller's A, B, D-pad, Back and Start.
inline constexpr std::array<ActionBinding, CONTROL_ACTION_COUNT> DEFAULT_BINDINGS = {{
    {{KEY_POSITION_UP, KEY_POSITION_W}, Pad(PadInput::A)},
    {{KEY_POSITION_LEFT_CTRL, KEY_POSITION_RIGHT_CTRL}, Pad(PadInput::B)},
    {{KEY_POSITION_LEFT, KEY_POSITION_A}, Pad(PadInput::Left)},
    {{KEY_POSITION_RIGHT, KEY_POSITION_D}, Pad(PadInput::Right)},
    {{KEY_POSITION_SPACE, NO_KEY_POSITION}, Pad(PadInput::Down)},
    {{KEY_POSITION_DOWN, KEY_POSITION_S}, Pad(PadInput::Up)},
    {{KEY_POSITION_ESCAPE, NO_KEY_POSITION}, Pad(PadInput::Back)},
    {{KEY_POSITION_P, NO_KEY_POSITION}, Pad(PadInput::Start)},
}};

struct PlayerControls {
    std::array<ActionBinding, CONTROL_ACTION_COUNT> actions = DEFAULT_BINDINGS;
    std::uint8_t ghostPiece = 0;        // the cells where the piece would land, drawn faintly
    std::uint8_t pauseOnFocusLoss = 1;  // a game pauses when the window loses the focus
    bool operator==(const PlayerControls&) const = default;
};
extern PlayerControls controls;

// The global hotkeys, in the order they are tested. They stay on their keys: none of them can be
// bound to an action, except that P may stay on the pause action, which it performs anyway.
inline constexpr int HOTKEY_KEYS[] = {'P', VK_NEXT, VK_PRIOR, VK_SUBTRACT, VK_ADD,
                                      'M', 'N',     'R',      VK_F10,      VK_F12};
constexpr int HOTKEY_COUNT = static_cast<int>(std::size(HOTKEY_KEYS));
bool IsHotkeyPosition(int position);
// Whether a key may go into a key slot of the action: a known key that is not a hotkey.
bool KeyBindable(int action, int position);

// The value of a key slot (a key position) or of the button slot (a PadInput or NO_PAD_INPUT).
int SlotValue(const PlayerControls& c, int action, int slot);

// Puts `value` into the slot. Where it was bound already, in this action or another, that slot
// takes the value the chosen slot had: the two bindings swap, so no key or button is lost.
// Returns the action whose slot gave the value up, or -1 when it was bound nowhere else.
int BindSlot(PlayerControls& c, int action, int slot, int value);

// A key's name or label as the screen writes it: capitals, with the signs the game's font lacks
// spelt out ("[" is "LEFT BRACKET").
std::string SpeltForScreen(std::string_view text);

// The controls file: one "name = value" line a slot or switch, as written by FormatControlsFile.
// A slot's value may also be written as the CONTROLS screen shows it ("LEFT BRACKET", "LB").
struct ControlsFile {
    PlayerControls controls;                // the defaults, with every valid line applied
    std::vector<std::string> unknownLines;  // well-formed lines of names this version does not know
    int badLines = 0;                       // lines not understood, their slots left at defaults
    int firstBadLine = 0;                   // its number, from 1
};
constexpr std::size_t MAX_CONTROLS_FILE_BYTES = 64 * 1024;
ControlsFile ParseControlsFile(std::span<const std::uint8_t> bytes);
std::string FormatControlsFile(const PlayerControls& c,
                               const std::vector<std::string>& unknownLines);
