#pragma once

// The gadgets that float over the image: which there are, and the state they share. Their pictures,
// texts and places live in the document for the whole run; positions are image coordinates, so
// scrolling never changes what painting one writes.

#include "gfx/Bitmap.h"
#include "gfx/Canvas.h"
#include "gfx/Color.h"
#include "gfx/Geometry.h"

#include <array>
#include <cstdint>
#include <string>
#include <optional>
#include <span>
#include <string_view>

namespace daubix::app {

enum class GadgetKind : std::uint8_t { Image, Label, Button, GradText, Shape, Smart, Ruler };

// A gadget by its name as the Gadgets menu shows it ("Gadbut6" and "Gadbut8" are written so); the ruler's
// item is "Ruler".
struct GadgetInfo {
    std::string_view name;
    GadgetKind kind;
    int index; // among the gadgets of its kind
    std::string_view menuItem;
};
// In the Gadgets menu's order.
std::span<const GadgetInfo> gadgetTable();
// Names are looked up ignoring case.
std::optional<GadgetInfo> findGadget(std::string_view name);

enum class TextStyle : std::uint8_t {
    Normal = 1,
    RaisedLight,
    RaisedHeavy,
    InsetLight,
    InsetHeavy,
    DropShadow,
    Heavy,
    Backdrop, // labels only
};
enum class ButtonPaintStyle : std::uint8_t { Silver = 1, Colored, Transparent };

// What the gadgets share, with its start values.
struct GadgetShared {
    gfx::Point grab; // where the last press on any gadget landed, inside it
    ButtonPaintStyle buttonPaint = ButtonPaintStyle::Silver;
    TextStyle buttonTextStyle = TextStyle::Normal;
    TextStyle labelTextStyle = TextStyle::Normal;
    gfx::Color buttonHighlight = gfx::clWhite;
    gfx::Color buttonShadow = gfx::rgb(128, 128, 128);
    gfx::Color labelHighlight = gfx::clWhite;
    gfx::Color labelShadow = gfx::rgb(128, 128, 128);
    int labelShadowOffset = 1;
    gfx::Color ovalHighlight = gfx::clWhite;
    gfx::Color ovalShadow = gfx::rgb(128, 128, 128);
    int ovalPenWidth = 1; // 1 .. 4
    bool border = true; // "Border": buttons get a black outline
    bool paintSave = false; // "PaintSave": a painted button is saved as a GIF file
    bool paintSelect = false; // "Select" of the buttons: painting one makes its rectangle the range
    bool labelSelect = false; // "Select" of the labels
};

// Where a gadget stands (its top-left corner, in image pixels) and whether it shows. An unplaced gadget
// stands at (0, 0).
struct GadgetPlace {
    gfx::Point position;
    bool shown = false;
};

// An image gadget, and the floating image, which shares its menu: the picture sizes the gadget.
struct ImageGadget : GadgetPlace {
    ImageGadget();
    // Without a picture, as the floating image starts.
    struct Empty { };
    explicit ImageGadget(Empty) { }
    gfx::Bitmap bitmap; // a 24 x 24 white placeholder with a grey frame until a picture is loaded
    // Set by "Capture Transparent Color"; otherwise the bottom-left pixel is the transparent colour.
    std::optional<gfx::Color> fixedKey;
    bool shownTransparent = false; // "TransParent": shown without its transparent colour's pixels
    int revision = 0; // counts new pictures, so that a view knows when to take the picture again
};

struct LabelGadget : GadgetPlace {
    std::string text; // lines joined by line breaks
    gfx::Font font;
};

struct ButtonGadget : GadgetPlace {
    std::string caption;
    gfx::Font font;
    int width = 73;
    int height = 24;
};

// The gadgets of this Part's kinds as they start: the labels "Text A", "Text B", "Text C" in Times New
// Roman 23 pixels high; the buttons captioned with their names in Arial 15 pixels; the ruler, 256 x 8.
struct GadgetSet {
    GadgetSet();
    std::array<ImageGadget, 3> images;
    std::array<LabelGadget, 3> labels;
    std::array<ButtonGadget, 8> buttons;
    GadgetPlace ruler;
    GadgetShared shared;
};
inline constexpr int kRulerWidth = 256;
inline constexpr int kRulerHeight = 8;
inline constexpr gfx::Color kRulerColor = 0xC0DCC0;

} // namespace daubix::app
