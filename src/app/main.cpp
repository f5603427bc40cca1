#include <iostream>
#include <span>

#include "app/command_line.h"
#include "app/replays.h"
#include "app/shell.h"

int main(int argc, char** argv) {
    const std::span<const char* const> args(argv + 1, argc > 0 ? argc - 1 : 0);
    const CommandLine line = ParseCommandLine(args, std::cout, std::cerr);
    if (!line.play) return line.status;
    if (line.pauseAt) PauseReplayAt(*line.pauseAt);
    if (line.run) return line.run(line.value);
    return RunGame();
}
