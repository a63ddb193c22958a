#pragma once

#include "app/Arithmetic.h"
#include "app/FileFormats.h"
#include "app/Gadgets.h"
#include "app/Tables.h"
#include "app/UndoRing.h"
#include "gfx/Bitmap.h"
#include "gfx/Canvas.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace daubix::app {

// Options that menus set and the shape tools read.
struct ShapeOptions {
    int lineTolerance = 5; // 5 .. 50
    int rounding = 10;
    int blocksCount = 32; // 2 .. 50
    int shapesCount = 1; // 1 .. 25
    int starPoints = 5; // 3 .. 12
    bool polygonOnly = false;
    int spiralCount = 3; // 1 .. 50
    double spiralFactor = 0.99; // 0.1 <= f < 1
    int spiralDirection = 1; // +1 right, -1 left
    int spiroTurns = 40; // 1 .. 100
};

// Colour transitions of the fill commands.
struct TransitionOptions {
    gfx::Color startColor = gfx::clBlack;
    gfx::Color endColor = gfx::rgb(0, 0, 128);
    int bands = 20;
    int xStep = 0;
    int yStep = 0;
};

struct FrameOptions {
    int splitImageCount = 2;
    int frameCount = 1;
    int currentFrame = 0;
};


// The Filters window's controls, kept for the whole run (the window is only shown and hidden). Indices
// are into the filter list of effects/UserFilters.h.
struct UserFilterState {
    static std::array<std::string, 25> onesGrid()
    {
        std::array<std::string, 25> cells;
        cells.fill("1");
        return cells;
    }

    std::array<int, 3> channels{7, 7, 7}; // the filters of red, green and blue ("Reduce")
    int checkedChannel = 0; // the radio button that is checked: 0 red, 1 green, 2 blue
    int selection = 7; // the list's selection
    int v = 16; // the parameter bar, 16 .. 255
    std::array<std::string, 25> cells = onesGrid(); // the grid's texts row by row: cells[row * 5 + column]
    std::vector<std::string> presets; // "NAME=m0,...,m24" lines, sorted by name ignoring ASCII case
    int presetIndex = -1; // the preset chosen in the drop-down; -1 for none
    std::string presetPath; // the file the presets were read from, rewritten after each change
};

// The Quick Effects panel's tree selection and bars, kept for the whole run (the panel is only shown and
// hidden). The entry indexes effects::quickEffectTree().
struct QuickEffectsState {
    int entry = -1; // -1: none selected
    int barMin = 0; // EBar's range and position, the effect's main parameter
    int barMax = 100;
    int e = 0;
    int x = 1; // "turb", 1 .. 300
    int cx = 0; // the rotation centre, 0 .. cxMax and 0 .. cyMax
    int cy = 0;
    int cxMax = 100;
    int cyMax = 100;
};

// Quick Backdrops' settings and presets, kept for the whole run and shared by the window and a script's
// request. Formulas index generators::backdropFormulaNames().
struct BackdropSettings {
    std::array<int, 3> formulas{0, 0, 0}; // red, green, blue: 0 .. 40
    std::array<int, 3> offsets{0, 0, 0}; // 0 .. 255
    int modulus = 255; // 16 .. 255
    bool operator==(const BackdropSettings&) const = default;
};
struct BackdropState {
    BackdropSettings settings;
    int checkedChannel = -1; // the radio button that is checked: 0 red, 1 green, 2 blue; -1 none
    int listSelection = -1; // the formula list's selection; -1 none
    std::vector<std::string> presets; // raw "NAME=fR,fG,fB,oR,oG,oB,m" lines, sorted
    int presetIndex = -1; // the preset chosen in the drop-down; -1 for none
    int presetValuesRead = 0; // how many of the chosen preset's seven values were taken
    std::string presetPath; // rewritten after each change; empty when the list must never be written
    bool presetsRead = false; // the file has been read (or tried): it is read once a run
};

// The texture window's panel `tex`, kept for the whole run: the window is created at start and only
// shown, so reopening it shows the same tile. The tile is TextureSize x TextureSize, remade whenever a
// setting changes (generators/Texture.h); until the window is created it is empty.
struct TextureState {
    enum class VerticalAlign : std::uint8_t { Top, Center, Bottom };
    gfx::Color color = gfx::clOlive;
    int textureSize = 60; // 4 .. 240
    int noiseAmount = 40; // 0 .. 100
    bool noiseMonoChrome = false;
    VerticalAlign verticalAlign = VerticalAlign::Center; // where the panel's caption stands
    gfx::Bitmap tile;
    int revision = 0; // counts new tiles, so that a view knows when to take the picture again
};

