#include <SDL.h>

#include "platform/keys.h"
#include "platform/keys_testing.h"
#include "support/render_fixture.h"

namespace {

void PushKey(Uint32 type, SDL_Scancode scancode, Uint8 repeat = 0) {
    SDL_Event event{};
    event.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = repeat;
    event.key.keysym.scancode = scancode;
    SDL_PushEvent(&event);
}

bool LettersAndDigits(int vk) { return (vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z'); }

using KeyPresses = RenderTest;

// Presses the window system reports are kept in the order they came, whenever the game next
// looks: a press that came and went between two reads of the keys is still there to take,
// once; a held key's repeats are not presses; keys nobody asks for are passed over.
TEST_F(KeyPresses, PressesFromTheWindowSystemAreKeptInOrderUntilTaken) {
    StopInputScript();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    WatchKeyPresses(true);  // as the game's window does once it exists
    ForgetKeyPresses();
    const SDL_Scancode w = SDL_GetScancodeFromKey(SDLK_w);
    PushKey(SDL_KEYDOWN, SDL_SCANCODE_F10);
    PushKey(SDL_KEYDOWN, SDL_SCANCODE_2);
    PushKey(SDL_KEYUP, SDL_SCANCODE_2);
    PushKey(SDL_KEYDOWN, SDL_SCANCODE_7);
    PushKey(SDL_KEYDOWN, SDL_SCANCODE_7, 1);
    PushKey(SDL_KEYUP, SDL_SCANCODE_7);
    PushKey(SDL_KEYDOWN, w);
    PushKey(SDL_KEYUP, w);
    TakeKeyPress('7');  // seen down and dealt with
    EXPECT_EQ(TakeReleasedPress(LettersAndDigits), '2');
    EXPECT_EQ(TakeReleasedPress(LettersAndDigits), 'W');
    EXPECT_EQ(TakeReleasedPress(LettersAndDigits), 0);

    PushKey(SDL_KEYDOWN, SDL_SCANCODE_5);
    ForgetKeyPresses();
    EXPECT_EQ(TakeReleasedPress(LettersAndDigits), 0);
    WatchKeyPresses(false);
    PushKey(SDL_KEYDOWN, SDL_SCANCODE_5);
    PushKey(SDL_KEYUP, SDL_SCANCODE_5);
    EXPECT_EQ(TakeReleasedPress(LettersAndDigits), 0);
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
}

}  // namespace
