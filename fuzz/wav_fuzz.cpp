// Feeds arbitrary bytes to the WAV reader as a sound would be read: open, read it all in
// pieces, rewind, read again.
#include <cstddef>
#include <cstdint>
#include <span>

#include "sound/effects_output.h"
#include "sound/wav_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CWavReader reader;
    reader.OpenMemory(std::span<const std::uint8_t>(data, size));
    if (const WavFormat* format = reader.GetFormat()) PlayableFormat(*format);
    std::uint8_t piece[4096];
    for (int pass = 0; pass < 2; ++pass) {
        std::uint32_t read = 0;
        while (reader.Read(piece, sizeof piece, &read) == S_OK && read > 0) {
        }
        reader.Rewind();
    }
    reader.Close();
    return 0;
}
