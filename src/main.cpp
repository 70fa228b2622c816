// VORLAX: starts the platform and the game.
#include <cstdio>
#include <exception>

#include "core/platform/platform.h"

int main() {
    std::fprintf(stderr, "vorlax: not playable yet\n");
    return 0;
}
