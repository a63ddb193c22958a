#pragma once

#include "gfx/Canvas.h"

#include <span>
#include <string_view>

namespace daubix::app {

struct CommandRow;
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

// The Options menu's rows, and those of the pen-mode, line-width and brush-style popups.
std::span<const CommandRow> optionCommandRows();

// The captions of the popup items that choose a pen mode, pen style or brush style ("Not Xor",
// "Dash Dot", "DiagCross"); empty for a value no item chooses.
std::string_view penModeName(gfx::PenMode mode);
std::string_view penStyleName(gfx::PenStyle style);
std::string_view brushStyleName(gfx::BrushStyle style);

} // namespace daubix::app
