#include <string_view>

#include "app/replays.h"
#include "app/shell.h"

int main(int argc, char** argv) {
    const std::string_view option = argc == 3 ? argv[1] : "";
    if (option == "--verify-replay") return VerifyReplayFile(argv[2]);
    if (option == "--replay") return WatchReplayFile(argv[2]);
    return RunGame();
}
