#include "app/command_line.h"

#include <algorithm>
#include <charconv>
#include <ostream>
#include <string>

#include "app/replays.h"
#include "app/shell.h"

namespace {

constexpr std::string_view PROGRAM_NAME = "plemby";
constexpr std::string_view PROGRAM_VERSION = PLEMBY_VERSION;
constexpr int EXIT_USAGE = 2;

void WriteUsage(std::ostream& out);

void ShowUsage(CommandLine& line, std::string_view, std::ostream& out) {
    WriteUsage(out);
    line.play = false;
}

void ShowVersion(CommandLine& line, std::string_view, std::ostream& out) {
    out << PROGRAM_NAME << ' ' << PROGRAM_VERSION << '\n';
    line.play = false;
}

void WatchReplay(CommandLine& line, std::string_view file, std::ostream&) {
    line.run = WatchReplayFile;
    line.value = file;
}

// The frame is a number of frames (50 a second) from the start of the recorded game; a value
// that is not one is left unset, and the parser refuses it.
void PauseAtFrame(CommandLine& line, std::string_view frame, std::ostream&) {
    std::uint32_t number = 0;
    const auto [end, error] = std::from_chars(frame.data(), frame.data() + frame.size(), number);
    if (error == std::errc{} && end == frame.data() + frame.size() && !frame.empty()) {
        line.pauseAt = number;
    }
}

void VerifyReplay(CommandLine& line, std::string_view file, std::ostream&) {
    line.run = VerifyReplayFile;
    line.value = file;
}

void StartWithDemo(CommandLine& line, std::string_view, std::ostream&) {
    line.run = RunGameWithDemo;
}

void StartWithAutoplay(CommandLine& line, std::string_view, std::ostream&) {
    line.run = RunGameWithAutoplay;
}

// Whether the option runs the program another way: the program runs one way only, so two such
// options (or one twice) cannot go together.
bool RunsAnotherWay(const CommandLineOption& option) {
    return option.apply == WatchReplay || option.apply == VerifyReplay ||
           option.apply == StartWithDemo || option.apply == StartWithAutoplay;
}

constexpr CommandLineOption COMMAND_LINE_OPTIONS[] = {
    {"--help", "-h", "", "show this help and exit", ShowUsage},
    {"--version", "", "", "show the version and exit", ShowVersion},
    {"--replay", "", "FILE", "open the game straight into the recorded game in FILE", WatchReplay},
    {"--pause-at", "", "FRAME",
     "with --replay: pause the recorded game at its frame FRAME (50 a second)", PauseAtFrame},
    {"--verify-replay", "", "FILE",
     "check, without a window, that the game in FILE ends as recorded", VerifyReplay},
    {"--demo", "", "", "start with a demo game of the CPU player, as the title shows",
     StartWithDemo},
    {"--autoplay", "", "", "let the CPU player play every game, recorded and placed as yours",
     StartWithAutoplay},
};

std::string OptionColumn(const CommandLineOption& option) {
    std::string column = option.shortName.empty() ? "    " : std::string(option.shortName) + ", ";
    column += option.name;
    if (!option.argument.empty()) {
        column += ' ';
        column += option.argument;
    }
    return column;
}

void WriteUsage(std::ostream& out) {
    out << "Usage: " << PROGRAM_NAME << " [OPTION]...\n"
        << "Plemby!, a falling-block puzzle game. Without options the game starts.\n\n"
        << "Options:\n";
    std::size_t width = 0;
    for (const auto& option : COMMAND_LINE_OPTIONS)
        width = std::max(width, OptionColumn(option).size());
    for (const auto& option : COMMAND_LINE_OPTIONS) {
        const std::string column = OptionColumn(option);
        out << "  " << column << std::string(width - column.size() + 2, ' ') << option.help << '\n';
    }
}

const CommandLineOption* FindOption(std::string_view arg) {
    for (const auto& option : COMMAND_LINE_OPTIONS) {
        if (arg == option.name || (!option.shortName.empty() && arg == option.shortName)) {
            return &option;
        }
    }
    return nullptr;
}

CommandLine Refuse(std::string_view why, std::ostream& err) {
    err << PROGRAM_NAME << ": " << why << '\n';
    WriteUsage(err);
    CommandLine refused;
    refused.play = false;
    refused.status = EXIT_USAGE;
    return refused;
}

}  // namespace

CommandLine ParseCommandLine(std::span<const char* const> args, std::ostream& out,
                             std::ostream& err) {
    CommandLine line;
    const CommandLineOption* runOption = nullptr;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i] ? args[i] : "";
        const CommandLineOption* option = FindOption(arg);
        if (!option) return Refuse("unknown option '" + std::string(arg) + "'", err);
        if (RunsAnotherWay(*option)) {
            if (runOption) {
                return Refuse(std::string(runOption->name) + " and " + std::string(option->name) +
                                  " cannot go together",
                              err);
            }
            runOption = option;
        }
        std::string_view value;
        if (!option->argument.empty()) {
            if (i + 1 == args.size() || !args[i + 1]) {
                return Refuse(std::string(option->name) + " needs " + std::string(option->argument),
                              err);
            }
            value = args[++i];
        }
        option->apply(line, value, out);
        // The usage text and the version end the program at once, as any other tool's do.
        if (!line.play) return line;
        if (option->apply == PauseAtFrame && !line.pauseAt) {
            return Refuse("--pause-at needs a frame number, not '" + std::string(value) + "'", err);
        }
    }
    if (line.pauseAt && line.run != WatchReplayFile) {
        return Refuse("--pause-at goes with --replay", err);
    }
    return line;
}
