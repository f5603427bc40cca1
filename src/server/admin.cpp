#include "server/admin.h"

#include <ostream>

int RunAdminCommand(const ServerOptions& options, std::ostream&, std::ostream& err) {
    err << "plemby-scores: unknown admin command '" << options.admin.front() << "'\n";
    return 2;
}
