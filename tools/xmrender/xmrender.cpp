// xmrender: plays an XM module through the game's music player, without a device or a thread,
// and writes the output as a WAV file.
#include <bit>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "common/little_endian.h"
#include "music/block_render.h"
#include "music/player.h"
#include "music/song_render.h"

namespace {

constexpr int DEFAULT_SECONDS = 60;
constexpr int MAX_SECONDS = 6 * 60 * 60;  // keeps the WAV within its 4 GiB
constexpr int CHANNELS = 2;
constexpr int BYTES_PER_SAMPLE = 2;
// Minutes of audio make tens of megabytes: written in large pieces, a few system calls do.
constexpr std::size_t WRITE_BUFFER_BYTES = std::size_t{1} << 20;

const char* const USAGE =
    "usage: xmrender IN.xm OUT.wav [--seconds N] [--positions]\n"
    "\n"
    "Plays IN.xm through the game's music player and writes N seconds (default 60) of its\n"
    "output to OUT.wav, 48000 Hz stereo 16-bit. A song plays round from its restart position.\n"
    "\n"
    "  --seconds N   how many seconds to render (1 to 21600)\n"
    "  --positions   print one line per row as it plays: FRAME ORDER ROW, where FRAME is\n"
    "                the first output frame rendered after the row began\n"
    "  --help        show this text\n";

struct Options {
    std::string input;
    std::string output;
    int seconds = DEFAULT_SECONDS;
    bool positions = false;
};

bool ParseSeconds(std::string_view text, int& seconds) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) return false;
    if (value < 1 || value > MAX_SECONDS) return false;
    seconds = value;
    return true;
}

// False, with a line on stderr, when the command line is wrong.
bool ParseOptions(int argc, char** argv, Options& options, bool& helpShown) {
    std::vector<std::string_view> files;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            helpShown = true;
            return true;
        }
        if (arg == "--positions") {
            options.positions = true;
        } else if (arg == "--seconds") {
            if (i + 1 >= argc || !ParseSeconds(argv[++i], options.seconds)) {
                std::fprintf(stderr, "xmrender: --seconds needs a whole number from 1 to %d\n",
                             MAX_SECONDS);
                return false;
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "xmrender: unknown option %s (see --help)\n", argv[i]);
            return false;
        } else {
            files.push_back(arg);
        }
    }
    if (files.size() != 2) {
        std::fprintf(stderr, "xmrender: needs an input module and an output file (see --help)\n");
        return false;
    }
    options.input = files[0];
    options.output = files[1];
    return true;
}

std::vector<std::uint8_t> WavHeader(std::uint32_t dataBytes) {
    return PcmWavHeader(OUTPUT_RATE, CHANNELS, dataBytes);
}

// The output goes to a file beside the target, renamed over it at the end, so that a failed
// run leaves no torn file behind.
class WavFile {
public:
    explicit WavFile(const std::string& path) : path_(path), temporary_(path + ".part") {
        file_ = std::fopen(temporary_.c_str(), "wb");
        if (file_ != nullptr) {
            std::setvbuf(file_, nullptr, _IOFBF, WRITE_BUFFER_BYTES);
            Write(WavHeader(0));
        }
    }
    ~WavFile() {
        if (file_ != nullptr) {
            std::fclose(file_);
            std::remove(temporary_.c_str());
        }
    }
    WavFile(const WavFile&) = delete;
    WavFile& operator=(const WavFile&) = delete;

    void Append(const std::int16_t* samples, std::size_t count) {
        const std::size_t size = count * BYTES_PER_SAMPLE;
        if constexpr (std::endian::native == std::endian::little) {
            // The samples already lie in memory as the file holds them.
            Write(samples, size);
        } else {
            std::vector<std::uint8_t> bytes;
            bytes.reserve(size);
            for (std::size_t i = 0; i < count; ++i)
                PutLe16(bytes, static_cast<std::uint16_t>(samples[i]));
            Write(bytes.data(), size);
        }
        dataBytes_ += static_cast<std::uint32_t>(size);
    }

    bool IsOpen() const { return file_ != nullptr; }

    bool Finish() {
        if (file_ == nullptr) return false;
        if (std::fseek(file_, 0, SEEK_SET) != 0) ok_ = false;
        Write(WavHeader(dataBytes_));
        const bool closed = std::fclose(file_) == 0;
        file_ = nullptr;
        if (!ok_ || !closed || std::rename(temporary_.c_str(), path_.c_str()) != 0) {
            std::remove(temporary_.c_str());
            return false;
        }
        return true;
    }

private:
    void Write(const void* bytes, std::size_t size) {
        if (file_ != nullptr && std::fwrite(bytes, 1, size, file_) != size) ok_ = false;
    }
    void Write(const std::vector<std::uint8_t>& bytes) { Write(bytes.data(), bytes.size()); }

    std::string path_;
    std::string temporary_;
    std::FILE* file_ = nullptr;
    std::uint32_t dataBytes_ = 0;
    bool ok_ = true;
};

}  // namespace

int main(int argc, char** argv) {
    Options options;
    bool helpShown = false;
    if (!ParseOptions(argc, argv, options, helpShown)) return 1;
    if (helpShown) {
        std::fputs(USAGE, stdout);
        return 0;
    }
    if (std::FILE* probe = std::fopen(options.input.c_str(), "rb")) {
        std::fclose(probe);
    } else {
        std::fprintf(stderr, "xmrender: %s: %s\n", options.input.c_str(), std::strerror(errno));
        return 1;
    }
    if (LoadSong(options.input.c_str(), 0, MUSIC_FROM_FILE) == 0) {
        std::fprintf(stderr, "xmrender: %s: not a module the player can play\n",
                     options.input.c_str());
        return 1;
    }
    WavFile wav(options.output);
    // Found out before the render, which may run for minutes.
    if (!wav.IsOpen()) {
        std::fprintf(stderr, "xmrender: %s: %s\n", options.output.c_str(), std::strerror(errno));
        ResetMusicPlayer();
        return 1;
    }
    const auto frames = static_cast<std::uint64_t>(options.seconds) * OUTPUT_RATE;
    std::vector<RowMark> rows;
    RenderSongFrames(
        frames,
        [&](const std::int16_t* block, int n) {
            wav.Append(block, static_cast<std::size_t>(n) * CHANNELS);
            for (const RowMark& mark : rows) {
                if (mark.frame >= frames) break;
                std::printf("%llu %d %d\n", static_cast<unsigned long long>(mark.frame), mark.order,
                            mark.row);
            }
            rows.clear();
        },
        options.positions ? &rows : nullptr);
    ResetMusicPlayer();
    if (!wav.Finish()) {
        std::fprintf(stderr, "xmrender: %s: %s\n", options.output.c_str(), std::strerror(errno));
        return 1;
    }
    return 0;
}
