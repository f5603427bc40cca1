#include "platform/controllers.h"

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <vector>

#include "platform/controllers_testing.h"

namespace {

// A stick leans one way once its axis passes the first mark, and keeps leaning that way until
// the axis falls back under the second: a thumb resting near the mark does not flicker.
constexpr int STICK_LEAN = 16384;
constexpr int STICK_RELEASE = 12288;

struct OpenController {
    SDL_GameController* controller = nullptr;
    SDL_JoystickID id = -1;
    bool leaning = false;
    PadInput stickDirection = PadInput::Left;
};

struct VirtualPad {
    SDL_Joystick* joystick = nullptr;
    SDL_JoystickID id = -1;
};

struct ControllerState {
    bool open = false;
    bool unplugged = false;
    int unplugCount = 0;
    std::vector<OpenController> controllers;
    std::vector<VirtualPad> virtualPads;
};
ControllerState pads;

SDL_GameControllerButton ButtonOf(PadInput input) {
    switch (input) {
        case PadInput::Left:
            return SDL_CONTROLLER_BUTTON_DPAD_LEFT;
        case PadInput::Right:
            return SDL_CONTROLLER_BUTTON_DPAD_RIGHT;
        case PadInput::Up:
            return SDL_CONTROLLER_BUTTON_DPAD_UP;
        case PadInput::Down:
            return SDL_CONTROLLER_BUTTON_DPAD_DOWN;
        case PadInput::A:
            return SDL_CONTROLLER_BUTTON_A;
        case PadInput::B:
            return SDL_CONTROLLER_BUTTON_B;
        case PadInput::Start:
            return SDL_CONTROLLER_BUTTON_START;
        case PadInput::Back:
            return SDL_CONTROLLER_BUTTON_BACK;
        case PadInput::X:
            return SDL_CONTROLLER_BUTTON_X;
        case PadInput::Y:
            return SDL_CONTROLLER_BUTTON_Y;
        case PadInput::LeftShoulder:
            return SDL_CONTROLLER_BUTTON_LEFTSHOULDER;
        case PadInput::RightShoulder:
            return SDL_CONTROLLER_BUTTON_RIGHTSHOULDER;
        case PadInput::LeftStick:
            return SDL_CONTROLLER_BUTTON_LEFTSTICK;
        case PadInput::RightStick:
            return SDL_CONTROLLER_BUTTON_RIGHTSTICK;
    }
    return SDL_CONTROLLER_BUTTON_INVALID;
}

// Indexed by PadInput.
constexpr std::string_view PAD_INPUT_NAMES[] = {
    "dpleft", "dpright",      "dpup",          "dpdown",    "a",          "b", "start", "back", "x",
    "y",      "leftshoulder", "rightshoulder", "leftstick", "rightstick",
};
constexpr std::string_view PAD_INPUT_LABELS[] = {
    "LEFT", "RIGHT", "UP", "DOWN", "A", "B", "START", "BACK", "X", "Y", "LB", "RB", "LS", "RS",
};
static_assert(std::size(PAD_INPUT_NAMES) == PAD_INPUT_COUNT &&
              std::size(PAD_INPUT_LABELS) == PAD_INPUT_COUNT);

bool IsDirection(PadInput input) {
    return input == PadInput::Left || input == PadInput::Right || input == PadInput::Up ||
           input == PadInput::Down;
}

// How far the stick leans towards `direction` (negative when it leans away).
int LeanTowards(PadInput direction, int x, int y) {
    switch (direction) {
        case PadInput::Left:
            return -x;
        case PadInput::Right:
            return x;
        case PadInput::Up:
            return -y;
        case PadInput::Down:
            return y;
        default:
            return 0;
    }
}

// The one way the stick leans, if any: the axis pushed further decides, so that a push to the
// side never also counts as up or down.
void UpdateStick(OpenController& pad) {
    const int x = SDL_GameControllerGetAxis(pad.controller, SDL_CONTROLLER_AXIS_LEFTX);
    const int y = SDL_GameControllerGetAxis(pad.controller, SDL_CONTROLLER_AXIS_LEFTY);
    if (pad.leaning && LeanTowards(pad.stickDirection, x, y) >= STICK_RELEASE) return;
    pad.leaning = std::max(std::abs(x), std::abs(y)) >= STICK_LEAN;
    if (!pad.leaning) return;
    if (std::abs(x) >= std::abs(y)) {
        pad.stickDirection = x < 0 ? PadInput::Left : PadInput::Right;
    } else {
        pad.stickDirection = y < 0 ? PadInput::Up : PadInput::Down;
    }
}

bool HeldOn(OpenController& pad, PadInput input) {
    if (SDL_GameControllerGetButton(pad.controller, ButtonOf(input)) != 0) return true;
    if (!IsDirection(input)) return false;
    UpdateStick(pad);
    return pad.leaning && pad.stickDirection == input;
}

bool IsOpen(SDL_JoystickID id) {
    return std::any_of(pads.controllers.begin(), pads.controllers.end(),
                       [id](const OpenController& pad) { return pad.id == id; });
}

VirtualPad* VirtualPadOf(int handle) {
    if (handle < 0 || handle >= static_cast<int>(pads.virtualPads.size())) return nullptr;
    VirtualPad& pad = pads.virtualPads[static_cast<std::size_t>(handle)];
    return pad.joystick != nullptr ? &pad : nullptr;
}

int DeviceIndexOf(SDL_JoystickID id) {
    for (int i = 0; i < SDL_NumJoysticks(); ++i) {
        if (SDL_JoystickGetDeviceInstanceID(i) == id) return i;
    }
    return -1;
}

}  // namespace

