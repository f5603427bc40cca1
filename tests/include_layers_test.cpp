#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

// Every include of a header under src/ points down the layers, or stays in its own layer:
//   app, server; screens, game, replays; gfx, sound, music; common; platform.
// Only platform/ includes SDL. The rules of the game decide and do not present, and they are
// given their input: game/ includes only game/ and common/, and no header of the standard
// library that reaches files, devices, the clock or threads. Replays (their format, the games
// recorded and played back) stand on the rules alone: replays/ includes replays/, game/ and
// common/, and reaches no files, devices or clock either. The CPU player (cpu_player/) sees the
// game as a player does: it includes only the rules and common/, reads no device and never
// reaches the game's random generator, so the pieces of a game are the same whoever plays it.
// The score server (server/) stands on the replays and the rules alone: nothing that draws,
// sounds or opens a window.

namespace {

namespace fs = std::filesystem;

const std::map<std::string, int> LAYERS = {
    {"app", 4}, {"server", 4}, {"screens", 3}, {"game", 3},  {"replays", 3}, {"cpu_player", 3},
    {"gfx", 2}, {"sound", 2},   {"music", 2}, {"common", 1},  {"platform", 0},
};

// The only project folders a layer may include, where it is narrower than the layers allow.
const std::map<std::string, std::set<std::string>> ONLY_FROM = {
    {"game", {"game", "common"}},
    {"replays", {"replays", "game", "common"}},
    {"cpu_player", {"cpu_player", "game", "common"}},
    {"server", {"server", "replays", "game", "common"}},
};

// Project headers a folder never includes.
const std::map<std::string, std::set<std::string>> PROJECT_HEADERS_KEPT_OUT = {
    {"cpu_player", {"common/random.h"}},
};

const std::set<std::string> DEVICE_HEADERS = {"chrono",   "cstdio",  "filesystem", "fstream",
                                              "iostream", "thread",  "ctime",      "fcntl.h",
                                              "unistd.h", "stdio.h", "time.h"};
const std::map<std::string, std::set<std::string>> SYSTEM_HEADERS_KEPT_OUT = {
    {"game", DEVICE_HEADERS},
    {"replays", DEVICE_HEADERS},
    {"cpu_player", DEVICE_HEADERS},
};

// Only platform/ knows which system it runs on: the systems' own headers stay in it.
const std::set<std::string> SYSTEM_OWN_HEADERS = {
    "windows.h", "shlobj.h", "io.h", "unistd.h", "fcntl.h", "dirent.h", "sys/stat.h",
    "sys/types.h", "sys/socket.h", "sys/file.h", "sys/un.h", "sys/wait.h",
};

struct Finding {
    int files = 0;
    int includes = 0;
    std::vector<std::string> faults;
};

void CheckInclude(const std::string& folder, const std::string& header, bool angled,
                  const std::string& where, Finding& finding) {
    const std::string target =
        header.find('/') == std::string::npos ? std::string() : header.substr(0, header.find('/'));
    const bool sdl = header.rfind("SDL", 0) == 0;
    if (sdl && folder != "platform") {
        finding.faults.push_back(where + " includes SDL outside platform");
        return;
    }
    if (angled && folder != "platform" && SYSTEM_OWN_HEADERS.count(header) != 0) {
        finding.faults.push_back(where + " knows which system it runs on, outside platform");
        return;
    }
    if (target.empty() || (angled && LAYERS.count(target) == 0)) {
        const auto kept = SYSTEM_HEADERS_KEPT_OUT.find(folder);
        if (angled && kept != SYSTEM_HEADERS_KEPT_OUT.end() && kept->second.count(header) != 0) {
            finding.faults.push_back(where + " reaches files, devices or the clock from " + folder);
        }
        return;
    }
    ++finding.includes;
    if (const auto kept = PROJECT_HEADERS_KEPT_OUT.find(folder);
        kept != PROJECT_HEADERS_KEPT_OUT.end() && kept->second.count(header) != 0) {
        finding.faults.push_back(where + " reaches " + header + " from " + folder);
        return;
    }
    const auto own = LAYERS.at(folder);
    const auto layer = LAYERS.find(target);
    if (layer == LAYERS.end()) {
        finding.faults.push_back(where + " names a folder with no layer");
    } else if (layer->second > own) {
        finding.faults.push_back(where + " points up from " + folder + " to " + target);
    } else if (const auto only = ONLY_FROM.find(folder);
               only != ONLY_FROM.end() && only->second.count(target) == 0) {
        finding.faults.push_back(where + " reaches " + target + " from " + folder);
    }
}

Finding CheckSources(const fs::path& src) {
    Finding finding;
    const std::regex include(R"re(^\s*#\s*include\s*([<"])([^">]+)[">])re");
    for (const auto& entry : fs::recursive_directory_iterator(src)) {
        if (!entry.is_regular_file()) continue;
        const std::string ext = entry.path().extension().string();
        if (ext != ".h" && ext != ".cpp") continue;
        ++finding.files;
        const std::string file = fs::relative(entry.path(), src).generic_string();
        const std::string folder = file.substr(0, file.find('/'));
        if (LAYERS.count(folder) == 0) {
            finding.faults.push_back(file + ": folder " + folder + " has no layer");
            continue;
        }
        std::ifstream in(entry.path());
        std::string line;
        for (int number = 1; std::getline(in, line); ++number) {
            std::smatch match;
            if (!std::regex_search(line, match, include)) continue;
            const std::string where = file + ":" + std::to_string(number) + ": " + line;
            CheckInclude(folder, match[2], match[1] == "<", where, finding);
        }
    }
    return finding;
}

