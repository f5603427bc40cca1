#include <windows.h>
#include <shlobj.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <ctime>

#include "platform/file_keeping.h"
#include "platform/files.h"
#include "platform/wide_text.h"

namespace {

constexpr const char* APP_FOLDER = "Plemby";
constexpr const char* LOG_FILE = "plemby.log";
// A log that grew past this starts again, so that years of reports never fill a disk.
constexpr LONGLONG MAX_LOG_BYTES = 1 << 20;
constexpr int TEMPORARY_LETTERS = 6;
constexpr int TEMPORARY_TRIES = 100;

// errno for a Windows error, so that callers word a failure the same way on every system.
int ErrnoFor(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
            return ENOENT;
        case ERROR_ACCESS_DENIED:
        case ERROR_CANNOT_MAKE:
            return EACCES;
        case ERROR_WRITE_PROTECT:
            return EROFS;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return EBUSY;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return ENOSPC;
        case ERROR_FILENAME_EXCED_RANGE:
            return ENAMETOOLONG;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return EEXIST;
        case ERROR_INVALID_NAME:
            return EINVAL;
        default:
            return EIO;
    }
}

bool Fail(DWORD error) {
    errno = ErrnoFor(error);
    return false;
}

// When this process started: a temporary file written before it is a killed save's.
FILETIME ProcessStart() {
    FILETIME created{}, exited{}, kernel{}, user{};
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    return created;
}

std::size_t LastSeparator(const std::string& path) { return path.find_last_of("/\\"); }

// Creates every missing folder of path; true when the whole path exists as folders.
bool MakeFolders(const std::string& path) {
    const std::wstring wide = WidePath(path);
    // The drive ("C:\") or the share ("\\server\share\") is there or not; it is never made.
    std::size_t start = 0;
    if (wide.starts_with(LONG_PATH_UNC_PREFIX)) {
        start = wide.find(L'\\', wide.find(L'\\', std::wcslen(LONG_PATH_UNC_PREFIX)) + 1);
    } else if (wide.starts_with(LONG_PATH_PREFIX)) {
        start = std::wcslen(LONG_PATH_PREFIX) + 2;
    } else if (wide.starts_with(L"\\\\")) {
        start = wide.find(L'\\', wide.find(L'\\', 2) + 1);
    } else if (wide.size() >= 2 && wide[1] == L':') {
        start = 2;
    }
    for (std::size_t sep = wide.find(L'\\', start == std::wstring::npos ? 0 : start + 1);;
         sep = wide.find(L'\\', sep + 1)) {
        const std::wstring part = wide.substr(0, sep);
        if (!part.empty() && CreateDirectoryW(part.c_str(), nullptr) == 0 &&
            GetLastError() != ERROR_ALREADY_EXISTS) {
            return Fail(GetLastError());
        }
        if (sep == std::wstring::npos) break;
    }
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return Fail(GetLastError());
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        errno = ENOTDIR;
        return false;
    }
    return true;
}

// %APPDATA%\Plemby. The variable is read first, as Windows programs do, so that a player (or a
// test) can point the game elsewhere; else the system's own roaming application data folder.
std::string UserFolder() {
    const wchar_t* variable = _wgetenv(L"APPDATA");
    std::wstring base;
    if (variable != nullptr && IsAbsoluteWidePath(variable)) {
        base = variable;
    } else {
        PWSTR known = nullptr;
        if (SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &known) == S_OK) {
            base = known;
        }
        CoTaskMemFree(known);
    }
    if (base.empty()) return {};
    return Utf8FromWide(base) + "\\" + APP_FOLDER;
}

