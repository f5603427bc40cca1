#include "support/portable.h"

#include <cstdlib>
#include <filesystem>
#include <random>
#include <system_error>

std::string MakeTemporaryFolder(const std::string& prefix) {
    std::random_device seed;
    std::mt19937_64 letters(seed());
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path folder =
            base / (prefix + std::to_string(letters() % 1000000000000ULL));
        std::error_code error;
        if (std::filesystem::create_directory(folder, error)) return folder.generic_string();
    }
    std::abort();
}
