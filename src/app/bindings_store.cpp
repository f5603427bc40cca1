#include "app/bindings_store.h"

#include <string>
#include <vector>

#include "app/bindings_store_testing.h"
#include "app/player_file.h"
#include "common/bindings_file.h"
#include "platform/files.h"

namespace {

constexpr PlayerFileKind CONTROLS_FILE = {
    .contents = "the controls",
    .builtIn = "the default controls",
    .folder = ConfigDir,
    .noFolderReason = NoConfigDirReason,
    .fileName = "controls.txt",
    .maxBytes = MAX_BINDINGS_FILE_BYTES,
};

struct ControlsStore {
    // What the file holds (or would hold, as read): nothing is written while the controls match.
    PlayerBindings stored{};
    std::vector<std::string> unknownLines;
    PlayerFileState file;
};
ControlsStore store;

std::string TakeControlsFile(std::span<const std::uint8_t> bytes) {
    BindingsFile read = ParseBindingsFile(bytes);
    bindings = read.bindings;
    store.stored = read.bindings;
    store.unknownLines = std::move(read.unknownLines);
    if (read.badLines == 0) return {};
    return "have " + std::to_string(read.badLines) + " line(s) not understood (the first is line " +
           std::to_string(read.firstBadLine) + "); their controls keep the defaults";
}

}  // namespace

void LoadBindings() {
    store = ControlsStore{};
    bindings = PlayerBindings{};
    LoadPlayerFile(CONTROLS_FILE, store.file, TakeControlsFile);
}

void StoreBindings() {
    if (bindings == store.stored) return;
    const std::string text = FormatBindingsFile(bindings, store.unknownLines);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    if (SavePlayerFile(CONTROLS_FILE, store.file, {bytes, text.size()})) store.stored = bindings;
}

void ResetBindings() {
    store = ControlsStore{};
    bindings = PlayerBindings{};
}
