// Accepts every running process and autostart entry for the program in a
// folder, so that its tray has nothing to flash: the idle benchmark's way to a
// user who has looked at everything once.
// Usage: accept_everything.exe FOLDER PROGRAM (both as Windows paths)
#include "tests/helpers/AcceptEverything.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: accept_everything.exe FOLDER PROGRAM\n");
        return 2;
    }
    const size_t accepted = testsupport::AcceptEverything(argv[1], argv[2]);
    std::printf("accepted %u paths\n", static_cast<unsigned>(accepted));
    return accepted > 0 ? 0 : 1;
}