// The image being edited and every value that the commands and tools share, with their start values.
// One per window, never copied: the canvas is bound to the image.
struct Document {
    Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    // The image's colour at a point; outside the image, the white of the page.
    gfx::Color colorAt(int x, int y) const
    {
        const gfx::Color c = image.pixel(x, y);
        return c == gfx::clNone ? gfx::clWhite : c;
    }

    gfx::Bitmap image; // 256 x 256 white at start
    gfx::Canvas canvas{image};
    UndoRing undo;

    gfx::Color firstColor = gfx::clBlack; // the colour panel's pen colour
    gfx::Color secondColor = gfx::clWhite; // the colour panel's brush colour
    gfx::PixelFormat pixelFormatChoice = gfx::PixelFormat::Bits24; // the checked Pixel Format item
    // Set by every press on the image and every command that changes it; cleared by New, Open and a
    // successful Save As. Closing asks before it loses a modified image.
    bool modified = false;

    std::string toolMode = "line";
    ShapeOptions shapes;
    std::string pasteKind = "paste";
    FormatOptions formats;
    GifSettings gif;
    // The JPEG preview window's quality bar (1 .. 100) and Grayscale box, kept while the program runs.
    struct JpegPreviewOptions {
        int quality = 10;
        bool grey = false;
    } jpegPreview;
    int printScale = 2; // the print preview's scale; Print sets it to 2 each time
    // The preview window that the filters, the quick effects and the backdrops share: the picture it shows
    // and the numbered GIF frames it saves.
    struct PreviewState {
        gfx::Bitmap picture; // held only while the window shows
        bool shown = false;
        std::string baseName; // frames are baseName + counter + ".gif"; empty until Save...
        int counter = 0; // the number of the next frame, which the counter button shows
        bool transparent = false; // the "transparent" box: frames take the bottom-left pixel's colour as clear
    } preview;
    gfx::Color transparencyColor = gfx::clWhite;

    gfx::Rect range; // Left, Top, Right, Bottom
    gfx::Bitmap rangeBuffer; // 24 bits
    gfx::Rop3 rangeCopyMode = gfx::kSrcCopy;
    // The range buffer's own brush: setclip sets it to its colour, and copyclip's merge copy (S AND P)
    // takes it as P.
    gfx::Color rangeBrushColor = gfx::clWhite;
    // The range buffer's pen: one pixel solid black, until an Elliptical or Rounded transition makes it
    // clear for good. The masks outline their shapes with it.
    bool rangePenClear = false;
    gfx::Bitmap userMask; // Image > Mask > from Image or from File...; empty at start

    // The floating image: a bitmap shown above the image at a place of its own until it is painted in.
    ImageGadget floating{ImageGadget::Empty{}}; // FloatImage1: empty until Float or Paste Floating Range fill it

    gfx::Bitmap zoomCopy;
    gfx::Rect zoomRect{0, 0, 50, 50};

    gfx::Bitmap patternStrip; // 32 patterns of 8 x 8 side by side; the built-in ones until a file is read
    gfx::Bitmap patternBrush{8, 8};
    int patternIndex = -1; // the pattern last clicked in the pattern list

    TransitionOptions transition;
    int splitOffset = 20; // 1 .. 50
    double projectionFactor = 0.75; // 0.1 .. 1
    bool retainBorders = false; // the projections keep the image outside what they move
    bool sinus = true; // the projections' curve: sine, or cosine when off
    // The view of the image keeps a size of its own with the picture stretched over it, as after the
    // size spin or Stretch...; off, it follows the image's size. Commands give the image the view's size,
    // so the display stays one to one either way.
    bool viewFixed = false;
    FrameOptions frames;
    int traceColorByte = 0; // 0 .. 255: the grey level of Trace's outlines
    int traceIntensity = 1; // 1 .. 15: Trace's passes
    std::array<int, 2> filterAlternatingBytes{255, 0};
    BackdropState backdrop;
    UserFilterState userFilter;
    QuickEffectsState quickEffects;
    TextureState texture;
    GadgetSet gadgets;

    Tables tables;
    Random random;
    // The script interpreter and library of this window, made by the script commands at their first use.
    // Held here, type and all erased, so that they live exactly as long as the image they draw on.
    std::shared_ptr<void> scripting;
};

} // namespace daubix::app
