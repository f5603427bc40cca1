#include "server/submission.h"

#include <algorithm>
#include <span>

#include "common/little_endian.h"

namespace {

constexpr int UNAUTHORIZED = 401;
constexpr int TOO_LARGE = 413;
constexpr int UNSUPPORTED_MEDIA = 415;
constexpr int UNPROCESSABLE = 422;

// The file's format version sits after its four-byte magic; this server runs the rules of
// version 1.
constexpr std::size_t VERSION_OFFSET = 4;
constexpr std::uint16_t RULES_VERSION = 1;

bool TokenCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           c == '-' || c == '_';
}

// "type/subtype; parameters": the type, without parameters or surrounding blanks, lower case.
std::string MediaType(std::string_view value) {
    value = value.substr(0, value.find(';'));
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.remove_suffix(1);
    std::string type(value);
    std::transform(type.begin(), type.end(), type.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
    return type;
}

Refusal Refuse(int status, std::string reason, std::string message) {
    return Refusal{status, std::move(reason), std::move(message)};
}

}  // namespace

std::string BearerToken(std::string_view authorization) {
    constexpr std::string_view SCHEME = "Bearer ";
    if (authorization.size() != SCHEME.size() + TOKEN_LENGTH) return "";
    if (!std::equal(SCHEME.begin(), SCHEME.end(), authorization.begin(), [](char a, char b) {
            return (a >= 'A' && a <= 'Z' ? a + 32 : a) == (b >= 'A' && b <= 'Z' ? b + 32 : b);
        })) {
        return "";
    }
    const std::string_view token = authorization.substr(SCHEME.size());
    if (!std::all_of(token.begin(), token.end(), TokenCharacter)) return "";
    return std::string(token);
}

SubmissionOrRefusal ReadSubmission(const SubmissionRequest& request) {
    if (request.authorization.empty()) {
        return Refuse(UNAUTHORIZED, "missing-token", "a game is sent with its player's token");
    }
    std::string token = BearerToken(request.authorization);
    if (token.empty()) {
        return Refuse(UNAUTHORIZED, "bad-token", "the Authorization header is not a token");
    }
    const std::string type = MediaType(request.contentType);
    if (type != REPLAY_MEDIA_TYPE && type != "application/octet-stream") {
        return Refuse(UNSUPPORTED_MEDIA, "media-type",
                      "a game is sent as the replay file's bytes, " +
                          std::string(REPLAY_MEDIA_TYPE));
    }
    if (request.body.size() > MAX_REPLAY_BYTES) {
        return Refuse(TOO_LARGE, "too-large", "larger than any replay");
    }
    const std::span<const std::uint8_t> bytes(
        reinterpret_cast<const std::uint8_t*>(request.body.data()), request.body.size());
    constexpr std::string_view MAGIC = "PLRY";
    if (bytes.size() >= VERSION_OFFSET + 2 &&
        std::equal(MAGIC.begin(), MAGIC.end(), bytes.begin()) &&
        GetLe16(bytes.data() + VERSION_OFFSET) != RULES_VERSION) {
        return Refuse(UNPROCESSABLE, "unsupported-version",
                      "this server runs the rules of replay format version " +
                          std::to_string(RULES_VERSION));
    }
    Submission submission;
    std::string reason;
    if (!DecodeReplay(bytes, submission.replay, reason)) {
        return Refuse(UNPROCESSABLE, "unreadable-replay", "the replay does not read: " + reason);
    }
    if (submission.replay.result.ending != GameEnding::GameOver) {
        return Refuse(UNPROCESSABLE, "unfinished-game",
                      "only games played to the game over enter the tables");
    }
    submission.token = std::move(token);
    submission.bytes.assign(bytes.begin(), bytes.end());
    return submission;
}