HANDLE OpenForReading(const std::string& path) {
    return CreateFileW(WidePath(path).c_str(), GENERIC_READ,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool IsPlainFile(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION info{};
    return GetFileType(file) == FILE_TYPE_DISK && GetFileInformationByHandle(file, &info) != 0 &&
           (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool WriteAll(HANDLE file, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD piece =
            static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        DWORD written = 0;
        if (WriteFile(file, bytes.data() + done, piece, &written, nullptr) == 0 || written == 0) {
            return false;
        }
        done += written;
    }
    return true;
}

// A new file beside path named path, a dot and six letters or digits; its name goes to
// temporary.
HANDLE CreateTemporary(const std::string& path, std::string& temporary) {
    static const char LETTERS[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    static unsigned long long state = GetTickCount64() ^ (GetCurrentProcessId() * 0x9E3779B97F4A7C15ULL);
    for (int attempt = 0; attempt < TEMPORARY_TRIES; ++attempt) {
        temporary = path + ".";
        for (int i = 0; i < TEMPORARY_LETTERS; ++i) {
            state = state * 6364136223846793005ULL + 1442695040888963407ULL;
            temporary += LETTERS[(state >> 33) % (sizeof LETTERS - 1)];
        }
        const HANDLE file = CreateFileW(WidePath(temporary).c_str(), GENERIC_WRITE, 0, nullptr,
                                        CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
    }
    return INVALID_HANDLE_VALUE;
}

void AppendToLog(const std::string& line) {
    const std::string folder = UserFolder();
    if (folder.empty() || !MakeFolders(folder)) return;
    const std::wstring path = WidePath(folder + "\\" + LOG_FILE);
    WIN32_FILE_ATTRIBUTE_DATA info{};
    const bool tooLong =
        GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &info) != 0 &&
        (static_cast<LONGLONG>(info.nFileSizeHigh) << 32 | info.nFileSizeLow) > MAX_LOG_BYTES;
    const HANDLE log = CreateFileW(path.c_str(), tooLong ? GENERIC_WRITE : FILE_APPEND_DATA,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   tooLong ? CREATE_ALWAYS : OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                   nullptr);
    if (log == INVALID_HANDLE_VALUE) return;
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04u-%02u-%02u %02u:%02u:%02u ", now.wYear, now.wMonth,
                  now.wDay, now.wHour, now.wMinute, now.wSecond);
    const std::string text = stamp + line + "\r\n";
    WriteAll(log, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    CloseHandle(log);
}

// A program started from the desktop has no standard error; one started from a console or a
// script (the console twin, the tests) has one that someone reads.
bool NobodyReadsStderr() {
    const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    return error == nullptr || error == INVALID_HANDLE_VALUE;
}

}  // namespace

std::string ConfigDir() { return UserFolder(); }
std::string DataDir() { return UserFolder(); }
std::string NoConfigDirReason() {
    return "%APPDATA% is not set and Windows names no application data folder";
}
std::string NoDataDirReason() { return NoConfigDirReason(); }

StoredFile ReadStoredFile(const std::string& path, std::size_t maxBytes) {
    StoredFile file;
    const HANDLE handle = OpenForReading(path);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        // A folder opens only on request: one in the file's place is not a file.
        const DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            file.state = StoredFileState::Unreadable;
            file.problem = "not a regular file";
        } else if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
            file.state = StoredFileState::Unreadable;
            file.problem = std::strerror(ErrnoFor(error));
        }
        return file;
    }
    LARGE_INTEGER size{};
    if (!IsPlainFile(handle) || GetFileSizeEx(handle, &size) == 0) {
        CloseHandle(handle);
        file.state = StoredFileState::Unreadable;
        file.problem = "not a regular file";
        return file;
    }
    // One byte past the limit is enough to tell that a file is too large, also one that grew
    // since its size was read.
    file.bytes.resize(
        static_cast<std::size_t>(std::min<ULONGLONG>(static_cast<ULONGLONG>(size.QuadPart),
                                                     maxBytes)) +
        1);
    std::size_t got = 0;
    while (got < file.bytes.size()) {
        DWORD n = 0;
        const DWORD want =
            static_cast<DWORD>(std::min<std::size_t>(file.bytes.size() - got, 1u << 30));
        if (ReadFile(handle, file.bytes.data() + got, want, &n, nullptr) == 0) {
            file.state = StoredFileState::Unreadable;
            file.problem = std::strerror(ErrnoFor(GetLastError()));
            file.bytes.clear();
            CloseHandle(handle);
            return file;
        }
        if (n == 0) break;
        got += n;
    }
    CloseHandle(handle);
    file.bytes.resize(got);
    file.state = StoredFileState::Read;
    return file;
}

void ReportProblem(const std::string& text) {
    std::fprintf(stderr, "plemby: %s\n", text.c_str());
    std::fflush(stderr);
    AppendToLog("plemby: " + text);
}

