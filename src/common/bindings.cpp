#include "common/bindings.h"

#include <algorithm>
#include <utility>

#include "platform/system_keys.h"

PlayerBindings bindings;

namespace {

constexpr int NOT_BOUND = -1;

// The font has letters, digits and / - + only; the screen spells the other signs of key names.
constexpr std::pair<char, std::string_view> SPELT_SIGNS[] = {
    {'[', "LEFT BRACKET"}, {']', "RIGHT BRACKET"}, {';', "SEMICOLON"},  {'\'', "QUOTE"},
    {'`', "BACKQUOTE"},    {',', "COMMA"},         {'.', "PERIOD"},     {'=', "EQUALS"},
    {'\\', "BACKSLASH"},   {'#', "HASH"},          {'*', "STAR"},       {'%', "PERCENT"},
    {'&', "AND"},          {'|', "BAR"},           {'!', "BANG"},       {'@', "AT"},
    {'^', "CARET"},        {'<', "LESS"},          {'>', "GREATER"},    {':', "COLON"},
    {'(', "LEFT PAREN"},   {')', "RIGHT PAREN"},   {'{', "LEFT BRACE"}, {'}', "RIGHT BRACE"},
};

bool IsEmpty(int slot, int value) {
    return slot == BUTTON_SLOT ? value == NO_PAD_INPUT : value == NO_KEY_POSITION;
}

}  // namespace

bool NamesMatch(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; };
               return lower(x) == lower(y);
           });
}

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

// The place of a key written as the screen shows it: its name with the spelt signs put back
// ("LEFT BRACKET" is "[", "KEYPAD STAR" is "Keypad *"), taken only when the screen would show
// that place so.
int KeyPositionShown(std::string_view shown) {
    std::string name;
    for (std::size_t i = 0; i < shown.size();) {
        const std::string_view rest = shown.substr(i);
        const auto* sign =
            std::find_if(std::begin(SPELT_SIGNS), std::end(SPELT_SIGNS), [rest](const auto& s) {
                return NamesMatch(rest.substr(0, s.second.size()), s.second);
            });
        if (sign != std::end(SPELT_SIGNS)) {
            name += sign->first;
            i += sign->second.size();
        } else {
            name += shown[i++];
        }
    }
    const int position = KeyPositionNamed(name);
    return NamesMatch(SpeltForScreen(KeyPositionName(position)), shown) ? position
                                                                        : NO_KEY_POSITION;
}

void SetSlot(PlayerBindings& c, int action, int slot, int value) {
    ActionBinding& binding = c.actions[static_cast<std::size_t>(action)];
    if (slot == BUTTON_SLOT) {
        binding.pad = static_cast<std::uint8_t>(value);
    } else {
        binding.keys[static_cast<std::size_t>(slot)] = static_cast<std::uint16_t>(value);
    }
}

int FindBinding(const PlayerBindings& c, int slot, int value, int exceptIndex) {
    if (IsEmpty(slot, value)) return NOT_BOUND;
    const bool button = slot == BUTTON_SLOT;
    for (int index = 0; index < BINDING_SLOT_COUNT; ++index) {
        const int other = index % SLOTS_PER_ACTION;
        if (index == exceptIndex || (other == BUTTON_SLOT) != button) continue;
        if (SlotValue(c, index / SLOTS_PER_ACTION, other) == value) return index;
    }
    return NOT_BOUND;
}

bool IsHotkeyPosition(int position) {
    const int vk = VirtualKeyAt(position);
    return vk != 0 &&
           std::find(std::begin(HOTKEY_KEYS), std::end(HOTKEY_KEYS), vk) != std::end(HOTKEY_KEYS);
}

std::array<ActionBinding, PLAY_ACTION_COUNT> StartingBindings() {
    std::array<ActionBinding, PLAY_ACTION_COUNT> starting = DEFAULT_BINDINGS;
    for (ActionBinding& binding : starting) {
        for (std::uint16_t& key : binding.keys) {
            if (key != NO_KEY_POSITION) key = static_cast<std::uint16_t>(DefaultKeyInPlaceOf(key));
        }
    }
    return starting;
}

bool KeyBindable(int action, int position) {
    // A place must be known by a name of its own (SDL names two places "Return").
    if (position == NO_KEY_POSITION || KeyPositionNamed(KeyPositionName(position)) != position) {
        return false;
    }
    return !IsHotkeyPosition(position) || (action == PAUSE_ACTION && VirtualKeyAt(position) == 'P');
}

int SlotValue(const PlayerBindings& c, int action, int slot) {
    const ActionBinding& binding = c.actions[static_cast<std::size_t>(action)];
    return slot == BUTTON_SLOT ? binding.pad : binding.keys[static_cast<std::size_t>(slot)];
}

int BindSlot(PlayerBindings& c, int action, int slot, int value) {
    const int index = action * SLOTS_PER_ACTION + slot;
    const int other = FindBinding(c, slot, value, index);
    if (other != NOT_BOUND) {
        SetSlot(c, other / SLOTS_PER_ACTION, other % SLOTS_PER_ACTION, SlotValue(c, action, slot));
    }
    SetSlot(c, action, slot, value);
    return other == NOT_BOUND ? NOT_BOUND : other / SLOTS_PER_ACTION;
}

bool VersusKeyBindable(int position) {
    return KeyBindable(ActionIndex(PlayAction::Turn), position) && position != KEY_POSITION_ESCAPE;
}

int FindVersusKey(const PlayerBindings& c, int position, int exceptIndex) {
    if (position == NO_KEY_POSITION) return NOT_BOUND;
    for (int index = 0; index < VERSUS_PLAYER_COUNT * PLAY_ACTION_COUNT; ++index) {
        if (index == exceptIndex) continue;
        const VersusKeys& keys = c.versus[static_cast<std::size_t>(index / PLAY_ACTION_COUNT)];
        if (keys[static_cast<std::size_t>(index % PLAY_ACTION_COUNT)] == position) return index;
    }
    return NOT_BOUND;
}

void BindVersusKey(PlayerBindings& c, int player, int action, int position) {
    std::uint16_t& key = c.versus[static_cast<std::size_t>(player)][static_cast<std::size_t>(action)];
    const int other = FindVersusKey(c, position, player * PLAY_ACTION_COUNT + action);
    if (other != NOT_BOUND) {
        c.versus[static_cast<std::size_t>(other / PLAY_ACTION_COUNT)]
                [static_cast<std::size_t>(other % PLAY_ACTION_COUNT)] = key;
    }
    key = static_cast<std::uint16_t>(position);
}
