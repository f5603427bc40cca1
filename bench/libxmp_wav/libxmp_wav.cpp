// libxmp_wav: the yardstick for xmrender's whole-process time. Plays IN.xm through libxmp
// (linear interpolation, no effects, 48 kHz) and writes N seconds as the same 48000 Hz stereo
// 16-bit WAV, in large pieces, the way a small program built on libxmp would.
#include <xmp.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int RATE = 48000;
constexpr int FRAME_BYTES = 4;
constexpr int PIECE_FRAMES = RATE;  // a second at a time

void Put(std::vector<std::uint8_t>& out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

std::vector<std::uint8_t> WavHeader(std::uint32_t dataBytes) {
    std::vector<std::uint8_t> h;
    const auto tag = [&h](const char* t) { h.insert(h.end(), t, t + 4); };
    tag("RIFF");
    Put(h, 36 + dataBytes, 4);
    tag("WAVE");
    tag("fmt ");
    Put(h, 16, 4);
    Put(h, 1, 2);
    Put(h, 2, 2);
    Put(h, RATE, 4);
    Put(h, RATE * FRAME_BYTES, 4);
    Put(h, FRAME_BYTES, 2);
    Put(h, 16, 2);
    tag("data");
    Put(h, dataBytes, 4);
    return h;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: libxmp_wav IN.xm OUT.wav SECONDS\n");
        return 1;
    }
    const long seconds = std::strtol(argv[3], nullptr, 10);
    if (seconds < 1 || seconds > 6 * 60 * 60) {
        std::fprintf(stderr, "libxmp_wav: SECONDS from 1 to 21600\n");
        return 1;
    }
    xmp_context context = xmp_create_context();
    if (xmp_load_module(context, argv[1]) != 0) {
        std::fprintf(stderr, "libxmp_wav: %s: not loaded\n", argv[1]);
        xmp_free_context(context);
        return 1;
    }
    std::FILE* file = std::fopen(argv[2], "wb");
    if (file == nullptr) {
        std::perror(argv[2]);
        xmp_release_module(context);
        xmp_free_context(context);
        return 1;
    }
    xmp_start_player(context, RATE, 0);
    xmp_set_player(context, XMP_PLAYER_INTERP, XMP_INTERP_LINEAR);
    xmp_set_player(context, XMP_PLAYER_DSP, 0);
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(seconds * RATE * FRAME_BYTES);
    const std::vector<std::uint8_t> header = WavHeader(dataBytes);
    bool ok = std::fwrite(header.data(), 1, header.size(), file) == header.size();
    std::vector<std::uint8_t> piece(PIECE_FRAMES * FRAME_BYTES);
    for (long s = 0; s < seconds && ok; ++s) {
        xmp_play_buffer(context, piece.data(), static_cast<int>(piece.size()), 0);
        ok = std::fwrite(piece.data(), 1, piece.size(), file) == piece.size();
    }
    ok = std::fclose(file) == 0 && ok;
    xmp_end_player(context);
    xmp_release_module(context);
    xmp_free_context(context);
    return ok ? 0 : 1;
}
