#include "screens/action_bindings.h"

#include <array>

#include "common/bindings.h"
#include "platform/controllers.h"
#include "platform/keys.h"
#include "platform/touch.h"
#include "screens/navigation_testing.h"

namespace {

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
        if (KeyPositionDown(key)) return true;
    }
    return binding.pad < PAD_INPUT_COUNT && FreshPadHeld(static_cast<PadInput>(binding.pad));
}

}  // namespace

ActionRecord ReadPlayActions() {
    ActionRecord record;
    for (int i = 0; i < PLAY_ACTION_COUNT; ++i) {
        const auto index = static_cast<std::size_t>(i);
        record.Set(static_cast<PlayAction>(i), BindingHeld(bindings.actions[index]) ||
                                                   TouchControlHeld(PLAY_ACTIONS[index].fileName));
    }
    return record;
}

void HoldOverPadButtons() {
    for (int i = 0; i < PAD_INPUT_COUNT; ++i) {
        heldOver[static_cast<std::size_t>(i)] = PadHeld(static_cast<PadInput>(i));
    }
}

void ResetPadHoldOver() { heldOver = {}; }
