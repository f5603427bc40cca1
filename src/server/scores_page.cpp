#include <chrono>
#include <cstdio>
#include <sstream>

#include "server/daily.h"
#include "server/scores_app.h"

namespace {

std::string Escaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

// "1:05" for paused time, minutes and seconds.
std::string Duration(std::int64_t ms) {
    const std::int64_t seconds = ms / 1000;
    char text[64];
    std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(seconds / 60),
                  static_cast<long long>(seconds % 60));
    return text;
}

void Table(std::ostringstream& out, const char* id, const std::string& caption,
           const std::vector<GameRecord>& records) {
    out << "<section><h2>" << Escaped(caption) << "</h2>\n<table id=\"" << id << "\">\n"
        << "<thead><tr><th>#</th><th>Name</th><th>Score</th><th>Lines</th><th>Level</th>"
           "<th>Paused</th><th>Date</th><th>Game</th></tr></thead>\n<tbody>\n";
    int rank = 0;
    for (const GameRecord& r : records) {
        out << "<tr><td>" << ++rank << "</td><td class=\"name\">" << Escaped(r.name)
            << "</td><td class=\"score\">" << r.score << "</td><td>" << r.lines << "</td><td>"
            << r.level << "</td><td>" << Duration(r.pausedMs) << "</td><td>"
            << UtcTime(r.submittedAt).substr(0, 10) << "</td><td><a href=\"/v1/games/" << r.id
            << "/replay\">replay</a></td></tr>\n";
    }
    if (records.empty()) out << "<tr class=\"empty\"><td colspan=\"8\">No games yet</td></tr>\n";
    out << "</tbody></table></section>\n";
}

}  // namespace

std::string UtcTime(std::int64_t unixSeconds) {
    const std::int64_t day = DayNumber(unixSeconds);
    const std::int64_t second = unixSeconds - day * 24 * 60 * 60;
    char text[64];
    std::snprintf(text, sizeof text, "T%02lld:%02lld:%02lldZ", static_cast<long long>(second / 3600),
                  static_cast<long long>(second / 60 % 60), static_cast<long long>(second % 60));
    return DayText(day) + text;
}

std::int64_t UnixNow() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::string ScoresPage(const std::vector<GameRecord>& allTime, const std::vector<GameRecord>& today,
                       const std::string& day) {
    std::ostringstream out;
    out << "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">\n"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
           "<title>Plemby! scores</title>\n<style>\n"
           "body{font-family:sans-serif;background:#10141c;color:#e8ecf4;margin:2em auto;"
           "max-width:60em;padding:0 1em}\n"
           "h1{color:#ffd24a}h2{color:#8fd0ff;margin-top:1.5em}\n"
           "table{border-collapse:collapse;width:100%}\n"
           "th,td{padding:.3em .6em;text-align:right;border-bottom:1px solid #2a3242}\n"
           "th:nth-child(2),td.name{text-align:left}a{color:#8fd0ff}\n"
           "p.note{color:#a0a8b8}\n"
           "</style></head><body>\n<h1>Plemby! scores</h1>\n"
           "<p class=\"note\">Every game here was played again through the game's rules by this "
           "server before it was listed.</p>\n";
    Table(out, "daily", "Today's challenge, " + day, today);
    Table(out, "all-time", "All time", allTime);
    out << "</body></html>\n";
    return out.str();
}