void ReportFatalProblem(const std::string& text) {
    ReportProblem(text);
    if (NobodyReadsStderr()) {
        MessageBoxW(nullptr, WideFromUtf8("Plemby! cannot start: " + text).c_str(), L"Plemby!",
                    MB_OK | MB_ICONERROR);
    }
}

std::FILE* OpenFile(const std::string& path, const char* mode) {
    return _wfopen(WidePath(path).c_str(), WideFromUtf8(mode).c_str());
}

bool MoveFileOver(const std::string& from, const std::string& to) {
    if (MoveFileExW(WidePath(from).c_str(), WidePath(to).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0) {
        return Fail(GetLastError());
    }
    return true;
}

bool PositionedFile::Open(const std::string& path) {
    Close();
    const HANDLE file = OpenForReading(path);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    if (!IsPlainFile(file) || GetFileSizeEx(file, &size) == 0 || size.QuadPart > 0xFFFFFFFFLL) {
        CloseHandle(file);
        return false;
    }
    handle_ = reinterpret_cast<std::intptr_t>(file);
    size_ = static_cast<std::uint32_t>(size.QuadPart);
    return true;
}

void PositionedFile::Close() {
    if (handle_ != CLOSED) CloseHandle(reinterpret_cast<HANDLE>(handle_));
    handle_ = CLOSED;
    size_ = 0;
}

std::size_t PositionedFile::ReadAt(std::uint64_t offset, std::uint8_t* dest,
                                   std::size_t count) const {
    std::size_t done = 0;
    while (done < count && handle_ != CLOSED) {
        OVERLAPPED at{};
        const std::uint64_t where = offset + done;
        at.Offset = static_cast<DWORD>(where);
        at.OffsetHigh = static_cast<DWORD>(where >> 32);
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(count - done, 1u << 30));
        if (ReadFile(reinterpret_cast<HANDLE>(handle_), dest + done, want, &got, &at) == 0 ||
            got == 0) {
            break;
        }
        done += got;
    }
    return done;
}

bool SaveFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes) {
    const std::size_t separator = LastSeparator(path);
    if (separator == std::string::npos || separator + 1 == path.size()) {
        errno = EINVAL;
        return false;
    }
    const std::string folder = path.substr(0, separator);
    if (!folder.empty() && !MakeFolders(folder)) return false;

    std::string temporary;
    const HANDLE file = CreateTemporary(path, temporary);
    if (file == INVALID_HANDLE_VALUE) return Fail(GetLastError());
    bool ok = WriteAll(file, bytes) && FlushFileBuffers(file) != 0;
    DWORD error = ok ? ERROR_SUCCESS : GetLastError();
    CloseHandle(file);
    // One step, and on disk before it returns: the old file or the new, never a torn one.
    if (ok && MoveFileExW(WidePath(temporary).c_str(), WidePath(path).c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0) {
        ok = false;
        error = GetLastError();
    }
    if (!ok) {
        DeleteFileW(WidePath(temporary).c_str());
        return Fail(error);
    }
    KeepSavedFile(path);
    return true;
}

int RemoveStaleTemporaries(const std::string& path) {
    const std::size_t separator = LastSeparator(path);
    if (separator == std::string::npos || separator + 1 == path.size()) return 0;
    const std::string folder = path.substr(0, separator + 1);
    const std::string stem = path.substr(separator + 1);
    static const FILETIME processStart = ProcessStart();
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW(WidePath(path + ".??????").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    int removed = 0;
    do {
        const std::string name = Utf8FromWide(found.cFileName);
        // Only a plain file is taken for a temporary, never a folder or a link. The folder is
        // the player's own (%APPDATA%), so whatever is in it is theirs.
        if (!IsTemporaryName(name, stem) ||
            (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) ||
            CompareFileTime(&found.ftLastWriteTime, &processStart) >= 0) {
            continue;
        }
        if (DeleteFileW(WidePath(folder + name).c_str()) != 0) ++removed;
    } while (FindNextFileW(search, &found) != 0);
    FindClose(search);
    return removed;
}

bool RemoveFile(const std::string& path) {
    if (DeleteFileW(WidePath(path).c_str()) == 0) {
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) return Fail(error);
    }
    ForgetSavedFile(path);
    return true;
}
