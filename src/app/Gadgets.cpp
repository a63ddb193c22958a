#include "app/Gadgets.h"

#include "app/TextCase.h"

namespace daubix::app {

namespace {

using enum GadgetKind;

constexpr GadgetInfo kGadgets[] = {
    {"GadImage1", Image, 0, "Gadgets > GadImage1"},
    {"GadImage2", Image, 1, "Gadgets > GadImage2"},
    {"GadImage3", Image, 2, "Gadgets > GadImage3"},
    {"FloatImage1", Image, 3, "Gadgets > FloatImage1"},
    {"GadLabel1", Label, 0, "Gadgets > GadLabel1"},
    {"GadLabel2", Label, 1, "Gadgets > GadLabel2"},
    {"GadLabel3", Label, 2, "Gadgets > GadLabel3"},
    {"GadBut1", Button, 0, "Gadgets > GadBut1"},
    {"GadBut2", Button, 1, "Gadgets > GadBut2"},
    {"GadBut3", Button, 2, "Gadgets > GadBut3"},
    {"GadBut4", Button, 3, "Gadgets > GadBut4"},
    {"GadBut5", Button, 4, "Gadgets > GadBut5"},
    {"Gadbut6", Button, 5, "Gadgets > Gadbut6"},
    {"GadBut7", Button, 6, "Gadgets > GadBut7"},
    {"Gadbut8", Button, 7, "Gadgets > Gadbut8"},
    {"GradText1", GradText, 0, "Gadgets > GradText1"},
    {"GradText2", GradText, 1, "Gadgets > GradText2"},
    {"GradText3", GradText, 2, "Gadgets > GradText3"},
    {"GadShape1", Shape, 0, "Gadgets > GadShape1"},
    {"GadShape2", Shape, 1, "Gadgets > GadShape2"},
    {"GadShape3", Shape, 2, "Gadgets > GadShape3"},
    {"GadSmart1", Smart, 0, "Gadgets > GadSmart1"},
    {"GadSmart2", Smart, 1, "Gadgets > GadSmart2"},
    {"Ruler1", Ruler, 0, "Gadgets > Ruler"},
};

} // namespace

std::span<const GadgetInfo> gadgetTable()
{
    return kGadgets;
}

std::optional<GadgetInfo> findGadget(std::string_view name)
{
    for (const GadgetInfo& g : kGadgets)
        if (sameIgnoringCase(g.name, name))
            return g;
    return std::nullopt;
}

ImageGadget::ImageGadget()
    : bitmap(24, 24)
{
    gfx::Canvas canvas(bitmap);
    canvas.pen.color = gfx::rgb(128, 128, 128);
    canvas.brush.setStyle(gfx::BrushStyle::Clear);
    canvas.rectangle(0, 0, 24, 24);
}

GadgetSet::GadgetSet()
{
    for (std::size_t i = 0; i < labels.size(); ++i) {
        labels[i].text = std::string("Text ") + static_cast<char>('A' + i);
        labels[i].font.name = "Times New Roman";
        labels[i].font.emHeight = 23;
    }
    for (const GadgetInfo& g : kGadgets)
        if (g.kind == GadgetKind::Button) {
            ButtonGadget& b = buttons[static_cast<std::size_t>(g.index)];
            b.caption = std::string(g.name);
            b.font.name = "Arial";
            b.font.emHeight = 15;
        }
}

} // namespace daubix::app
