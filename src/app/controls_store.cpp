#include "app/controls_store.h"

#include <string>
#include <vector>

#include "app/controls_store_testing.h"
#include "app/player_file.h"
#include "common/controls.h"
#include "platform/files.h"

namespace {

constexpr PlayerFileKind CONTROLS_FILE = {
    .contents = "the controls",
    .builtIn = "the default controls",
    .folder = ConfigDir,
    .folderVariable = "XDG_CONFIG_HOME",
    .fileName = "controls.txt",
    .maxBytes = MAX_CONTROLS_FILE_BYTES,
};

struct ControlsStore {
    // What the file holds (or would hold, as read): nothing is written while the controls match.
    PlayerControls stored{};
    std::vector<std::string> unknownLines;
    PlayerFileState file;
};
ControlsStore store;

std::string TakeControlsFile(std::span<const std::uint8_t> bytes) {
    ControlsFile read = ParseControlsFile(bytes);
    controls = read.controls;
    store.stored = read.controls;
    store.unknownLines = std::move(read.unknownLines);
    if (read.badLines == 0) return {};
    return "have " + std::to_string(read.badLines) +
           " line(s) not understood (the first is line " + std::to_string(read.firstBadLine) +
           "); their controls keep the defaults";
}

}  // namespace

void LoadControls() {
    store = ControlsStore{};
    controls = PlayerControls{};
    LoadPlayerFile(CONTROLS_FILE, store.file, TakeControlsFile);
}

void StoreControls() {
    if (controls == store.stored) return;
    const std::string text = FormatControlsFile(controls, store.unknownLines);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    if (SavePlayerFile(CONTROLS_FILE, store.file, {bytes, text.size()})) store.stored = controls;
}

void ResetControls() {
    store = ControlsStore{};
    controls = PlayerControls{};
}
