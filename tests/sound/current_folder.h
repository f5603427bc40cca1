#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/portable.h"

// A fresh empty folder made the current one for a test's life, then removed.
class TemporaryCurrentFolder {
public:
    TemporaryCurrentFolder() : previous(std::filesystem::current_path()) {
        folder = MakeTemporaryFolder("plemby-sound-");
        std::filesystem::current_path(folder);
    }
    ~TemporaryCurrentFolder() {
        std::filesystem::current_path(previous);
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    TemporaryCurrentFolder(const TemporaryCurrentFolder&) = delete;
    TemporaryCurrentFolder& operator=(const TemporaryCurrentFolder&) = delete;

    void Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
        std::ofstream out(folder / name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }

private:
    std::filesystem::path previous;
    std::filesystem::path folder;
};
