#include "common/controls.h"

#include <algorithm>
#include <optional>
#include <utility>

PlayerControls controls;

namespace {

// The names of the actions in the file, in their order.
constexpr std::string_view ACTION_NAMES[CONTROL_ACTION_COUNT] = {
    "turn", "turn-other", "shift-left", "shift-right", "soft-drop", "hard-drop", "abandon", "pause",
};
constexpr std::string_view SLOT_NAMES[SLOTS_PER_ACTION] = {"key1", "key2", "button"};
constexpr std::string_view GHOST_NAME = "ghost-piece";
constexpr std::string_view FOCUS_PAUSE_NAME = "pause-on-focus-loss";
constexpr std::string_view NONE = "none";
constexpr std::string_view ON = "on";
constexpr std::string_view OFF = "off";
constexpr int NOT_BOUND = -1;
// A file of a newer version may add lines; this many are kept, the rest counted as not understood.
constexpr std::size_t MAX_KEPT_LINES = 256;

constexpr const char* FILE_HEADER =
    "# Plemby! controls: two keys and one controller button for each action, and two switches.\n"
    "# Actions: turn, turn-other, shift-left, shift-right, soft-drop, hard-drop, abandon, pause.\n"
    "# <action>.key1 and <action>.key2: a key by its place on a US keyboard, in SDL's key names\n"
    "#   (Up, W, Left Ctrl, Space, Keypad 5, ...) or as the CONTROLS screen shows them (LEFT\n"
    "#   BRACKET), or none. The hotkeys P, Page Up, Page Down,\n"
    "#   Keypad - and +, M, N, R, F10 and F12 cannot be bound (P only to pause).\n"
    "# <action>.button: a, b, x, y, back, start, dpup, dpdown, dpleft, dpright, leftshoulder,\n"
    "#   rightshoulder, leftstick, rightstick (the stick counts as the D-pad), as the screen\n"
    "#   shows them (LEFT, LB, ...), or none.\n"
    "# ghost-piece and pause-on-focus-loss: on or off.\n";

// The font has letters, digits and / - + only; the screen spells the other signs of key names.
constexpr std::pair<char, std::string_view> SPELT_SIGNS[] = {
    {'[', "LEFT BRACKET"}, {']', "RIGHT BRACKET"}, {';', "SEMICOLON"},  {'\'', "QUOTE"},
    {'`', "BACKQUOTE"},    {',', "COMMA"},         {'.', "PERIOD"},     {'=', "EQUALS"},
    {'\\', "BACKSLASH"},   {'#', "HASH"},          {'*', "STAR"},       {'%', "PERCENT"},
    {'&', "AND"},          {'|', "BAR"},           {'!', "BANG"},       {'@', "AT"},
    {'^', "CARET"},        {'<', "LESS"},          {'>', "GREATER"},    {':', "COLON"},
    {'(', "LEFT PAREN"},   {')', "RIGHT PAREN"},   {'{', "LEFT BRACE"}, {'}', "RIGHT BRACE"},
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool SameWord(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; };
               return lower(x) == lower(y);
           });
}

// A name a newer version might use: letters, digits and . - _ only.
bool WellFormedName(std::string_view name) {
    return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '.' || c == '-' || c == '_';
    });
}

bool PrintableLine(std::string_view line) {
    return std::all_of(line.begin(), line.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte == '\t' || (byte >= 0x20 && byte != 0x7F);
    });
}

// The slot a name stands for, as action * SLOTS_PER_ACTION + slot; names in any case.
std::optional<int> SlotNamed(std::string_view name) {
    const std::size_t dot = name.find('.');
    if (dot == std::string_view::npos) return std::nullopt;
    for (int action = 0; action < CONTROL_ACTION_COUNT; ++action) {
        if (!SameWord(name.substr(0, dot), ACTION_NAMES[action])) continue;
        for (int slot = 0; slot < SLOTS_PER_ACTION; ++slot) {
            if (SameWord(name.substr(dot + 1), SLOT_NAMES[slot])) {
                return action * SLOTS_PER_ACTION + slot;
            }
        }
    }
    return std::nullopt;
}

// By the file's name or the screen's label ("leftshoulder" or "LB").
std::optional<std::uint8_t> PadNamed(std::string_view name) {
    for (int i = 0; i < PAD_INPUT_COUNT; ++i) {
        const auto input = static_cast<PadInput>(i);
        if (SameWord(name, PadInputName(input)) || SameWord(name, PadInputLabel(input))) {
            return static_cast<std::uint8_t>(i);
        }
    }
    return std::nullopt;
}

