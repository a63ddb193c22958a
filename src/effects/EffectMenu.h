#pragma once

// The commands that apply effects to the whole image from the Image menu and the toolbar. Each works on
// the document's image at once; the rows give them one undo step.

#include "effects/ImageEffects.h"

#include <cstdint>
#include <span>

namespace daubix::app {
struct CommandRow;
struct Document;
class Host;
} // namespace daubix::app

namespace daubix::effects {

std::span<const app::CommandRow> effectCommandRows();

// Image > Effects > Grayscale: the image made 24 bits and grey; the range buffer keeps the result.
void grayscaleImage(app::Document& doc);
// Image > Effects > Spray: the pixels scattered up and down by up to 29 rows, from the document's generator.
void sprayImage(app::Document& doc);

// The generated patterns, drawn on the image's canvas in the colour panel's colours with the blocks count.
enum class PatternKind : std::uint8_t {
    Checkerboard,
    Dartboard,
    Rectangles,
    RoundRectangles,
    HorizontalBars,
    VerticalBars
};
void drawPattern(app::Document& doc, PatternKind kind);

// Image > Colors: the channels permuted; the image becomes 8 bits.
void permuteImageColors(app::Document& doc, ChannelOrder order);
// Image > Shadow: the image made 24 bits with a shadow under it.
void shadowImage(app::Document& doc, ShadowDirection direction);
// Image > Pixelize: blocks of about factor x factor pixels, by stretching the image down and back up.
// An image narrower or lower than the factor stays as it is.
void pixelizeImage(app::Document& doc, int factor);

// Image > Trace > Trace: the outlines in the trace colour byte, as often as the trace intensity says;
// the image becomes 24 bits. An image narrower than 3 or lower than 2 pixels stays as it is.
void traceImage(app::Document& doc);
// Image > Trace > Trace Range: the same on a copy of the range, pasted back. An empty or reversed range
// leaves the image alone.
void traceRange(app::Document& doc);
// Image > Trace > Color Byte and Intensity: ask for the trace settings; a cancelled box or an answer
// that is not a whole number in range keeps the value.
void askTraceColorByte(app::Document& doc, app::Host& host);
void askTraceIntensity(app::Document& doc, app::Host& host);

// Image > Invert: in each row the first W bytes complemented, in the image's own pixel format.
void invertImage(app::Document& doc);

} // namespace daubix::effects
