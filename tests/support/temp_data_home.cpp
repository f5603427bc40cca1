#include "support/temp_data_home.h"

#include <unistd.h>

#include <cstdlib>

TempDataHome::TempDataHome(const std::string& name)
    : path(std::filesystem::temp_directory_path() /
           ("plemby-" + name + "-" + std::to_string(::getpid()))) {
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
    const char* old = std::getenv("XDG_DATA_HOME");
    hadValue = old != nullptr;
    if (hadValue) saved = old;
    setenv("XDG_DATA_HOME", path.c_str(), 1);
}

TempDataHome::~TempDataHome() {
    if (hadValue) {
        setenv("XDG_DATA_HOME", saved.c_str(), 1);
    } else {
        unsetenv("XDG_DATA_HOME");
    }
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}