// The place of a key written as the screen shows it: its name with the spelt signs put back
// ("LEFT BRACKET" is "[", "KEYPAD STAR" is "Keypad *"), taken only when the screen would show
// that place so.
int KeyPositionShown(std::string_view shown) {
    std::string name;
    for (std::size_t i = 0; i < shown.size();) {
        const std::string_view rest = shown.substr(i);
        const auto* sign = std::find_if(
            std::begin(SPELT_SIGNS), std::end(SPELT_SIGNS),
            [rest](const auto& s) { return SameWord(rest.substr(0, s.second.size()), s.second); });
        if (sign != std::end(SPELT_SIGNS)) {
            name += sign->first;
            i += sign->second.size();
        } else {
            name += shown[i++];
        }
    }
    const int position = KeyPositionNamed(name);
    return SameWord(SpeltForScreen(KeyPositionName(position)), shown) ? position : NO_KEY_POSITION;
}

std::optional<std::uint8_t> SwitchNamed(std::string_view value) {
    if (SameWord(value, ON)) return 1;
    if (SameWord(value, OFF)) return 0;
    return std::nullopt;
}

void SetSlot(PlayerControls& c, int action, int slot, int value) {
    ActionBinding& binding = c.actions[static_cast<std::size_t>(action)];
    if (slot == BUTTON_SLOT) {
        binding.pad = static_cast<std::uint8_t>(value);
    } else {
        binding.keys[static_cast<std::size_t>(slot)] = static_cast<std::uint16_t>(value);
    }
}

bool IsEmpty(int slot, int value) {
    return slot == BUTTON_SLOT ? value == NO_PAD_INPUT : value == NO_KEY_POSITION;
}

// Where else the value is bound, among the slots of the same kind; NOT_BOUND when nowhere.
int FindBinding(const PlayerControls& c, int slot, int value, int exceptIndex) {
    if (IsEmpty(slot, value)) return NOT_BOUND;
    const bool button = slot == BUTTON_SLOT;
    for (int index = 0; index < CONTROL_SLOT_COUNT; ++index) {
        const int other = index % SLOTS_PER_ACTION;
        if (index == exceptIndex || (other == BUTTON_SLOT) != button) continue;
        if (SlotValue(c, index / SLOTS_PER_ACTION, other) == value) return index;
    }
    return NOT_BOUND;
}

// The value of a slot's line, or nullopt when it cannot go there.
std::optional<int> SlotValueNamed(int action, int slot, std::string_view value) {
    if (SameWord(value, NONE)) return slot == BUTTON_SLOT ? NO_PAD_INPUT : NO_KEY_POSITION;
    if (slot == BUTTON_SLOT) {
        if (const auto pad = PadNamed(value)) return *pad;
        return std::nullopt;
    }
    int position = KeyPositionNamed(value);
    if (position == NO_KEY_POSITION) position = KeyPositionShown(value);
    if (!KeyBindable(action, position)) return std::nullopt;
    return position;
}

}  // namespace

std::string SpeltForScreen(std::string_view text) {
    std::string spelt;
    for (const char c : text) {
        const auto* sign = std::find_if(std::begin(SPELT_SIGNS), std::end(SPELT_SIGNS),
                                        [c](const auto& s) { return s.first == c; });
        if (sign != std::end(SPELT_SIGNS)) {
            spelt += sign->second;
        } else {
            spelt += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
        }
    }
    return spelt;
}

bool IsHotkeyPosition(int position) {
    const int vk = VirtualKeyAt(position);
    return vk != 0 &&
           std::find(std::begin(HOTKEY_KEYS), std::end(HOTKEY_KEYS), vk) != std::end(HOTKEY_KEYS);
}

bool KeyBindable(int action, int position) {
    // A place must be known by a name of its own (SDL names two places "Return").
    if (position == NO_KEY_POSITION || KeyPositionNamed(KeyPositionName(position)) != position) {
        return false;
    }
    return !IsHotkeyPosition(position) || (action == PAUSE_ACTION && VirtualKeyAt(position) == 'P');
}

int SlotValue(const PlayerControls& c, int action, int slot) {
    const ActionBinding& binding = c.actions[static_cast<std::size_t>(action)];
    return slot == BUTTON_SLOT ? binding.pad : binding.keys[static_cast<std::size_t>(slot)];
}

