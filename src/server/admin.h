#pragma once

#include <iosfwd>

#include "server/server_options.h"

// The operator's commands on the server's machine (remove-game, remove-name, backup), on the
// database the server uses. Returns the exit status: 0 done, 1 failed, 2 a wrong command.
int RunAdminCommand(const ServerOptions& options, std::ostream& out, std::ostream& err);
