#include "platform/renderer_choice.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/sdl_renderer.h"
#include "platform/sdl_window.h"
#include "support/temp_home.h"

namespace {

std::string LoadedLibraries() {
    std::ifstream maps("/proc/self/maps");
    std::stringstream text;
    text << maps.rdbuf();
    return text.str();
}

// Only a GPU's render node counts as one, never a display controller's card node; and on a
// machine without a GPU the game draws with SDL's software renderer without ever loading an
// OpenGL driver (whose rasteriser alone holds tens of megabytes and threads of its own).
TEST(RendererChoice, WithoutAGpuNoOpenGlDriverIsLoaded) {
    const std::filesystem::path devices = TestHomeDir() + "/dri";
    std::filesystem::create_directories(devices);
    EXPECT_FALSE(RenderNodeWithinReach((devices / "missing").c_str()));
    std::ofstream(devices / "card0").put('\0');
    EXPECT_FALSE(RenderNodeWithinReach(devices.c_str()));
    std::ofstream(devices / "renderD128").put('\0');
    EXPECT_TRUE(RenderNodeWithinReach(devices.c_str()));
    std::filesystem::remove_all(devices);

    if (RenderNodeWithinReach("/dev/dri") || access("/dev/nvidiactl", F_OK) == 0) {
        GTEST_SKIP() << "this machine has a GPU";
    }
    // The game's own choice, not the tests' usual software renderer.
    const std::string asked =
        std::getenv("SDL_RENDER_DRIVER") ? std::getenv("SDL_RENDER_DRIVER") : "";
    unsetenv("SDL_RENDER_DRIVER");
    SDL_ResetHint(SDL_HINT_RENDER_DRIVER);
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    SDL_Window* window = SDL_CreateWindow("Plemby! test", 0, 0, 1024, 768, SDL_WINDOW_HIDDEN);
    ASSERT_NE(window, nullptr) << SDL_GetError();

    EXPECT_TRUE(OpenRenderer(window, 1024, 768));
    SDL_RendererInfo info{};
    ASSERT_EQ(SDL_GetRendererInfo(SDL_GetRenderer(window), &info), 0);
    EXPECT_STREQ(info.name, "software");
    const std::string libraries = LoadedLibraries();
    for (const char* driver : {"/libGL", "/libEGL", "/dri/", "/libLLVM"}) {
        EXPECT_EQ(libraries.find(driver), std::string::npos) << driver << " is loaded";
    }

    CloseRenderer();
    SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    if (!asked.empty()) setenv("SDL_RENDER_DRIVER", asked.c_str(), 1);
}

}  // namespace
