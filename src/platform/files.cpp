#include "platform/files.h"

#include <algorithm>
#include <utility>

namespace {
// The six places a save's temporary name fills with letters and digits.
constexpr std::size_t TEMPORARY_LETTERS = 6;
}  // namespace

bool IsTemporaryName(std::string_view name, std::string_view stem) {
    if (name.size() != stem.size() + 1 + TEMPORARY_LETTERS || !name.starts_with(stem) ||
        name[stem.size()] != '.') {
        return false;
    }
    return std::all_of(
        name.begin() + static_cast<std::ptrdiff_t>(stem.size() + 1), name.end(), [](char c) {
            return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        });
}

std::optional<std::vector<std::uint8_t>> ReadSmallFile(const std::string& path,
                                                       std::size_t maxBytes) {
    StoredFile file = ReadStoredFile(path, maxBytes);
    if (file.state != StoredFileState::Read || file.bytes.size() > maxBytes) return std::nullopt;
    return std::move(file.bytes);
}
