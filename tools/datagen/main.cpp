// datagen DIR: writes the game's whole Data directory into DIR/Data.
#include "datagen.h"

#include <chrono>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: datagen DIR   (writes DIR/Data/...)\n");
        return 1;
    }
    auto start = std::chrono::steady_clock::now();
    bool ok = dg::GenerateAll(argv[1]);
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!ok) {
        std::fprintf(stderr, "datagen: some files could not be made\n");
        return 1;
    }
    std::printf("datagen: wrote %s/Data in %.2f s\n", argv[1], seconds);
    return 0;
}
