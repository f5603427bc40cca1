#include "support/temp_home.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {

struct TempHome {
    std::string root;

    TempHome() {
        std::string pattern =
            std::filesystem::temp_directory_path().string() + "/plemby-test-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        root = pattern;
        setenv("HOME", (root + "/home").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (root + "/config").c_str(), 1);
        setenv("XDG_DATA_HOME", (root + "/data").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", (root + "/run").c_str(), 1);
        // The game's single-instance lock also goes into the temporary folder: the tests' own,
        // so that games started by tests in other folders at the same time never meet.
        setenv("TMPDIR", (root + "/tmp").c_str(), 1);
        MakeFolders();
    }

    ~TempHome() {
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }

    void MakeFolders() const {
        for (const char* sub : {"/home", "/config", "/data", "/run", "/tmp"}) {
            std::filesystem::create_directories(root + sub);
        }
    }
};

TempHome& Home() {
    static TempHome home;
    return home;
}

// Made before main so that nothing can look at the real home first.
[[maybe_unused]] const bool homeReady = !Home().root.empty();

}  // namespace

const std::string& TestHomeDir() { return Home().root; }

void ClearTestHome() {
    std::error_code ignored;
    for (const char* sub : {"/home", "/config", "/data", "/run", "/tmp"}) {
        std::filesystem::remove_all(Home().root + sub, ignored);
    }
    Home().MakeFolders();
}
