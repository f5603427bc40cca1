#include "game/player_input.h"

#include <array>

#include "platform/controllers.h"
#include "platform/keys.h"

namespace {

constexpr int NO_KEY = -1;

struct ActionInputs {
    PlayAction action;
    std::array<int, 2> keys;
    PadInput pad;
};

constexpr ActionInputs ACTION_INPUTS[] = {
    {PlayAction::Turn, {VK_UP, 'W'}, PadInput::A},
    {PlayAction::TurnOther, {VK_CONTROL, NO_KEY}, PadInput::B},
    {PlayAction::ShiftLeft, {VK_LEFT, 'A'}, PadInput::Left},
    {PlayAction::ShiftRight, {VK_RIGHT, 'D'}, PadInput::Right},
    {PlayAction::SoftDrop, {VK_SPACE, NO_KEY}, PadInput::Down},
    {PlayAction::HardDrop, {VK_DOWN, 'S'}, PadInput::Up},
    {PlayAction::Abandon, {VK_ESCAPE, NO_KEY}, PadInput::Back},
    {PlayAction::Pause, {'P', NO_KEY}, PadInput::Start},
};

// Per controller input: held over from the last screen, not yet released.
std::array<bool, PAD_INPUT_COUNT> heldOver{};

bool FreshPadHeld(PadInput input) {
    bool& over = heldOver[static_cast<std::size_t>(input)];
    const bool held = PadHeld(input);
    over = over && held;
    return held && !over;
}

}  // namespace

bool PlayActionHeld(PlayAction action) {
    for (const ActionInputs& inputs : ACTION_INPUTS) {
        if (inputs.action != action) continue;
        for (const int key : inputs.keys) {
            if (key != NO_KEY && KeyDown(key)) return true;
        }
        return FreshPadHeld(inputs.pad);
    }
    return false;
}

void HoldOverPadButtons() {
    for (int i = 0; i < PAD_INPUT_COUNT; ++i) {
        heldOver[static_cast<std::size_t>(i)] = PadHeld(static_cast<PadInput>(i));
    }
}
