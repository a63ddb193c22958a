// Draws a command file with our canvas and writes a BMP, to compare by eye or by script with a picture
// the classic interface drew from the same file. Usage: render_script CASE.txt OUT.bmp

#include "io/BmpCodec.h"
#include "support/GdiScript.h"

#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: render_script CASE.txt OUT.bmp\n");
        return 2;
    }
    std::string notes;
    const daubix::gfx::Bitmap image = daubix::test::runGdiScript(argv[1], notes);
    std::fputs(notes.c_str(), stderr);
    if (auto saved = daubix::io::writeBmpFile(argv[2], image); !saved) {
        std::fprintf(stderr, "%s\n", saved.error().c_str());
        return 1;
    }
    return 0;
}
