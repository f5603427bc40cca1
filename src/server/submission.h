#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "replays/replay.h"

// A submitted game as it arrives: the request's body (the replay file's own bytes) and the
// values of its Content-Type and Authorization headers (empty when absent).
struct SubmissionRequest {
    std::string_view body;
    std::string_view contentType;
    std::string_view authorization;
};

// A submission that reads well: the bearer token and the replay. Nothing in it is trusted yet:
// the token must name a player and the replay must verify.
struct Submission {
    std::string token;
    std::vector<std::uint8_t> bytes;
    Replay replay;
};

// Why a request is turned away: its HTTP status, a reason word the metrics count by (the
// protocol lists them) and a line for the client.
struct Refusal {
    int status = 0;
    std::string reason;
    std::string message;
};

using SubmissionOrRefusal = std::variant<Submission, Refusal>;

// The media type of a submitted replay.
constexpr std::string_view REPLAY_MEDIA_TYPE = "application/vnd.plemby.replay";
// A token is 32 random bytes in unpadded base64url: 43 characters.
constexpr std::size_t TOKEN_LENGTH = 43;

// Reads a submission; pure, for any bytes: refuses a missing or malformed token (401), another
// media type (415), a body larger than any replay (413), a replay of a format version this
// server does not run or one that does not read (422), and a game that did not end in a game over
// (422). The rules check what remains (VerifySubmittedGame).
SubmissionOrRefusal ReadSubmission(const SubmissionRequest& request);

// The token of an Authorization header ("Bearer TOKEN"), or empty when it holds none in the
// token's form.
std::string BearerToken(std::string_view authorization);
