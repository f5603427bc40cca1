#include "game/player_input.h"

#include <array>

#include "common/controls.h"
#include "platform/controllers.h"
#include "platform/keys.h"

namespace {

// Per controller input: held over from the last screen, not yet released.
std::array<bool, PAD_INPUT_COUNT> heldOver{};

bool FreshPadHeld(PadInput input) {
    bool& over = heldOver[static_cast<std::size_t>(input)];
    const bool held = PadHeld(input);
    over = over && held;
    return held && !over;
}

}  // namespace

// Through the player's bindings: a key by its place on the keyboard, a button on any controller.
bool PlayActionHeld(PlayAction action) {
    const auto index = static_cast<std::size_t>(action);
    if (index >= controls.actions.size()) return false;
    const ActionBinding& binding = controls.actions[index];
    for (const int key : binding.keys) {
        if (KeyPositionDown(key)) return true;
    }
    return binding.pad < PAD_INPUT_COUNT && FreshPadHeld(static_cast<PadInput>(binding.pad));
}

void HoldOverPadButtons() {
    for (int i = 0; i < PAD_INPUT_COUNT; ++i) {
        heldOver[static_cast<std::size_t>(i)] = PadHeld(static_cast<PadInput>(i));
    }
}
