#include "platform/window.h"

#include <SDL.h>
#include <SDL_image.h>

#include "platform/controllers.h"
#include "platform/files.h"
#include "platform/keys.h"
#include "platform/render_hooks.h"
#include "platform/resource_ids.h"
#include "platform/resources.h"
#include "platform/sdl_window.h"
#include "platform/single_instance.h"
#include "platform/window_system.h"

namespace {

constexpr const char* WINDOW_TITLE = "Plemby!";
constexpr int WINDOW_WIDTH = 1024;
constexpr int WINDOW_HEIGHT = 768;
// The player may drag the window smaller, but not below where the picture can still be read.
constexpr int MINIMUM_WIDTH = 320;
constexpr int MINIMUM_HEIGHT = 240;
// Where a window that leaves full screen goes.
constexpr int WINDOWED_X = 64;
constexpr int WINDOWED_Y = 64;

struct WindowState {
    SDL_Window* window = nullptr;
    void (*quitHandler)() = nullptr;
    bool focusLost = false;
};
WindowState gameWindow;

void SetWindowIcon() {
    const auto png = FindResource("ICON", WINDOW_ICON_ID);
    if (png.empty()) return;
    SDL_RWops* source = SDL_RWFromConstMem(png.data(), static_cast<int>(png.size()));
    if (source == nullptr) return;
    SDL_Surface* icon = IMG_Load_RW(source, 1);
    if (icon == nullptr) return;
    SDL_SetWindowIcon(gameWindow.window, icon);
    SDL_FreeSurface(icon);
}

// SDL falls back to its headless drivers when no display answers; they show nothing, so
// they count only when asked for by name (as the tests do).
bool HeadlessDriverUnasked() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr) return true;
    const bool headless = SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0;
    const char* asked = SDL_getenv("SDL_VIDEODRIVER");
    return headless && (asked == nullptr || SDL_strcasestr(asked, driver) == nullptr);
}

// Pointer and focus changes leave the picture alone; anything else may not.
bool WindowEventMaySpoilPicture(Uint8 event) {
    switch (event) {
        case SDL_WINDOWEVENT_ENTER:
        case SDL_WINDOWEVENT_LEAVE:
        case SDL_WINDOWEVENT_FOCUS_GAINED:
        case SDL_WINDOWEVENT_FOCUS_LOST:
        case SDL_WINDOWEVENT_TAKE_FOCUS:
        case SDL_WINDOWEVENT_HIT_TEST:
            return false;
        default:
            return true;
    }
}

void Quit() {
    if (gameWindow.quitHandler != nullptr) gameWindow.quitHandler();
}

}  // namespace

SDL_Window* GameSdlWindow() { return gameWindow.window; }

