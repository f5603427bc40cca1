#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string_view>

#include "platform/file_keeping.h"

namespace {

// mkstemp's pattern: the six places it fills with letters and digits.
constexpr const char* TEMPORARY_SUFFIX = ".XXXXXX";

// When this process started, near enough: read as the program is loaded, before any save.
const timespec processStart = [] {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return now;
}();

bool Before(const timespec& a, const timespec& b) {
    return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

// $XDG_<kind>, else $HOME/<fallback>; a relative XDG path is ignored as the XDG rules ask.
std::string UserDir(const char* xdgVariable, std::string_view homeFallback) {
    const char* xdg = std::getenv(xdgVariable);
    if (xdg != nullptr && xdg[0] == '/') return std::string(xdg) + "/plemby";
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/') return {};
    return std::string(home) + "/" + std::string(homeFallback) + "/plemby";
}

// Creates every missing folder of path; true when the whole path exists as folders.
bool MakeFolders(const std::string& path) {
    if (path.empty()) return false;
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) break;
    }
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return false;
    if (!S_ISDIR(info.st_mode)) {
        errno = ENOTDIR;
        return false;
    }
    return true;
}

bool WriteAll(int fd, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

std::string ConfigDir() { return UserDir("XDG_CONFIG_HOME", ".config"); }
std::string DataDir() { return UserDir("XDG_DATA_HOME", ".local/share"); }
std::string NoConfigDirReason() { return "neither XDG_CONFIG_HOME nor HOME is set"; }
std::string NoDataDirReason() { return "neither XDG_DATA_HOME nor HOME is set"; }

StoredFile ReadStoredFile(const std::string& path, std::size_t maxBytes) {
    StoredFile file;
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        // A plain file where a folder of the path should be: nothing can be stored there.
        if (errno != ENOENT && errno != ENOTDIR) {
            file.state = StoredFileState::Unreadable;
            file.problem = std::strerror(errno);
        }
        return file;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        file.state = StoredFileState::Unreadable;
        file.problem = "not a regular file";
        return file;
    }
    // One byte past the limit is enough to tell that a file is too large, also one that grew
    // since fstat.
    const auto size = static_cast<std::uintmax_t>(info.st_size);
    file.bytes.resize(static_cast<std::size_t>(std::min<std::uintmax_t>(size, maxBytes)) + 1);
    std::size_t got = 0;
    while (got < file.bytes.size()) {
        const ssize_t n = read(fd, file.bytes.data() + got, file.bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            file.state = StoredFileState::Unreadable;
            file.problem = std::strerror(errno);
            file.bytes.clear();
            close(fd);
            return file;
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    close(fd);
    file.bytes.resize(got);
    file.state = StoredFileState::Read;
    return file;
}

void ReportProblem(const std::string& text) { std::fprintf(stderr, "plemby: %s\n", text.c_str()); }

void ReportFatalProblem(const std::string& text) { ReportProblem(text); }

std::FILE* OpenFile(const std::string& path, const char* mode) {
    return std::fopen(path.c_str(), mode);
}

bool MoveFileOver(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

bool PositionedFile::Open(const std::string& path) {
    Close();
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > 0xFFFFFFFFLL) {
        close(fd);
        return false;
    }
    handle_ = fd;
    size_ = static_cast<std::uint32_t>(info.st_size);
    return true;
}

void PositionedFile::Close() {
    if (handle_ != CLOSED) close(static_cast<int>(handle_));
    handle_ = CLOSED;
    size_ = 0;
}

std::size_t PositionedFile::ReadAt(std::uint64_t offset, std::uint8_t* dest,
                                   std::size_t count) const {
    std::size_t done = 0;
    while (done < count && handle_ != CLOSED) {
        const ssize_t got = pread(static_cast<int>(handle_), dest + done, count - done,
                                  static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

bool SaveFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos || slash + 1 == path.size()) {
        errno = EINVAL;
        return false;
    }
    const std::string folder = path.substr(0, slash);
    if (!folder.empty() && !MakeFolders(folder)) return false;

    std::string temporary = path + TEMPORARY_SUFFIX;
    const int fd = mkstemp(temporary.data());
    if (fd < 0) return false;
    bool ok = WriteAll(fd, bytes) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    if (ok) ok = rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok) {
        const int why = errno;
        unlink(temporary.c_str());
        errno = why;
        return false;
    }
    // Make the rename itself durable.
    const int dirFd =
        open(folder.empty() ? "/" : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        fsync(dirFd);
        close(dirFd);
    }
    KeepSavedFile(path);
    return true;
}

int RemoveStaleTemporaries(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos || slash + 1 == path.size()) return 0;
    const std::string folder = slash == 0 ? "/" : path.substr(0, slash);
    const std::string_view stem = std::string_view(path).substr(slash + 1);
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return 0;
    int removed = 0;
    while (const dirent* entry = readdir(dir)) {
        if (!IsTemporaryName(entry->d_name, stem)) continue;
        struct stat info {};
        // Not followed through a link: only a plain file of ours is taken for a temporary.
        if (fstatat(dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(info.st_mode) || info.st_uid != geteuid() ||
            !Before(info.st_mtim, processStart)) {
            continue;
        }
        if (unlinkat(dirfd(dir), entry->d_name, 0) == 0) ++removed;
    }
    closedir(dir);
    return removed;
}

bool RemoveFile(const std::string& path) {
    if (unlink(path.c_str()) != 0 && errno != ENOENT) return false;
    ForgetSavedFile(path);
    return true;
}
