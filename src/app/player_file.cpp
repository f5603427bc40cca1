#include "app/player_file.h"

#include <cerrno>
#include <cstring>

#include "platform/files.h"

std::string PlayerFilePath(const PlayerFileKind& kind) {
    const std::string folder = kind.folder();
    return folder.empty() ? std::string() : folder + "/" + std::string(kind.fileName);
}

void LoadPlayerFile(const PlayerFileKind& kind, PlayerFileState& state, TakePlayerFile take) {
    state = PlayerFileState{};
    const std::string path = PlayerFilePath(kind);
    if (path.empty()) return;
    RemoveStaleTemporaries(path);
    const StoredFile stored = ReadStoredFile(path, kind.maxBytes);
    const std::string in = std::string(kind.contents) + " in " + path;
    if (stored.state == StoredFileState::Unreadable) {
        state.keepStoredFile = true;
        ReportProblem("cannot read " + in + " (" + stored.problem + "); playing with " +
                      std::string(kind.builtIn) + ", which will not be stored");
        return;
    }
    if (stored.state != StoredFileState::Read) return;
    if (stored.bytes.size() > kind.maxBytes) {
        ReportProblem(in + " are too large to be read; playing with " + std::string(kind.builtIn));
        return;
    }
    const std::string unused = take(stored.bytes);
    if (!unused.empty()) ReportProblem(in + " " + unused);
}

bool SavePlayerFile(const PlayerFileKind& kind, PlayerFileState& state,
                    std::span<const std::uint8_t> bytes) {
    if (state.keepStoredFile) return false;
    const std::string path = PlayerFilePath(kind);
    if (!path.empty() && SaveFileAtomically(path, bytes)) return true;
    const std::string why = path.empty() ? ": no folder for them (" + kind.noFolderReason() + ")"
                                         : " in " + path + " (" + std::strerror(errno) + ")";
    if (!state.toldNotStored) {
        state.toldNotStored = true;
        ReportProblem("cannot store " + std::string(kind.contents) + why +
                      "; they last until the game ends");
    }
    return false;
}
