#include "common/bindings_file.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

namespace {

constexpr std::string_view SLOT_NAMES[SLOTS_PER_ACTION] = {"key1", "key2", "button"};
// The switches of the CONTROLS screen, by their names in the file.
struct SwitchName {
    std::string_view name;
    std::uint8_t PlayerBindings::*flag;
};
constexpr SwitchName SWITCHES[] = {
    {"ghost-piece", &PlayerBindings::ghostPiece},
    {"pause-on-focus-loss", &PlayerBindings::pauseOnFocusLoss},
    {"title-demo", &PlayerBindings::titleDemo},
};
constexpr std::size_t SWITCH_COUNT = std::size(SWITCHES);
constexpr std::string_view NONE = "none";
constexpr std::string_view ON = "on";
constexpr std::string_view OFF = "off";
constexpr int NOT_BOUND = -1;
// A file of a newer version may add lines; this many are kept, the rest counted as not understood.
constexpr std::size_t MAX_KEPT_LINES = 256;

std::string FileHeader() {
    std::string header =
        "# Plemby! controls: two keys and one controller button for each action, and switches.\n"
        "# Actions:";
    for (const PlayActionNames& action : PLAY_ACTIONS) {
        header.append(" ")
            .append(action.fileName)
            .append(action.action == PlayAction::Pause ? "." : ",");
    }
    header +=
        "\n"
        "# <action>.key1 and <action>.key2: a key by its place on a US keyboard, in SDL's key "
        "names\n"
        "#   (Up, W, Left Ctrl, Space, Keypad 5, ...) or as the CONTROLS screen shows them (LEFT\n"
        "#   BRACKET), or none. The hotkeys P, Page Up, Page Down, Keypad - and +, M, N, R, F10\n"
        "#   and F12 cannot be bound (P only to pause).\n"
        "# <action>.button: a, b, x, y, back, start, dpup, dpdown, dpleft, dpright, leftshoulder,\n"
        "#   rightshoulder, leftstick, rightstick (the stick counts as the D-pad), as the screen\n"
        "#   shows them (LEFT, LB, ...), or none.\n"
        "# Switches:";
    for (const SwitchName& s : SWITCHES) header.append(" ").append(s.name);
    header +=
        ": on or off.\n"
        "# versus1.<action> and versus2.<action>: the left and the right player's key in a versus\n"
        "#   match, one each, never the same key twice, never a hotkey or Escape (which leaves\n"
        "#   the match); every action but abandon.\n";
    return header;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
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
    for (int action = 0; action < PLAY_ACTION_COUNT; ++action) {
        if (!NamesMatch(name.substr(0, dot), PLAY_ACTIONS[action].fileName)) continue;
        for (int slot = 0; slot < SLOTS_PER_ACTION; ++slot) {
            if (NamesMatch(name.substr(dot + 1), SLOT_NAMES[slot])) {
                return action * SLOTS_PER_ACTION + slot;
            }
        }
    }
    return std::nullopt;
}

// A versus player's key, as player * PLAY_ACTION_COUNT + action: "versus1.turn", "versus2.pause".
constexpr std::string_view VERSUS_PREFIXES[VERSUS_PLAYER_COUNT] = {"versus1", "versus2"};
std::optional<int> VersusKeyNamed(std::string_view name) {
    const std::size_t dot = name.find('.');
    if (dot == std::string_view::npos) return std::nullopt;
    for (int player = 0; player < VERSUS_PLAYER_COUNT; ++player) {
        if (!NamesMatch(name.substr(0, dot), VERSUS_PREFIXES[player])) continue;
        for (int action = 0; action < PLAY_ACTION_COUNT; ++action) {
            if (VersusActionHasKey(action) &&
                NamesMatch(name.substr(dot + 1), PLAY_ACTIONS[action].fileName)) {
                return player * PLAY_ACTION_COUNT + action;
            }
        }
    }
    return std::nullopt;
}

std::optional<int> VersusKeyValueNamed(std::string_view value) {
    if (NamesMatch(value, NONE)) return NO_KEY_POSITION;
    int position = KeyPositionNamed(value);
    if (position == NO_KEY_POSITION) position = KeyPositionShown(value);
    if (!VersusKeyBindable(position)) return std::nullopt;
    return position;
}

// By the file's name or the screen's label ("leftshoulder" or "LB").
std::optional<std::uint8_t> PadNamed(std::string_view name) {
    for (int i = 0; i < PAD_INPUT_COUNT; ++i) {
        const auto input = static_cast<PadInput>(i);
        if (NamesMatch(name, PadInputName(input)) || NamesMatch(name, PadInputLabel(input))) {
            return static_cast<std::uint8_t>(i);
        }
    }
    return std::nullopt;
}

std::optional<std::uint8_t> SwitchNamed(std::string_view value) {
    if (NamesMatch(value, ON)) return 1;
    if (NamesMatch(value, OFF)) return 0;
    return std::nullopt;
}

// The value of a slot's line, or nullopt when it cannot go there.
std::optional<int> SlotValueNamed(int action, int slot, std::string_view value) {
    if (NamesMatch(value, NONE)) return slot == BUTTON_SLOT ? NO_PAD_INPUT : NO_KEY_POSITION;
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

BindingsFile ParseBindingsFile(std::span<const std::uint8_t> bytes) {
    BindingsFile file;
    std::array<bool, BINDING_SLOT_COUNT> fromFile{};
    std::array<bool, SWITCH_COUNT> switchRead{};
    std::array<bool, VERSUS_PLAYER_COUNT * PLAY_ACTION_COUNT> versusFromFile{};
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

        const auto* named =
            std::find_if(std::begin(SWITCHES), std::end(SWITCHES),
                         [name](const SwitchName& s) { return NamesMatch(name, s.name); });
        if (named != std::end(SWITCHES)) {
            bool& read = switchRead[static_cast<std::size_t>(named - std::begin(SWITCHES))];
            const auto on = SwitchNamed(value);
            if (read || !on) {
                bad(number);
                continue;
            }
            read = true;
            file.bindings.*named->flag = *on;
            continue;
        }
        if (const auto versus = VersusKeyNamed(name)) {
            const auto key = VersusKeyValueNamed(value);
            const int other = key ? FindVersusKey(file.bindings, *key, *versus) : NOT_BOUND;
            if (versusFromFile[static_cast<std::size_t>(*versus)] || !key ||
                (other != NOT_BOUND && versusFromFile[static_cast<std::size_t>(other)])) {
                bad(number);
                continue;
            }
            // A default that held this key gives it up.
            if (other != NOT_BOUND) {
                file.bindings.versus[static_cast<std::size_t>(other / PLAY_ACTION_COUNT)]
                                    [static_cast<std::size_t>(other % PLAY_ACTION_COUNT)] =
                    NO_KEY_POSITION;
            }
            file.bindings.versus[static_cast<std::size_t>(*versus / PLAY_ACTION_COUNT)]
                                [static_cast<std::size_t>(*versus % PLAY_ACTION_COUNT)] =
                static_cast<std::uint16_t>(*key);
            versusFromFile[static_cast<std::size_t>(*versus)] = true;
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
        const int other = bound ? FindBinding(file.bindings, slot, *bound, *index) : NOT_BOUND;
        // A slot named twice, or a key or button that an earlier line bound already.
        if (fromFile[static_cast<std::size_t>(*index)] || !bound ||
            (other != NOT_BOUND && fromFile[static_cast<std::size_t>(other)])) {
            bad(number);
            continue;
        }
        // A default that held this key or button gives it up.
        if (other != NOT_BOUND) {
            SetSlot(file.bindings, other / SLOTS_PER_ACTION, other % SLOTS_PER_ACTION,
                    slot == BUTTON_SLOT ? NO_PAD_INPUT : NO_KEY_POSITION);
        }
        SetSlot(file.bindings, action, slot, *bound);
        fromFile[static_cast<std::size_t>(*index)] = true;
    }
    return file;
}

std::string FormatBindingsFile(const PlayerBindings& b,
                               const std::vector<std::string>& unknownLines) {
    std::string text = FileHeader();
    for (int action = 0; action < PLAY_ACTION_COUNT; ++action) {
        for (int slot = 0; slot < SLOTS_PER_ACTION; ++slot) {
            const int value = SlotValue(b, action, slot);
            std::string shown(NONE);
            if (slot == BUTTON_SLOT && value < PAD_INPUT_COUNT) {
                shown = PadInputName(static_cast<PadInput>(value));
            } else if (slot != BUTTON_SLOT && KeyBindable(action, value)) {
                shown = KeyPositionName(value);
            }
            text.append(PLAY_ACTIONS[action].fileName).append(".").append(SLOT_NAMES[slot]);
            text.append(" = ").append(shown).append("\n");
        }
    }
    for (const SwitchName& s : SWITCHES) {
        text.append(s.name).append(" = ").append(b.*s.flag ? ON : OFF).append("\n");
    }
    for (int player = 0; player < VERSUS_PLAYER_COUNT; ++player) {
        for (int action = 0; action < PLAY_ACTION_COUNT; ++action) {
            if (!VersusActionHasKey(action)) continue;
            const int key = b.versus[static_cast<std::size_t>(player)][static_cast<std::size_t>(action)];
            text.append(VERSUS_PREFIXES[player]).append(".").append(PLAY_ACTIONS[action].fileName);
            text.append(" = ")
                .append(VersusKeyBindable(key) ? KeyPositionName(key) : std::string(NONE))
                .append("\n");
        }
    }
    for (const std::string& line : unknownLines) text.append(line).append("\n");
    return text;
}