bool CreateGameWindow(bool fullscreen) {
    if (gameWindow.window != nullptr) return true;
    PrepareVideo();
    SDL_SetHint(SDL_HINT_APP_NAME, WINDOW_TITLE);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        ReportFatalProblem(std::string("cannot open a window: no display available (") +
                           SDL_GetError() + ")");
        return false;
    }
    if (HeadlessDriverUnasked()) {
        ReportFatalProblem("cannot open a window: no display available");
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        return false;
    }
    // The picture is letterboxed into whatever size the window is given, so the player may
    // resize and maximise it.
    const Uint32 flags = SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE | SystemWindowFlags() |
                         (fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    gameWindow.window =
        SDL_CreateWindow(WINDOW_TITLE, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                         WINDOW_WIDTH, WINDOW_HEIGHT, flags);
    if (gameWindow.window == nullptr) {
        ReportFatalProblem(std::string("cannot open a window: ") + SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        return false;
    }
    SDL_SetWindowMinimumSize(gameWindow.window, MINIMUM_WIDTH, MINIMUM_HEIGHT);
    if (!fullscreen) {
        int width = WINDOW_WIDTH, height = WINDOW_HEIGHT;
        if (WindowedSize(gameWindow.window, width, height) &&
            (width != WINDOW_WIDTH || height != WINDOW_HEIGHT)) {
            SDL_SetWindowSize(gameWindow.window, width, height);
            SDL_SetWindowPosition(gameWindow.window, SDL_WINDOWPOS_CENTERED,
                                  SDL_WINDOWPOS_CENTERED);
        }
    }
    SetWindowIcon();
    WatchKeyPresses(true);
    return true;
}

void DestroyGameWindow() {
    if (gameWindow.window == nullptr) return;
    WatchKeyPresses(false);
    SDL_DestroyWindow(gameWindow.window);
    gameWindow.window = nullptr;
    gameWindow.focusLost = false;
    IMG_Quit();
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
}

void ClosePlatform() {
    CloseControllers();
    DestroyGameWindow();
    SDL_Quit();
}

void SetWindowFullscreen(bool fullscreen) {
    SDL_Window* window = gameWindow.window;
    if (window == nullptr) return;
    if (fullscreen) {
        SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
        CoverDisplayIfUnanswered(window);
        return;
    }
    SDL_SetWindowFullscreen(window, 0);
    int width = WINDOW_WIDTH, height = WINDOW_HEIGHT;
    if (!WindowedSize(window, width, height)) return;
    SDL_SetWindowSize(window, width, height);
    SDL_SetWindowPosition(window, WINDOWED_X, WINDOWED_Y);
}

bool PumpOneEvent() {
    SDL_Event event;
    if (SDL_PollEvent(&event) == 0) {
        // Another copy's request to come to the front is looked at once the queue is empty.
        if (TakeRaiseRequest()) RaiseGameWindow();
        return false;
    }
    switch (event.type) {
        case SDL_QUIT:
            Quit();
            break;
        case SDL_WINDOWEVENT:
            // A window closed before (its events may still be queued) loses nothing of ours.
            // A hidden window (a browser tab the player left) counts as one turned away from.
            if ((event.window.event == SDL_WINDOWEVENT_FOCUS_LOST ||
                 event.window.event == SDL_WINDOWEVENT_MINIMIZED ||
                 event.window.event == SDL_WINDOWEVENT_HIDDEN) &&
                (gameWindow.window == nullptr ||
                 event.window.windowID == SDL_GetWindowID(gameWindow.window))) {
                gameWindow.focusLost = true;
            }
            if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
                Quit();
            } else if (WindowEventMaySpoilPicture(event.window.event)) {
                OnWindowDisturbed();
            }
            // Also after SDL made the window anew for the renderer, in full screen from the start.
            if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED &&
                gameWindow.window != nullptr &&
                (SDL_GetWindowFlags(gameWindow.window) & SDL_WINDOW_FULLSCREEN_DESKTOP) ==
                    SDL_WINDOW_FULLSCREEN_DESKTOP) {
                CoverDisplayIfUnanswered(gameWindow.window);
            }
            break;
        case SDL_RENDER_TARGETS_RESET:
            OnRenderReset(false);
            break;
        case SDL_RENDER_DEVICE_RESET:
            OnRenderReset(true);
            break;
        case SDL_CONTROLLERDEVICEADDED:
            OnControllerAdded(event.cdevice.which);
            break;
        case SDL_CONTROLLERDEVICEREMOVED:
            OnControllerRemoved(event.cdevice.which);
            break;
        default:
            break;
    }
    return true;
}

void SetQuitHandler(void (*handler)()) { gameWindow.quitHandler = handler; }

bool TakeFocusLost() {
    const bool lost = gameWindow.focusLost;
    gameWindow.focusLost = false;
    return lost;
}

void RaiseGameWindow() {
    if (gameWindow.window == nullptr) return;
    if ((SDL_GetWindowFlags(gameWindow.window) & SDL_WINDOW_MINIMIZED) != 0) {
        SDL_RestoreWindow(gameWindow.window);
    }
    SDL_RaiseWindow(gameWindow.window);
}
