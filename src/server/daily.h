#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "replays/replay.h"

// The daily challenge: each UTC day has a seed, a keyed hash of its date with the server's own
// secret (so nobody knows it before the day), and fixed play settings; the repeats are the
// player's.
constexpr std::uint8_t DAILY_START_LEVEL = 1;
constexpr std::uint8_t DAILY_GARBAGE_ROWS = 0;
constexpr std::size_t DAILY_SECRET_BYTES = 32;

// Days are counted from 1970-01-01 (day 0), in UTC.
std::int64_t DayNumber(std::int64_t unixSeconds);
// "YYYY-MM-DD" of a day number, and back; nothing for text that is not such a date.
std::string DayText(std::int64_t day);
std::optional<std::int64_t> ParseDay(std::string_view text);

std::uint32_t DailySeed(const std::vector<std::uint8_t>& secret, std::int64_t day);

// The day whose table a game enters when submitted at `unixSeconds`: its seed and settings are
// that day's, and the day is today or yesterday (a game is taken until the end of the day after
// its own). Nothing when it is no daily game.
std::optional<std::int64_t> DailyDayOf(const ReplayStart& start,
                                       const std::vector<std::uint8_t>& secret,
                                       std::int64_t unixSeconds);
