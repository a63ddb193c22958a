#pragma once

#include "gfx/Canvas.h"

#include <span>
#include <string_view>

namespace daubix::app {

struct Document;
class Host;

// The Options menu and the pen popups: each sets a shared value, asking through the host where the
// design asks. A cancelled input box answers with its default text, as the classic input box does.

void askBlocks(Document& doc, Host& host); // "Number of blocks (2..50):"
void blockPen(Document& doc); // pen width := image width div blocks count
void askLineTolerance(Document& doc, Host& host);
void togglePolygon(Document& doc);
void askRounding(Document& doc, Host& host);
void askShapes(Document& doc, Host& host);
void setSpiralDirection(Document& doc, int direction); // +1 right, -1 left
void setSpiralCount(Document& doc, int count);
void askSpirals(Document& doc, Host& host);
void setSpiralFactor(Document& doc, double factor);
void askSpiralFactor(Document& doc, Host& host);
void setStarPoints(Document& doc, int points);
void askSpiroTurns(Document& doc, Host& host);
void askLineWidth(Document& doc, Host& host); // "Other Size..."

// The pen-mode popup: caption, mode and the text of status panel 1.
struct PenModeItem {
    std::string_view caption;
    gfx::PenMode mode;
    std::string_view status;
};
std::span<const PenModeItem> penModeItems();
void choosePenMode(Document& doc, Host& host, const PenModeItem& item);

// The line-width popup's fixed widths and the pen styles, brush styles by their captions.
struct PenStyleItem {
    std::string_view caption;
    gfx::PenStyle style;
};
std::span<const int> lineWidths(); // 1, 2, 3, 4, 5, 10, 30
std::span<const PenStyleItem> penStyleItems();
struct BrushStyleItem {
    std::string_view caption;
    gfx::BrushStyle style;
};
std::span<const BrushStyleItem> brushStyleItems();

} // namespace daubix::app
