#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Where the player's files live, as UTF-8. On Linux $XDG_CONFIG_HOME/plemby (else
// ~/.config/plemby) and $XDG_DATA_HOME/plemby (else ~/.local/share/plemby); on Windows both are
// %APPDATA%\Plemby. Empty when no such folder can be found.
std::string ConfigDir();
std::string DataDir();
// Why ConfigDir or DataDir found no folder, in the words of the player's system: "neither
// XDG_CONFIG_HOME nor HOME is set" on Linux, what Windows lacked on Windows.
std::string NoConfigDirReason();
std::string NoDataDirReason();

// Reads a whole file of at most maxBytes; nullopt when it is missing, unreadable, not a
// regular file or larger than maxBytes.
std::optional<std::vector<std::uint8_t>> ReadSmallFile(const std::string& path,
                                                       std::size_t maxBytes);

// A stored file as found at start-up. One that exists but cannot be read (no permission, not
// a regular file) is not the same as one that is missing: it may hold the player's data, so
// it must not be written over.
enum class StoredFileState { Missing, Read, Unreadable };
struct StoredFile {
    StoredFileState state = StoredFileState::Missing;
    // Read: the file's bytes, or its first maxBytes + 1 when it is larger than maxBytes.
    std::vector<std::uint8_t> bytes;
    // Unreadable: why, in words.
    std::string problem;
};
StoredFile ReadStoredFile(const std::string& path, std::size_t maxBytes);

// Tells the player in one line starting "plemby: ": on stderr, and on Windows, where the game
// has no terminal, also in plemby.log in the user folder.
void ReportProblem(const std::string& text);
// The same for a failure that stops the game; on Windows it is also shown in a message box.
void ReportFatalProblem(const std::string& text);

// Opens a file by its UTF-8 path, as std::fopen does.
std::FILE* OpenFile(const std::string& path, const char* mode);
// Renames from over to in one step, replacing to when it exists; errno tells why not.
bool MoveFileOver(const std::string& from, const std::string& to);

// A regular file of at most 4 GiB opened for reads at any offset, which do not move a shared
// file position.
class PositionedFile {
public:
    PositionedFile() = default;
    ~PositionedFile() { Close(); }
    PositionedFile(const PositionedFile&) = delete;
    PositionedFile& operator=(const PositionedFile&) = delete;

    // False when the file is missing, unreadable, not a regular file or larger than 4 GiB.
    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return handle_ != CLOSED; }
    std::uint32_t Size() const { return size_; }
    // Reads up to count bytes at offset; fewer at the end of the file or on an error.
    std::size_t ReadAt(std::uint64_t offset, std::uint8_t* dest, std::size_t count) const;

private:
    static constexpr std::intptr_t CLOSED = -1;
    std::intptr_t handle_ = CLOSED;  // a descriptor, or a Windows handle
    std::uint32_t size_ = 0;
};

// Writes the bytes to a temporary file beside path, flushes it to disk and puts it in path's
// place in one step, creating the folder if needed: a crash leaves the old file or the new, never a torn
// one. False on any failure (the old file then stays as it was); errno then tells why.
bool SaveFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes);

// Whether name is a temporary file of a save of stem: stem, a dot and six letters or digits.
bool IsTemporaryName(std::string_view name, std::string_view stem);

// Removes the temporary files that saves of path left behind when the game was killed before
// their rename: regular files of this user beside path, named as SaveFileAtomically names them
// (path's name, a dot and six letters or digits) and last written before this process started,
// so that a save still under way elsewhere is never touched. Returns how many were removed.
int RemoveStaleTemporaries(const std::string& path);

// Deletes a file; true when it is gone (also when it was not there).
bool RemoveFile(const std::string& path);
