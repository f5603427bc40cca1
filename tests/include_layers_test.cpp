#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

// Every include of a header under src/ points down the layers, or stays in its own layer:
//   app; screens, game; gfx, sound, music; common; platform.
// The rules of the game decide and do not present: game/ reaches no drawing, sound, music or
// screen header, even though some of them sit at its level or below.

namespace {

namespace fs = std::filesystem;

const std::map<std::string, int> LAYERS = {
    {"app", 4},   {"screens", 3}, {"game", 3},   {"gfx", 2},
    {"sound", 2}, {"music", 2},   {"common", 1}, {"platform", 0},
};

const std::map<std::string, std::set<std::string>> KEPT_APART = {
    {"game", {"screens", "gfx", "sound", "music"}},
};

struct Finding {
    int files = 0;
    int includes = 0;
    std::vector<std::string> faults;
};

Finding CheckSources(const fs::path& src) {
    Finding finding;
    const std::regex include(R"re(^\s*#\s*include\s*"([^"/]+)/[^"]+")re");
    for (const auto& entry : fs::recursive_directory_iterator(src)) {
        if (!entry.is_regular_file()) continue;
        const std::string ext = entry.path().extension().string();
        if (ext != ".h" && ext != ".cpp") continue;
        ++finding.files;
        const std::string file = fs::relative(entry.path(), src).generic_string();
        const std::string folder = file.substr(0, file.find('/'));
        const auto own = LAYERS.find(folder);
        if (own == LAYERS.end()) {
            finding.faults.push_back(file + ": folder " + folder + " has no layer");
            continue;
        }
        std::ifstream in(entry.path());
        std::string line;
        for (int number = 1; std::getline(in, line); ++number) {
            std::smatch match;
            if (!std::regex_search(line, match, include)) continue;
            ++finding.includes;
            const std::string target = match[1];
            const std::string where = file + ":" + std::to_string(number) + ": " + line;
            const auto layer = LAYERS.find(target);
            if (layer == LAYERS.end()) {
                finding.faults.push_back(where + " names a folder with no layer");
            } else if (layer->second > own->second) {
                finding.faults.push_back(where + " points up from " + folder + " to " + target);
            } else if (const auto apart = KEPT_APART.find(folder);
                       apart != KEPT_APART.end() && apart->second.count(target) != 0) {
                finding.faults.push_back(where + " reaches " + target + " from the rules");
            }
        }
    }
    return finding;
}

TEST(IncludeLayers, EveryIncludeInTheSourcesPointsDown) {
    const Finding finding = CheckSources(fs::path(PLEMBY_SOURCE_DIR) / "src");
    // The walk found the sources, so an empty list of faults means something.
    EXPECT_GT(finding.files, 50);
    EXPECT_GT(finding.includes, 100);
    std::string report;
    for (const std::string& fault : finding.faults) report += fault + "\n";
    EXPECT_TRUE(finding.faults.empty()) << report;
}

}  // namespace
