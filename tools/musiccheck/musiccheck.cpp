// musiccheck: renders the built-in songs through the game's music player, once with the plain
// code and once with the vector code, and prints per song and build the checksum of every
// output block and the time the render took. The desktop and the browser build print the same
// checksums when they play the same samples; the times compare their speed.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "common/hash.h"
#include "music/block_render.h"
#include "music/player.h"
#include "music/song_render.h"
#include "music/vector_code.h"

namespace {

constexpr int SONGS[] = {109, 110, 111};
constexpr int DEFAULT_SECONDS = 60;
constexpr int MAX_SECONDS = 600;
constexpr std::uint64_t RATE = 48000;

struct Build {
    CodeBuild code;
    const char* name;
};
constexpr Build BUILDS[] = {{CodeBuild::PORTABLE, "plain"}, {CodeBuild::BASELINE, "vector"}};

// One line: song, build, milliseconds, then the checksum of each block of the output.
void CheckSong(int id, const Build& build, std::uint64_t frames) {
    UseCodeBuild(build.code);
    if (LoadSong(MusicResource(id), 0, 0) == 0) {
        std::printf("song %d %s missing\n", id, build.name);
        return;
    }
    std::vector<std::int16_t> samples;
    samples.reserve(static_cast<std::size_t>(frames) * 2);
    const auto start = std::chrono::steady_clock::now();
    RenderSongFrames(
        frames,
        [&samples](const std::int16_t* rendered, int count) {
            samples.insert(samples.end(), rendered, rendered + 2 * count);
        },
        nullptr);
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    ResetMusicPlayer();

    std::string line = "song " + std::to_string(id) + " " + build.name + " ms " +
                       std::to_string(took.count()) + " blocks";
    for (std::size_t at = 0; at < samples.size(); at += BLOCK_SAMPLES) {
        const std::size_t count = std::min<std::size_t>(BLOCK_SAMPLES, samples.size() - at);
        // The samples as little-endian bytes, the same on every system this builds for.
        std::vector<std::uint8_t> bytes;
        bytes.reserve(count * 2);
        for (std::size_t i = 0; i < count; ++i) {
            const auto value = static_cast<std::uint16_t>(samples[at + i]);
            bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
            bytes.push_back(static_cast<std::uint8_t>(value >> 8));
        }
        char hex[20];
        std::snprintf(hex, sizeof hex, " %016llx",
                      static_cast<unsigned long long>(Fnv1a64(bytes)));
        line += hex;
    }
    std::printf("%s\n", line.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    int seconds = DEFAULT_SECONDS;
    if (argc > 1) seconds = std::atoi(argv[1]);
    if (seconds < 1 || seconds > MAX_SECONDS) {
        std::fprintf(stderr, "usage: musiccheck [SECONDS]   (1 to %d, default %d)\n", MAX_SECONDS,
                     DEFAULT_SECONDS);
        return 2;
    }
    for (const int id : SONGS) {
        for (const Build& build : BUILDS) CheckSong(id, build, RATE * static_cast<unsigned>(seconds));
    }
    std::printf("done\n");
    return 0;
}