int BindSlot(PlayerControls& c, int action, int slot, int value) {
    const int index = action * SLOTS_PER_ACTION + slot;
    const int other = FindBinding(c, slot, value, index);
    if (other != NOT_BOUND) {
        SetSlot(c, other / SLOTS_PER_ACTION, other % SLOTS_PER_ACTION, SlotValue(c, action, slot));
    }
    SetSlot(c, action, slot, value);
    return other == NOT_BOUND ? NOT_BOUND : other / SLOTS_PER_ACTION;
}

ControlsFile ParseControlsFile(std::span<const std::uint8_t> bytes) {
    ControlsFile file;
    std::array<bool, CONTROL_SLOT_COUNT> fromFile{};
    bool ghostRead = false;
    bool focusPauseRead = false;
    const auto bad = [&file](int number) {
        if (file.badLines++ == 0) file.firstBadLine = number;
    };

    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    int number = 0;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++number;
        if (line.ends_with('\r')) line.remove_suffix(1);
        const std::string_view content = Trimmed(line);
        if (content.empty() || content.front() == '#') continue;
        const std::size_t equals = content.find('=');
        if (!PrintableLine(line) || equals == std::string_view::npos) {
            bad(number);
            continue;
        }
        const std::string_view name = Trimmed(content.substr(0, equals));
        const std::string_view value = Trimmed(content.substr(equals + 1));

        const bool ghost = SameWord(name, GHOST_NAME);
        if (ghost || SameWord(name, FOCUS_PAUSE_NAME)) {
            bool& read = ghost ? ghostRead : focusPauseRead;
            const auto on = SwitchNamed(value);
            if (read || !on) {
                bad(number);
                continue;
            }
            read = true;
            (ghost ? file.controls.ghostPiece : file.controls.pauseOnFocusLoss) = *on;
            continue;
        }
        const auto index = SlotNamed(name);
        if (!index) {
            if (WellFormedName(name) && file.unknownLines.size() < MAX_KEPT_LINES) {
                file.unknownLines.emplace_back(content);
            } else {
                bad(number);
            }
            continue;
        }
        const int action = *index / SLOTS_PER_ACTION;
        const int slot = *index % SLOTS_PER_ACTION;
        const auto bound = SlotValueNamed(action, slot, value);
        const int other = bound ? FindBinding(file.controls, slot, *bound, *index) : NOT_BOUND;
        // A slot named twice, or a key or button that an earlier line bound already.
        if (fromFile[static_cast<std::size_t>(*index)] || !bound ||
            (other != NOT_BOUND && fromFile[static_cast<std::size_t>(other)])) {
            bad(number);
            continue;
        }
        // A default that held this key or button gives it up.
        if (other != NOT_BOUND) {
            SetSlot(file.controls, other / SLOTS_PER_ACTION, other % SLOTS_PER_ACTION,
                    slot == BUTTON_SLOT ? NO_PAD_INPUT : NO_KEY_POSITION);
        }
        SetSlot(file.controls, action, slot, *bound);
        fromFile[static_cast<std::size_t>(*index)] = true;
    }
    return file;
}

std::string FormatControlsFile(const PlayerControls& c,
                               const std::vector<std::string>& unknownLines) {
    std::string text = FILE_HEADER;
    for (int action = 0; action < CONTROL_ACTION_COUNT; ++action) {
        for (int slot = 0; slot < SLOTS_PER_ACTION; ++slot) {
            const int value = SlotValue(c, action, slot);
            std::string shown(NONE);
            if (slot == BUTTON_SLOT && value < PAD_INPUT_COUNT) {
                shown = PadInputName(static_cast<PadInput>(value));
            } else if (slot != BUTTON_SLOT && KeyBindable(action, value)) {
                shown = KeyPositionName(value);
            }
            text.append(ACTION_NAMES[action]).append(".").append(SLOT_NAMES[slot]);
            text.append(" = ").append(shown).append("\n");
        }
    }
    text.append(GHOST_NAME).append(" = ").append(c.ghostPiece ? ON : OFF).append("\n");
    text.append(FOCUS_PAUSE_NAME).append(" = ").append(c.pauseOnFocusLoss ? ON : OFF).append("\n");
    for (const std::string& line : unknownLines) text.append(line).append("\n");
    return text;
}
