#include "platform/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct InstanceState {
    int lockFd = -1;
    int socketFd = -1;
    std::string socketPath;
};
InstanceState instance;

// The folder that holds the lock and the socket: private to the user either way.
std::string RuntimeFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/') return runtime;
    const char* tmp = std::getenv("TMPDIR");
    return (tmp != nullptr && tmp[0] == '/') ? tmp : "/tmp";
}

// Outside $XDG_RUNTIME_DIR the temporary folder is shared, so the names carry the user id.
std::string InstanceName(const char* suffix) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const bool shared = runtime == nullptr || runtime[0] != '/';
    std::string name = RuntimeFolder() + "/plemby";
    if (shared) {
        name += '-';
        name += std::to_string(getuid());
    }
    return name + suffix;
}

bool FillAddress(const std::string& path, sockaddr_un& address) {
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

}  // namespace

void ListenForRaiseRequests() {
    if (instance.lockFd < 0 || instance.socketFd >= 0) return;
    const std::string path = InstanceName(".sock");
    sockaddr_un address{};
    if (!FillAddress(path, address)) return;
    const int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return;
    // We hold the lock, so a socket file left here is from a copy that died.
    unlink(path.c_str());
    if (bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return;
    }
    instance.socketFd = fd;
    instance.socketPath = path;
}

bool ClaimSingleInstance() {
    if (instance.lockFd >= 0) return true;
    const std::string path = InstanceName(".lock");
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    // Without a lock file there is no way to tell; better to run than to refuse to start.
    if (fd < 0) return true;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool taken = errno == EWOULDBLOCK;
        close(fd);
        return !taken;
    }
    instance.lockFd = fd;
    return true;
}

void ReleaseSingleInstance() {
    if (instance.socketFd >= 0) {
        close(instance.socketFd);
        unlink(instance.socketPath.c_str());
    }
    // The lock file stays: removing it would let a third copy lock a fresh file while a
    // second still holds the old one.
    if (instance.lockFd >= 0) close(instance.lockFd);
    instance = InstanceState{};
}

void AskRunningCopyToRaise() {
    sockaddr_un address{};
    if (!FillAddress(InstanceName(".sock"), address)) return;
    const int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return;
    const char request = 'R';
    sendto(fd, &request, 1, MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&address),
           sizeof address);
    close(fd);
}

bool TakeRaiseRequest() {
    if (instance.socketFd < 0) return false;
    bool asked = false;
    char buffer[16];
    while (recv(instance.socketFd, buffer, sizeof buffer, 0) >= 0) asked = true;
    return asked;
}
