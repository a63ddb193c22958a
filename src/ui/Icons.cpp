#include "ui/Icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <map>
#include <string>

namespace daubix::ui {

namespace {

void drawBrushStyle(QPainter& p, std::string_view style)
{
    p.setPen(Qt::black);
    const std::map<std::string_view, Qt::BrushStyle> styles{{"Solid", Qt::SolidPattern}, {"Clear", Qt::NoBrush},
        {"Horizontal", Qt::HorPattern}, {"Vertical", Qt::VerPattern}, {"FDiagonal", Qt::FDiagPattern},
        {"BDiagonal", Qt::BDiagPattern}, {"Cross", Qt::CrossPattern}, {"DiagCross", Qt::DiagCrossPattern}};
    const auto it = styles.find(style);
    p.setBrush(QBrush(Qt::darkBlue, it == styles.end() ? Qt::NoBrush : it->second));
    p.drawRect(2, 2, 12, 12);
}

void drawTool(QPainter& p, std::string_view key)
{
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    if (key == "line" || key == "sline") {
        p.drawLine(2, 13, 13, 2);
    } else if (key == "freehand") {
        QPainterPath path(QPointF(2, 10));
        path.cubicTo(5, 0, 9, 16, 14, 4);
        p.drawPath(path);
    } else if (key == "bezier" || key == "polybezier") {
        QPainterPath path(QPointF(2, 13));
        path.cubicTo(2, 0, 14, 16, 14, 2);
        p.drawPath(path);
    } else if (key == "arc") {
        p.drawArc(2, 2, 12, 12, 0, 180 * 16);
    } else if (key == "rectangle" || key == "border" || key == "bars") {
        p.drawRect(2, 3, 11, 9);
    } else if (key == "roundrect") {
        p.drawRoundedRect(2, 3, 11, 9, 3, 3);
    } else if (key == "ellipse" || key == "globe") {
        p.drawEllipse(2, 3, 11, 9);
    } else if (key == "chord") {
        p.drawChord(2, 2, 12, 12, 30 * 16, 240 * 16);
    } else if (key == "pie") {
        p.drawPie(2, 2, 12, 12, 30 * 16, 270 * 16);
    } else if (key == "polygon" || key == "polyline" || key == "star") {
        const QPointF star[] = {{8, 1}, {10, 6}, {15, 6}, {11, 9}, {13, 15}, {8, 11}, {3, 15}, {5, 9}, {1, 6}, {6, 6}};
        p.drawPolygon(star, 10);
    } else if (key == "triangle" || key == "cone") {
        const QPointF t[] = {{8, 2}, {14, 13}, {2, 13}};
        p.drawPolygon(t, 3);
    } else if (key == "spiral" || key == "spiro") {
        for (int r = 2; r <= 6; r += 2)
            p.drawArc(8 - r, 8 - r, 2 * r, 2 * r, 0, 300 * 16);
    } else if (key == "floodfill") {
        p.setBrush(Qt::darkCyan);
        p.drawRect(3, 6, 9, 8);
        p.drawLine(12, 2, 12, 6);
    } else if (key == "turn") {
        p.drawArc(3, 3, 10, 10, 90 * 16, 270 * 16);
        p.drawLine(13, 8, 11, 6);
    } else if (key == "snapshot") {
        p.setPen(QPen(Qt::black, 1, Qt::DashLine));
        p.drawRect(2, 2, 11, 11);
    } else if (key == "paste" || key == "pastemask" || key == "pastecolor" || key == "pastecolorx") {
        p.setBrush(key == "paste" ? Qt::white : Qt::gray);
        p.drawRect(4, 2, 9, 11);
        p.drawRect(2, 5, 6, 8);
    } else if (key == "paintpick") {
        p.drawLine(3, 13, 11, 5);
        p.drawEllipse(10, 2, 4, 4);
    } else if (key == "clear") {
        p.setBrush(Qt::white);
        p.drawRect(2, 2, 12, 12);
        p.drawLine(2, 2, 14, 14);
    } else if (key == "undo") {
        p.drawArc(3, 4, 10, 9, 0, 200 * 16);
        p.drawLine(3, 8, 1, 5);
    } else if (key == "fillrange") {
        p.setBrush(Qt::darkYellow);
        p.setPen(QPen(Qt::black, 1, Qt::DashLine));
        p.drawRect(2, 2, 11, 11);
    } else if (key == "effects") {
        p.setBrush(Qt::yellow);
        p.drawEllipse(4, 4, 8, 8);
    } else if (key == "penmode") {
        p.setBrush(Qt::black);
        p.drawRect(2, 2, 6, 12);
        p.setBrush(Qt::white);
        p.drawRect(8, 2, 6, 12);
    } else {
        p.setBrush(QColor(230, 230, 230));
        p.drawRect(1, 1, 13, 13);
        QFont f = p.font();
        f.setPixelSize(10);
        p.setFont(f);
        p.drawText(QRect(1, 1, 14, 14), Qt::AlignCenter, QString(QChar(key.empty() ? '?' : key[0])).toUpper());
    }
}

} // namespace

QIcon drawnIcon(std::string_view key)
{
    static std::map<std::string, QIcon, std::less<>> cache;
    if (const auto it = cache.find(key); it != cache.end())
        return it->second;
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    if (key.starts_with("width:")) {
        const int w = std::stoi(std::string(key.substr(6)));
        p.setPen(QPen(Qt::black, std::min(w, 10), Qt::SolidLine, Qt::FlatCap));
        p.drawLine(1, 8, 15, 8);
    } else if (key.starts_with("brush:")) {
        drawBrushStyle(p, key.substr(6));
    } else {
        drawTool(p, key);
    }
    p.end();
    return cache.emplace(std::string(key), QIcon(pixmap)).first->second;
}

} // namespace daubix::ui
