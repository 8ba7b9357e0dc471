// Remakes the editor's default start folder: make_startdir <folder>.
#include <cstdio>
#include <exception>

#include "tools/StartFolder.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <start folder>\n", argv[0]);
        return 2;
    }
    try {
        thorn::startdir::WriteStartFolder(argv[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
