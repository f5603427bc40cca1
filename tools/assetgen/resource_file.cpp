#include <filesystem>
#include <fstream>

#include "assetgen.h"

bool WriteResourceFile(const std::string& dir, const std::string& type, int id,
                       const std::string& extension, const std::vector<std::uint8_t>& bytes) {
    const std::filesystem::path folder = std::filesystem::path(dir) / type;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    std::ofstream file(folder / (std::to_string(id) + "." + extension),
                       std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file.flush());
}
