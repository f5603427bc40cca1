// The cost of one frame of the two busiest front-end screens with the software renderer, drawn
// and presented in full every time: the options screen (its panel, some 180 glyphs and a lit
// control) and the main menu with a lit item.
#include <benchmark/benchmark.h>

#include "headless.h"
#include "platform/keys.h"
#include "platform/keys_testing.h"
#include "screens/front_end.h"

namespace {

template <void (*FRAME)()>
void RunScreen(benchmark::State& state, Texture* const& background, int x, int y) {
    if (!OpenHeadless()) {
        state.SkipWithError("no renderer or no pictures");
        return;
    }
    ScriptPointer(x, y);
    ScriptKey(VK_LBUTTON, false);
    SetFrameSaving(false);
    for (auto _ : state) {
        fade.CurrentBackground = background;
        fade.FadeActive = 0;
        ClearBackBuffer();
        FRAME();
        PresentFrame();
    }
    SetFrameSaving(true);
    StopInputScript();
    ResetBackgroundSlots();
    state.SetLabel("software renderer, drawn and presented");
}

void BM_OptionsFrame(benchmark::State& state) {
    RunScreen<OptionsFrame>(state, textures.OptionsBackground, 966, 280);
}
BENCHMARK(BM_OptionsFrame)->Unit(benchmark::kMillisecond);

void BM_MainMenuFrame(benchmark::State& state) {
    RunScreen<MainMenuFrame>(state, textures.MenuBackground, 480, 330);
}
BENCHMARK(BM_MainMenuFrame)->Unit(benchmark::kMillisecond);

}  // namespace
