#include "app/controls_store.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "app/controls_store_testing.h"
#include "common/controls.h"
#include "platform/files.h"

namespace {

constexpr const char* CONTROLS_FILE = "controls.txt";

struct ControlsStore {
    // What the file holds (or would hold, as read): nothing is written while the controls match.
    PlayerControls stored{};
    std::vector<std::string> unknownLines;
    // The file exists but could not be read: it may hold the player's controls.
    bool keepStoredFile = false;
};
ControlsStore store;

std::string ControlsPath() {
    const std::string folder = ConfigDir();
    return folder.empty() ? std::string() : folder + "/" + CONTROLS_FILE;
}

}  // namespace

void LoadControls() {
    store = ControlsStore{};
    controls = PlayerControls{};
    const std::string path = ControlsPath();
    if (path.empty()) return;
    // Read once, at start-up, by the one running copy: what a killed save left can go.
    RemoveStaleTemporaries(path);
    const StoredFile file = ReadStoredFile(path, MAX_CONTROLS_FILE_BYTES);
    if (file.state == StoredFileState::Unreadable) {
        store.keepStoredFile = true;
        ReportProblem("cannot read the controls in " + path + " (" + file.problem +
                      "); playing with the default controls, which will not be stored");
        return;
    }
    if (file.state != StoredFileState::Read) return;
    if (file.bytes.size() > MAX_CONTROLS_FILE_BYTES) {
        ReportProblem("the controls in " + path +
                      " are too large to be read; playing with the default controls");
        return;
    }
    ControlsFile read = ParseControlsFile(file.bytes);
    if (read.badLines > 0) {
        ReportProblem(std::to_string(read.badLines) + " line(s) of " + path +
                      " not understood (the first is line " + std::to_string(read.firstBadLine) +
                      "); their controls keep the defaults");
    }
    controls = read.controls;
    store.stored = read.controls;
    store.unknownLines = std::move(read.unknownLines);
}

void StoreControls() {
    if (store.keepStoredFile || controls == store.stored) return;
    const std::string path = ControlsPath();
    if (path.empty()) return;
    const std::string text = FormatControlsFile(controls, store.unknownLines);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    if (!SaveFileAtomically(path, {bytes, text.size()})) {
        ReportProblem("cannot store the controls in " + path + " (" + std::strerror(errno) + ")");
        return;
    }
    store.stored = controls;
}

void ResetControls() {
    store = ControlsStore{};
    controls = PlayerControls{};
}
