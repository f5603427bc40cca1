#pragma once

#include <filesystem>
#include <string>

// Points $XDG_DATA_HOME at a fresh temporary folder for as long as it lives, so that stored
// game data written by a test never touches the user's own; the old value comes back after.
class TempDataHome {
public:
    explicit TempDataHome(const std::string& name);
    ~TempDataHome();
    TempDataHome(const TempDataHome&) = delete;
    TempDataHome& operator=(const TempDataHome&) = delete;

    const std::filesystem::path& Path() const { return path; }

private:
    std::filesystem::path path;
    std::string saved;
    bool hadValue = false;
};
