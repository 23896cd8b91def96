// tapdash-player: asks for the player's details and writes config.dat beside the game.
#include <iostream>

#include "tools/player_details_writer.h"

int main() {
    const std::string dir = ExecutableFolder();
    if (dir.empty()) {
        std::cout << "Cannot find the folder of this program. Nothing was saved.\n";
        return 1;
    }
    return AskAndWritePlayerDetails(std::cin, std::cout, dir);
}
