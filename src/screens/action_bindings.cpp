#include "screens/action_bindings.h"

#include "platform/keys.h"

constexpr std::array<ActionBinding, PLAY_ACTION_COUNT> ACTION_BINDINGS = {{
    {PlayAction::Turn, {VK_UP, 'W'}, PadInput::A},
    {PlayAction::TurnOther, {VK_CONTROL, NO_BOUND_KEY}, PadInput::B},
    {PlayAction::ShiftLeft, {VK_LEFT, 'A'}, PadInput::Left},
    {PlayAction::ShiftRight, {VK_RIGHT, 'D'}, PadInput::Right},
    {PlayAction::SoftDrop, {VK_SPACE, NO_BOUND_KEY}, PadInput::Down},
    {PlayAction::HardDrop, {VK_DOWN, 'S'}, PadInput::Up},
    {PlayAction::Abandon, {VK_ESCAPE, NO_BOUND_KEY}, PadInput::Back},
    {PlayAction::Pause, {'P', NO_BOUND_KEY}, PadInput::Start},
}};

namespace {

constexpr bool RowsFollowActions() {
    for (int i = 0; i < PLAY_ACTION_COUNT; ++i) {
        if (static_cast<int>(ACTION_BINDINGS[static_cast<std::size_t>(i)].action) != i) {
            return false;
        }
    }
    return true;
}
static_assert(RowsFollowActions(), "one row per action, in the order of PlayAction");

// Per controller input: held over from the last screen, not yet released.
std::array<bool, PAD_INPUT_COUNT> heldOver{};

bool FreshPadHeld(PadInput input) {
    bool& over = heldOver[static_cast<std::size_t>(input)];
    const bool held = PadHeld(input);
    over = over && held;
    return held && !over;
}

// A key down answers before the controller is asked, so a held-over button is only seen
// released in a frame where none of its action's keys is down.
bool BindingHeld(const ActionBinding& binding) {
    for (const int key : binding.keys) {
        if (key != NO_BOUND_KEY && KeyDown(key)) return true;
    }
    return FreshPadHeld(binding.pad);
}

}  // namespace

ActionRecord ReadPlayActions() {
    ActionRecord record;
    for (const ActionBinding& binding : ACTION_BINDINGS) {
        record.Set(binding.action, BindingHeld(binding));
    }
    return record;
}

void HoldOverPadButtons() {
    for (int i = 0; i < PAD_INPUT_COUNT; ++i) {
        heldOver[static_cast<std::size_t>(i)] = PadHeld(static_cast<PadInput>(i));
    }
}
