#pragma once

#include "server/server_options.h"

// Runs the score server until SIGTERM or SIGINT, which let the requests in hand finish. Returns
// the exit status: 0 after a clean stop, 1 when the server could not start.
int RunScoresServer(const ServerOptions& options);
