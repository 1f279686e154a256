// Writes a Palm Desktop folder with one user ("Large") whose store is at full capacity: 65,520
// meetings with titles and locations in Japanese, each with one item of every kind. Used by
// scripts/bench-cli to time the command-line program.

#include "bench/large_store.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_large_store DIR\n");
        return 2;
    }
    tavolex::bench::WriteLargeStore(argv[1]);
    return 0;
}
