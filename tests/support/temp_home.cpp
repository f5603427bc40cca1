#include "support/temp_home.h"

#include <filesystem>
#include <system_error>

#include "support/portable.h"

namespace {

struct TempHome {
    std::string root;

    TempHome() {
        root = MakeTemporaryFolder("plemby-test-");
        SetEnvironment("HOME", (root + "/home").c_str());
        SetEnvironment("XDG_CONFIG_HOME", (root + "/config").c_str());
        SetEnvironment("XDG_DATA_HOME", (root + "/data").c_str());
        SetEnvironment("XDG_RUNTIME_DIR", (root + "/run").c_str());
        // Windows keeps both kinds of the player's files in one folder.
        SetEnvironment("APPDATA", (root + "/appdata").c_str());
        // The game's single-instance lock also goes into the temporary folder: the tests' own,
        // so that games started by tests in other folders at the same time never meet.
        SetEnvironment("TMPDIR", (root + "/tmp").c_str());
        MakeFolders();
    }

    ~TempHome() {
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }

    void MakeFolders() const {
        for (const char* sub : {"/home", "/config", "/data", "/run", "/tmp", "/appdata"}) {
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
    for (const char* sub : {"/home", "/config", "/data", "/run", "/tmp", "/appdata"}) {
        std::filesystem::remove_all(Home().root + sub, ignored);
    }
    Home().MakeFolders();
}
