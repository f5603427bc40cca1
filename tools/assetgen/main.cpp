// Writes the game's pictures, sounds and songs into a resources folder, deterministically:
// the same program always writes the same bytes.
#include <cstdio>
#include <string>

#include "assetgen.h"

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : "resources";
    bool ok = GenerateImages(dir);
    ok = GenerateSounds(dir) && ok;
    ok = GenerateSongs(dir) && ok;
    if (!ok) {
        std::fprintf(stderr, "assetgen: some assets could not be written to %s\n", dir.c_str());
        return 1;
    }
    return 0;
}
