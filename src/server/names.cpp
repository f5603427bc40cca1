#include "server/names.h"

#include <sodium.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace {

constexpr std::size_t TOKEN_BYTES = 32;
constexpr std::size_t HASH_BYTES = 32;

void StartSodium() {
    if (sodium_init() < 0) throw std::runtime_error("libsodium cannot start");
}

std::string Hex(const unsigned char* bytes, std::size_t size) {
    std::vector<char> text(size * 2 + 1);
    sodium_bin2hex(text.data(), text.size(), bytes, size);
    return std::string(text.data(), size * 2);
}

std::string HashHex(const unsigned char* bytes, std::size_t size) {
    StartSodium();
    unsigned char hash[HASH_BYTES];
    crypto_generichash(hash, sizeof hash, bytes, size, nullptr, 0);
    return Hex(hash, sizeof hash);
}

}  // namespace

std::optional<std::string> NameKey(std::string_view name) {
    if (name.empty() || name.size() > LONGEST_NAME) return std::nullopt;
    if (name.front() == ' ' || name.back() == ' ') return std::nullopt;
    std::string key;
    for (const char c : name) {
        if (c >= 'a' && c <= 'z') {
            key += static_cast<char>(c - 'a' + 'A');
        } else if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ') {
            key += c;
        } else {
            return std::nullopt;
        }
    }
    return key;
}

std::string NewToken() {
    StartSodium();
    unsigned char bytes[TOKEN_BYTES];
    randombytes_buf(bytes, sizeof bytes);
    const std::size_t length =
        sodium_base64_ENCODED_LEN(TOKEN_BYTES, sodium_base64_VARIANT_URLSAFE_NO_PADDING);
    std::vector<char> text(length);
    sodium_bin2base64(text.data(), text.size(), bytes, sizeof bytes,
                      sodium_base64_VARIANT_URLSAFE_NO_PADDING);
    return std::string(text.data());
}

std::string TokenHash(std::string_view token) {
    return HashHex(reinterpret_cast<const unsigned char*>(token.data()), token.size());
}

std::string ReplayHash(std::span<const std::uint8_t> bytes) {
    return HashHex(bytes.data(), bytes.size());
}

std::string RandomBytes(std::size_t count) {
    StartSodium();
    std::string bytes(count, '\0');
    randombytes_buf(bytes.data(), bytes.size());
    return bytes;
}
