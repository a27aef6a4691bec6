#include <cstdio>
#include <fstream>
#include <string>

#include "cli/ManPage.h"

// Writes tarnwick-cli(1) to the path given, for the build to install.
int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
        return 2;
    }
    const std::string page = tarnwick::ManPage();
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out.write(page.data(), static_cast<std::streamsize>(page.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