std::string Report(const Finding& finding) {
    std::string report;
    for (const std::string& fault : finding.faults) report += fault + "\n";
    return report;
}

TEST(IncludeLayers, EveryIncludeInTheSourcesPointsDown) {
    const Finding finding = CheckSources(fs::path(PLEMBY_SOURCE_DIR) / "src");
    // The walk found the sources, so an empty list of faults means something.
    EXPECT_GT(finding.files, 50);
    EXPECT_GT(finding.includes, 100);
    EXPECT_TRUE(finding.faults.empty()) << Report(finding);
}

// Each kind of wrong include, planted in a tree of its own, is found, in either spelling.
TEST(IncludeLayers, PlantedIncludesAreFound) {
    const fs::path src =
        fs::temp_directory_path() /
        ("plemby_layers_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    fs::remove_all(src);
    const std::vector<std::pair<std::string, std::string>> planted = {
        {"gfx/up.cpp", "#include \"screens/navigation.h\""},
        {"gfx/angled_up.cpp", "#include <app/shell.h>"},
        {"screens/sdl.cpp", "#include <SDL.h>"},
        {"sound/sdl2.cpp", "#include \"SDL2/SDL_audio.h\""},
        {"game/platform.cpp", "#include <platform/keys.h>"},
        {"game/drawing.h", "#include \"gfx/fade.h\""},
        {"game/files.cpp", "#include <fstream>"},
        {"game/clock.cpp", "#include <chrono>"},
        {"game/replays.cpp", "#include \"replays/replay.h\""},
        {"replays/screens.cpp", "#include \"screens/play_screen.h\""},
        {"replays/platform.h", "#include \"platform/clock.h\""},
        {"replays/files.cpp", "#include <cstdio>"},
        {"cpu_player/screen.cpp", "#include \"screens/play_screen.h\""},
        {"cpu_player/dice.cpp", "#include \"common/random.h\""},
        {"cpu_player/files.cpp", "#include <fstream>"},
        {"nowhere/file.cpp", "#include <vector>"},
        {"app/system.cpp", "#include <windows.h>"},
        {"music/system.cpp", "#include <unistd.h>"},
        {"server/screens.cpp", "#include \"screens/play_screen.h\""},
        {"server/app.h", "#include \"app/settings.h\""},
        {"server/sdl.cpp", "#include <SDL.h>"},
    };
    const std::vector<std::pair<std::string, std::string>> allowed = {
        {"game/fine.cpp", "#include <array>\n#include \"common/random.h\"\n#include <game/well.h>"},
        {"cpu_player/fine.cpp", "#include \"game/well.h\"\n#include \"common/settings.h\""},
        {"platform/sdl.cpp", "#include <SDL.h>\n#include <sys/stat.h>"},
        {"app/fine.cpp", "#include \"screens/navigation.h\"\n#include <fstream>"},
        {"replays/fine.cpp", "#include \"game/rules_frame.h\"\n#include \"common/random.h\""},
        {"screens/fine.cpp", "#include \"replays/live_game.h\""},
        {"server/fine.cpp", "#include \"replays/replay.h\"\n#include <httplib.h>\n#include <sqlite3.h>"},
    };
    for (const auto& [file, text] : planted) {
        fs::create_directories((src / file).parent_path());
        std::ofstream(src / file) << "#pragma once\n" << text << "\n";
    }
    for (const auto& [file, text] : allowed) {
        fs::create_directories((src / file).parent_path());
        std::ofstream(src / file) << text << "\n";
    }
    const Finding finding = CheckSources(src);
    fs::remove_all(src);
    const std::string report = Report(finding);
    EXPECT_EQ(finding.faults.size(), planted.size()) << report;
    for (const auto& [file, text] : planted) {
        EXPECT_NE(report.find(file + ":"), std::string::npos) << file << "\n" << report;
    }
}

}  // namespace
