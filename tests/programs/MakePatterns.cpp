// Writes the built-in pattern strip as a BMP, the patterns.bmp that data/ ships.
// Usage: make_patterns OUT.bmp

#include "app/Patterns.h"
#include "io/BmpCodec.h"

#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_patterns OUT.bmp\n");
        return 2;
    }
    if (auto saved = daubix::io::writeBmpFile(argv[1], daubix::app::builtInPatternStrip()); !saved) {
        std::fprintf(stderr, "%s\n", saved.error().c_str());
        return 1;
    }
    return 0;
}
