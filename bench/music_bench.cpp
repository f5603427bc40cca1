// Render throughput of the music player on the built-in songs and the shared real-world ones,
// with the processor's best code and with the plain build every processor runs, and, when
// libxmp is at hand, of libxmp on the same songs (linear interpolation, 48 kHz) as a
// yardstick: the run ends with a table of the speeds and their ratios.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "music/block_render.h"
#include "music/player.h"
#include "music/vector_code.h"
#include "platform/resources.h"

#ifdef PLEMBY_HAVE_LIBXMP
#include <xmp.h>
#endif

namespace {

constexpr int RENDER_SECONDS = 10;  // audio rendered per iteration
constexpr int RENDER_BLOCKS = RENDER_SECONDS * OUTPUT_RATE / BLOCK_FRAMES;
constexpr int BUILT_IN_SONGS[] = {109, 110, 111};

struct BenchSong {
    std::string name;
    std::vector<std::uint8_t> bytes;
};

std::vector<BenchSong> FindSongs() {
    std::vector<BenchSong> songs;
    for (const int id : BUILT_IN_SONGS) {
        const auto bytes = FindResource("RCDATA", id);
        if (!bytes.empty())
            songs.push_back({"rcdata" + std::to_string(id), {bytes.begin(), bytes.end()}});
    }
    // A worktree has no shared folder beside it; PLEMBY_XM_DIR names the folder there.
    const char* folder = std::getenv("PLEMBY_XM_DIR");
    const std::filesystem::path shared = folder != nullptr ? folder : PLEMBY_SHARED_XM_DIR;
    std::vector<std::filesystem::path> paths;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(shared / "songs", error)) {
        if (entry.path().extension() == ".xm") paths.push_back(entry.path());
    }
    std::sort(paths.begin(), paths.end());
    for (const auto& path : paths) {
        std::ifstream in(path, std::ios::binary);
        songs.push_back({path.stem().string(),
                         {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()}});
    }
    return songs;
}

void SetThroughput(benchmark::State& state) {
    const auto frames =
        static_cast<std::int64_t>(state.iterations()) * RENDER_BLOCKS * BLOCK_FRAMES;
    state.SetItemsProcessed(frames);
    state.counters["x_realtime"] =
        benchmark::Counter(static_cast<double>(frames) / OUTPUT_RATE, benchmark::Counter::kIsRate);
}

void RenderOurs(benchmark::State& state, const BenchSong* module, bool plain) {
    UseVectorCode(!plain);
    if (LoadSong(module->bytes.data(), module->bytes.size(), MUSIC_FROM_MEMORY) == 0) {
        state.SkipWithError("the player rejects this module");
        return;
    }
    std::array<std::int16_t, BLOCK_SAMPLES> block{};
    for (auto _ : state) {
        for (int i = 0; i < RENDER_BLOCKS; ++i) {
            RenderBlock(block.data());
            benchmark::DoNotOptimize(block.data());
        }
    }
    ResetMusicPlayer();
    UseVectorCode(true);
    SetThroughput(state);
}

#ifdef PLEMBY_HAVE_LIBXMP
void RenderLibxmp(benchmark::State& state, const BenchSong* module) {
    xmp_context context = xmp_create_context();
    if (xmp_load_module_from_memory(context, module->bytes.data(),
                                    static_cast<long>(module->bytes.size())) != 0) {
        xmp_free_context(context);
        state.SkipWithError("libxmp rejects this module");
        return;
    }
    xmp_start_player(context, OUTPUT_RATE, 0);
    xmp_set_player(context, XMP_PLAYER_INTERP, XMP_INTERP_LINEAR);
    xmp_set_player(context, XMP_PLAYER_DSP, 0);
    std::array<std::int16_t, BLOCK_SAMPLES> block{};
    for (auto _ : state) {
        for (int i = 0; i < RENDER_BLOCKS; ++i) {
            xmp_play_buffer(context, block.data(), static_cast<int>(sizeof(block)), 0);
            benchmark::DoNotOptimize(block.data());
        }
    }
    xmp_end_player(context);
    xmp_release_module(context);
    xmp_free_context(context);
    SetThroughput(state);
}
#endif

// The console report, followed by each song's speed against libxmp's.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            // CPU time, the fastest of any repetitions: other work on the machine only ever
            // slows a run down, and it stretches the wall-clock time most.
            if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
            const std::string name = run.run_name.function_name;
            const double seconds = run.GetAdjustedCPUTime();
            const auto known = seconds_.find(name);
            if (known == seconds_.end() || seconds < known->second) seconds_[name] = seconds;
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        bool header = false;
        for (const auto& [name, ours] : seconds_) {
            const std::string prefix = "render/plemby/";
            if (name.rfind(prefix, 0) != 0) continue;
            const std::string title = name.substr(prefix.size());
            const auto plain = seconds_.find("render/plemby-plain/" + title);
            const auto theirs = seconds_.find("render/libxmp/" + title);
            if (plain == seconds_.end() || theirs == seconds_.end()) continue;
            if (!header) {
                std::printf("\n%-16s %14s %14s %14s %8s %8s\n", "song", "plemby (x rt)",
                            "plain (x rt)", "libxmp (x rt)", "ratio", "plain");
                header = true;
            }
            const double audio = RENDER_SECONDS * 1000.0;  // the times are in ms per iteration
            std::printf("%-16s %14.1f %14.1f %14.1f %7.2fx %7.2fx\n", title.c_str(), audio / ours,
                        audio / plain->second, audio / theirs->second, theirs->second / ours,
                        theirs->second / plain->second);
        }
    }

private:
    std::map<std::string, double> seconds_;
};

}  // namespace

int main(int argc, char** argv) {
    static const std::vector<BenchSong> songs = FindSongs();
    for (const BenchSong& entry : songs) {
        benchmark::RegisterBenchmark(("render/plemby/" + entry.name).c_str(), RenderOurs, &entry,
                                     false)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("render/plemby-plain/" + entry.name).c_str(), RenderOurs,
                                     &entry, true)
            ->Unit(benchmark::kMillisecond);
#ifdef PLEMBY_HAVE_LIBXMP
        benchmark::RegisterBenchmark(("render/libxmp/" + entry.name).c_str(), RenderLibxmp, &entry)
            ->Unit(benchmark::kMillisecond);
#endif
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
