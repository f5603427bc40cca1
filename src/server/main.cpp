#include <iostream>
#include <span>

#include "server/admin.h"
#include "server/scores_server.h"
#include "server/server_options.h"

int main(int argc, char** argv) {
    const std::span<const char* const> args(argv + 1, static_cast<std::size_t>(argc - 1));
    const ServerCommandLine line = ParseServerCommandLine(args, std::cout, std::cerr);
    if (!line.options) return line.status;
    if (!line.options->admin.empty()) return RunAdminCommand(*line.options, std::cout, std::cerr);
    return RunScoresServer(*line.options);
}