void OpenControllers() {
    if (pads.open) return;
    // A and B are the south and the east button on every controller, whatever their letters.
    SDL_SetHint(SDL_HINT_GAMECONTROLLER_USE_BUTTON_LABELS, "0");
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) return;
    pads.open = true;
    for (int i = 0; i < SDL_NumJoysticks(); ++i) OnControllerAdded(i);
}

void CloseControllers() {
    if (!pads.open) return;
    for (OpenController& pad : pads.controllers) SDL_GameControllerClose(pad.controller);
    for (VirtualPad& pad : pads.virtualPads) {
        if (pad.joystick == nullptr) continue;
        SDL_JoystickClose(pad.joystick);
        const int index = DeviceIndexOf(pad.id);
        if (index >= 0) SDL_JoystickDetachVirtual(index);
    }
    pads = ControllerState{};
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

void OnControllerAdded(int deviceIndex) {
    if (!pads.open || SDL_IsGameController(deviceIndex) == SDL_FALSE) return;
    // The controllers present at the start also arrive as events; each is opened once.
    if (IsOpen(SDL_JoystickGetDeviceInstanceID(deviceIndex))) return;
    SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
    if (controller == nullptr) return;
    const SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
    pads.controllers.push_back({controller, id});
}

void OnControllerRemoved(int instanceId) {
    const auto gone =
        std::find_if(pads.controllers.begin(), pads.controllers.end(),
                     [instanceId](const OpenController& pad) { return pad.id == instanceId; });
    if (gone == pads.controllers.end()) return;
    SDL_GameControllerClose(gone->controller);
    pads.controllers.erase(gone);
    pads.unplugged = true;
    ++pads.unplugCount;
}

bool PadHeld(PadInput input) {
    bool held = false;
    // Every stick is brought up to date, not only until the first that answers.
    for (OpenController& pad : pads.controllers) held = HeldOn(pad, input) || held;
    return held;
}

std::string_view PadInputName(PadInput input) {
    return PAD_INPUT_NAMES[static_cast<std::size_t>(input)];
}

std::string_view PadInputLabel(PadInput input) {
    return PAD_INPUT_LABELS[static_cast<std::size_t>(input)];
}

int ControllersUnplugged() { return pads.unplugCount; }

int OpenControllerCount() { return static_cast<int>(pads.controllers.size()); }

bool TakeControllerUnplugged() {
    const bool unplugged = pads.unplugged;
    pads.unplugged = false;
    return unplugged;
}

int PlugVirtualController() {
    OpenControllers();
    if (!pads.open) return -1;
    // A scripted controller is read whether or not a window has the focus.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    SDL_VirtualJoystickDesc desc;
    SDL_zero(desc);
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    // As a game controller SDL gives it a mapping of its own: button n is SDL's button n, axis n
    // SDL's axis n.
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    desc.name = "Plemby! virtual controller";
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    if (index < 0) return -1;
    SDL_Joystick* joystick = SDL_JoystickOpen(index);
    if (joystick == nullptr) {
        SDL_JoystickDetachVirtual(index);
        return -1;
    }
    pads.virtualPads.push_back({joystick, SDL_JoystickInstanceID(joystick)});
    return static_cast<int>(pads.virtualPads.size()) - 1;
}

void SetVirtualInput(int handle, PadInput input, bool down) {
    VirtualPad* pad = VirtualPadOf(handle);
    if (pad == nullptr) return;
    SDL_JoystickSetVirtualButton(pad->joystick, ButtonOf(input), down ? 1 : 0);
    SDL_JoystickUpdate();
}

void SetVirtualStick(int handle, int x, int y) {
    VirtualPad* pad = VirtualPadOf(handle);
    if (pad == nullptr) return;
    const auto axis = [](int v) { return static_cast<Sint16>(std::clamp(v, -32768, 32767)); };
    SDL_JoystickSetVirtualAxis(pad->joystick, SDL_CONTROLLER_AXIS_LEFTX, axis(x));
    SDL_JoystickSetVirtualAxis(pad->joystick, SDL_CONTROLLER_AXIS_LEFTY, axis(y));
    SDL_JoystickUpdate();
}

void UnplugVirtualController(int handle) {
    VirtualPad* pad = VirtualPadOf(handle);
    if (pad == nullptr) return;
    SDL_JoystickClose(pad->joystick);
    const int index = DeviceIndexOf(pad->id);
    if (index >= 0) SDL_JoystickDetachVirtual(index);
    *pad = VirtualPad{};
}
