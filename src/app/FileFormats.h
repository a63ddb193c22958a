#pragma once

// The choices that govern how pictures are read and written, shared by the commands that open and save
// and by the codecs.

namespace daubix::app {

// The file-format options of the Options menu.
struct FormatOptions {
    bool gifTransparent = false; // GIF: the bottom-left pixel's colour becomes transparent
    bool iconStretch = true; // an opened icon is stretched to 256 x 256
    bool pngTransparent = false; // PNG: the bottom-left pixel's colour becomes transparent
};

// How the GIF writer reduces a picture to a palette: the reduction method (6: the 6 x 6 x 6 colour cube
// of levels 0, 51, ..., 255), the bits of an optimised palette (3 .. 8) and the dithering (0: nearest
// colour). The colour reduction window changes them for the rest of the run.
struct GifSettings {
    int method = 6;
    int bits = 8;
    int dither = 0;
};

} // namespace daubix::app
