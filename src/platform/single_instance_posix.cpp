#include "platform/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// A folder that can hold the lock, with the socket beside it.
struct LockPlace {
    std::string lockPath;
    std::string socketPath;
    int lockFd = -1;
    int socketFd = -1;
};

struct InstanceState {
    bool claimed = false;
    std::vector<LockPlace> places;  // the places this copy holds
    std::string runningCopySocket;  // beside the lock another copy holds
};
InstanceState instance;

// The lock is taken in $XDG_RUNTIME_DIR and also in the temporary folder, so that copies
// started with different runtime folders (or one that cannot hold a file) still find each
// other. The temporary folder is shared, so its names carry the user id.
std::vector<std::string> PlaceStems() {
    std::vector<std::string> stems;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/') stems.push_back(std::string(runtime) + "/plemby");
    const char* tmp = std::getenv("TMPDIR");
    const std::string shared = (tmp != nullptr && tmp[0] == '/') ? tmp : "/tmp";
    stems.push_back(shared + "/plemby-" + std::to_string(getuid()));
    return stems;
}

bool FillAddress(const std::string& path, sockaddr_un& address) {
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

// Opens our own lock file at path: -1 when the folder cannot hold one (missing, not a folder,
// not writable) or the file there is another user's, which could otherwise lock us out.
int OpenLockFile(const std::string& path) {
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return -1;
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != getuid()) {
        close(fd);
        return -1;
    }
    return fd;
}

void ReleasePlaces() {
    for (LockPlace& place : instance.places) {
        if (place.socketFd >= 0) {
            close(place.socketFd);
            unlink(place.socketPath.c_str());
        }
        // The lock file stays: removing it would let a third copy lock a fresh file while a
        // second still holds the old one.
        close(place.lockFd);
    }
    instance.places.clear();
}

}  // namespace

bool ClaimSingleInstance() {
    if (instance.claimed) return true;
    for (const std::string& stem : PlaceStems()) {
        LockPlace place{stem + ".lock", stem + ".sock"};
        place.lockFd = OpenLockFile(place.lockPath);
        if (place.lockFd < 0) continue;
        if (flock(place.lockFd, LOCK_EX | LOCK_NB) != 0) {
            const bool taken = errno == EWOULDBLOCK;
            close(place.lockFd);
            if (!taken) continue;
            // Another copy runs: it listens beside this lock.
            instance.runningCopySocket = place.socketPath;
            ReleasePlaces();
            return false;
        }
        instance.places.push_back(place);
    }
    if (instance.places.empty()) {
        // Better to run than to refuse to start, but the player should know.
        std::fprintf(stderr,
                     "plemby: no folder can hold the lock that keeps a second copy from "
                     "running (XDG_RUNTIME_DIR and the temporary folder); running without it\n");
    }
    instance.claimed = true;
    return true;
}

void ListenForRaiseRequests() {
    for (LockPlace& place : instance.places) {
        if (place.socketFd >= 0) continue;
        sockaddr_un address{};
        if (!FillAddress(place.socketPath, address)) continue;
        const int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd < 0) continue;
        // We hold the lock, so a socket file left here is from a copy that died.
        unlink(place.socketPath.c_str());
        if (bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
            close(fd);
            continue;
        }
        place.socketFd = fd;
    }
}

void ReleaseSingleInstance() {
    ReleasePlaces();
    instance = InstanceState{};
}

void AskRunningCopyToRaise() {
    sockaddr_un address{};
    if (!FillAddress(instance.runningCopySocket, address)) return;
    const int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return;
    const char request = 'R';
    sendto(fd, &request, 1, MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&address),
           sizeof address);
    close(fd);
}

bool TakeRaiseRequest() {
    bool asked = false;
    char buffer[16];
    for (const LockPlace& place : instance.places) {
        if (place.socketFd < 0) continue;
        while (recv(place.socketFd, buffer, sizeof buffer, 0) >= 0) asked = true;
    }
    return asked;
}
