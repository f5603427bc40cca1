#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// What the command line asks of the program: play, run another way (`run` with the option's
// value, whose result is the exit status), or end at once with a status (after the usage text or
// the version, or on a wrong command line). `pauseAt`: the frame a replay opened with --replay
// pauses at, when one is asked.
struct CommandLine {
    bool play = true;
    int status = 0;
    int (*run)(const std::string& value) = nullptr;
    std::string value;
    std::optional<std::uint32_t> pauseAt;
};

// One option of the command line: a row of COMMAND_LINE_OPTIONS, which both the parser and the
// usage text read. `argument` names the value an option takes ("FILE"), empty when it takes none.
struct CommandLineOption {
    std::string_view name;
    std::string_view shortName;
    std::string_view argument;
    std::string_view help;
    void (*apply)(CommandLine& line, std::string_view value, std::ostream& out);
};

// Reads the arguments after the program's name. The usage text and the version go to `out`;
// a wrong command line is told on `err`, with the usage, and ends with status 2.
CommandLine ParseCommandLine(std::span<const char* const> args, std::ostream& out,
                             std::ostream& err);
