#include "server/daily.h"

#include <sodium.h>

#include <chrono>
#include <cstdio>

namespace {

constexpr std::int64_t SECONDS_PER_DAY = 24 * 60 * 60;
constexpr std::int64_t YEAR_LIMIT = 9999;

}  // namespace

std::int64_t DayNumber(std::int64_t unixSeconds) {
    return unixSeconds >= 0 ? unixSeconds / SECONDS_PER_DAY
                            : -((-unixSeconds + SECONDS_PER_DAY - 1) / SECONDS_PER_DAY);
}

std::string DayText(std::int64_t day) {
    const std::chrono::year_month_day date{std::chrono::sys_days{std::chrono::days{day}}};
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    return text;
}

std::optional<std::int64_t> ParseDay(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
    int parts[3] = {0, 0, 0};
    const std::size_t starts[3] = {0, 5, 8};
    const std::size_t lengths[3] = {4, 2, 2};
    for (int p = 0; p < 3; ++p) {
        for (std::size_t i = starts[p]; i < starts[p] + lengths[p]; ++i) {
            if (text[i] < '0' || text[i] > '9') return std::nullopt;
            parts[p] = parts[p] * 10 + (text[i] - '0');
        }
    }
    if (parts[0] < 1970 || parts[0] > YEAR_LIMIT) return std::nullopt;
    const std::chrono::year_month_day date{std::chrono::year{parts[0]},
                                           std::chrono::month{static_cast<unsigned>(parts[1])},
                                           std::chrono::day{static_cast<unsigned>(parts[2])}};
    if (!date.ok()) return std::nullopt;
    return std::chrono::sys_days{date}.time_since_epoch().count();
}

std::uint32_t DailySeed(const std::vector<std::uint8_t>& secret, std::int64_t day) {
    const std::string message = "plemby daily " + DayText(day);
    unsigned char hash[crypto_generichash_BYTES_MIN];
    crypto_generichash(hash, sizeof hash, reinterpret_cast<const unsigned char*>(message.data()),
                       message.size(), secret.data(), secret.size());
    return static_cast<std::uint32_t>(hash[0]) | static_cast<std::uint32_t>(hash[1]) << 8 |
           static_cast<std::uint32_t>(hash[2]) << 16 | static_cast<std::uint32_t>(hash[3]) << 24;
}

std::optional<std::int64_t> DailyDayOf(const ReplayStart& start,
                                       const std::vector<std::uint8_t>& secret,
                                       std::int64_t unixSeconds) {
    if (start.play.startLevel != DAILY_START_LEVEL ||
        start.play.garbageRows != DAILY_GARBAGE_ROWS) {
        return std::nullopt;
    }
    const std::int64_t today = DayNumber(unixSeconds);
    for (const std::int64_t day : {today, today - 1}) {
        if (start.randomState == DailySeed(secret, day)) return day;
    }
    return std::nullopt;
}
