#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/portable.h"

void SetEnvironment(const char* name, const char* value) {
    if (value == nullptr) {
        unsetenv(name);
    } else {
        setenv(name, value, 1);
    }
}

bool OnWindows() { return false; }

UnreadableFile::UnreadableFile(const std::string& path) : path_(path) {
    made_ = mkfifo(path.c_str(), 0600) == 0;
}

UnreadableFile::~UnreadableFile() = default;

bool UnreadableFile::Untouched() const { return std::filesystem::is_fifo(path_); }

std::string BuiltProgram(const std::string& name) { return std::string(PLEMBY_BINARY_DIR) + "/" + name; }

int RunCommand(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

const char* NullDevice() { return "/dev/null"; }
