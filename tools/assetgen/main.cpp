// Writes the game's pictures, sounds and songs into a resources folder, deterministically:
// the same program always writes the same bytes. The desktop's icons and the page's, which are
// installed beside the game rather than built into it, go to a second folder.
#include <cstdio>
#include <string>

#include "assetgen.h"

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : "resources";
    const std::string dataDir = argc > 2 ? argv[2] : "data";
    bool ok = GenerateImages(dir);
    ok = GenerateSounds(dir) && ok;
    ok = GenerateSongs(dir) && ok;
    ok = GenerateDesktopIcons(dataDir) && ok;
    ok = GenerateWebIcons(dataDir) && ok;
    if (!ok) {
        std::fprintf(stderr, "assetgen: some assets could not be written to %s\n", dir.c_str());
        return 1;
    }
    return 0;
}
