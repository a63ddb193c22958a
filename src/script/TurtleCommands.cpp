// The command words: what each reads, what it does to the turtle, the stacks, the variables and the
// canvas, and the message with which it rejects an argument.

#include "app/TextCase.h"
#include "gfx/Text.h"
#include "script/TzoTurtle_p.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace daubix::script {

namespace {

// 32-bit two's complement results, whatever the exact value was.
std::int32_t wrap(std::int64_t v)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
}

std::int32_t wrapAdd(std::int32_t a, std::int32_t b)
{
    return wrap(std::int64_t{a} + b);
}

// Nearest integer with halves to even (the floating-point unit's own rounding), wrapped to 32 bits.
std::int32_t roundWrap(double v)
{
    if (!std::isfinite(v))
        return 0;
    return wrap(static_cast<std::int64_t>(std::fmod(std::nearbyint(v), 4294967296.0)));
}

std::optional<gfx::PenMode> penModeNamed(std::string_view name)
{
    using gfx::PenMode;
    static constexpr std::pair<std::string_view, PenMode> kModes[]
        = {{"black", PenMode::Black}, {"white", PenMode::White}, {"nop", PenMode::Nop}, {"not", PenMode::Not},
            {"copy", PenMode::Copy}, {"notcopy", PenMode::NotCopy}, {"mergepennot", PenMode::MergePenNot},
            {"maskpennot", PenMode::MaskPenNot}, {"mergenotpen", PenMode::MergeNotPen},
            {"masknotpen", PenMode::MaskNotPen}, {"merge", PenMode::Merge}, {"notmerge", PenMode::NotMerge},
            {"mask", PenMode::Mask}, {"notmask", PenMode::NotMask}, {"xor", PenMode::Xor}, {"notxor", PenMode::NotXor}};
    for (const auto& [n, mode] : kModes)
        if (n == name)
            return mode;
    return std::nullopt;
}

std::optional<gfx::Rop3> copyModeNamed(std::string_view name)
{
    // "scrpaint" is the name scripts have always used for S OR D.
    static constexpr std::pair<std::string_view, gfx::Rop3> kModes[]
        = {{"blackness", gfx::kBlackness}, {"dstinvert", gfx::kDstInvert}, {"mergecopy", gfx::kMergeCopy},
            {"mergepaint", gfx::kMergePaint}, {"notsrccopy", gfx::kNotSrcCopy}, {"notsrcerase", gfx::kNotSrcErase},
            {"patcopy", gfx::kPatCopy}, {"patinvert", gfx::kPatInvert}, {"patpaint", gfx::kPatPaint},
            {"srcand", gfx::kSrcAnd}, {"srccopy", gfx::kSrcCopy}, {"srcerase", gfx::kSrcErase},
            {"srcinvert", gfx::kSrcInvert}, {"scrpaint", gfx::kSrcPaint}, {"whiteness", gfx::kWhiteness}};
    for (const auto& [n, mode] : kModes)
        if (n == name)
            return mode;
    return std::nullopt;
}

// The font height in pixels that a size in points gives at 96 dots per inch, rounded as the classic
// interface's MulDiv rounds.
int pixelHeight(int points)
{
    const std::int64_t scaled = std::int64_t{points} * 96;
    const std::int64_t h = scaled >= 0 ? (scaled + 36) / 72 : (scaled - 36) / 72;
    return static_cast<int>(std::clamp<std::int64_t>(h, INT32_MIN + 1, INT32_MAX));
}

} // namespace

void TzoTurtle::Run_::forward(std::int32_t distance)
{
    const double radians = t.Heading * 2 * std::numbers::pi / 360;
    const gfx::Point to{
        roundWrap(t.Position.x + distance * std::cos(radians)), roundWrap(t.Position.y - distance * std::sin(radians))};
    goTo(to);
}

void TzoTurtle::Run_::goTo(gfx::Point p)
{
    if (t.PenDown) {
        t.Canvas->moveTo(t.Position.x, t.Position.y);
        t.Canvas->lineTo(p.x, p.y);
    } else {
        t.Canvas->moveTo(p.x, p.y);
    }
    t.Position = p;
}

bool TzoTurtle::Run_::imageBounds()
{
    if (!t.OnRequestImageSize)
        return false;
    t.OnRequestImageSize(t.ImageRect);
    return true;
}

bool TzoTurtle::Run_::cancelled()
{
    return (++steps & 0x3FFF) == 0 && t.Cancelled && t.Cancelled();
}

bool TzoTurtle::Run_::afterEvent()
{
    return t.Cancelled && t.Cancelled() ? fail("run cancelled") : true;
}

// A regular polygon or star: n - 1 forward moves with the pen down, a closing line to the start, and
// the turtle as it was.
bool TzoTurtle::Run_::figure(std::int32_t n, std::int32_t side, double turn)
{
    const double heading = t.Heading;
    const gfx::Point start = t.Position;
    const bool penDown = t.PenDown;
    t.PenDown = true;
    bool stopped = false;
    for (std::int32_t i = 1; i < n && !stopped; ++i) {
        forward(side);
        t.Heading += turn;
        stopped = cancelled();
    }
    if (!stopped)
        t.Canvas->lineTo(start.x, start.y);
    t.Heading = heading;
    t.Position = start;
    t.PenDown = penDown;
    return stopped ? fail("run cancelled") : true;
}

bool TzoTurtle::Run_::variableWord(Word word)
{
    std::int32_t v = 1;
    const bool pops = word != Word::InInc && word != Word::InDec;
    if (pops && !pop(v))
        return fail("number stack underflow");
    if (word == Word::InSub && v == 0)
        return fail("division by zero not allowed in in-");
    const Token* name = readName();
    if (!name)
        return fail("token expected");
    if (name->slot < 0) // names cannot hold "="
        return fail("invalid variable name " + std::string(textOf(*name)));
    auto& slot = variables[static_cast<std::size_t>(name->slot)];
    if (word == Word::In) {
        slot = v;
        return true;
    }
    if (!slot)
        return fail(std::string(textOf(*name)) + " does not exist");
    const std::int64_t a = *slot;
    switch (word) {
    case Word::InAdd:
    case Word::InInc:
        slot = wrap(a + v);
        break;
    case Word::InSub:
        slot = wrap(a / v); // the name goes with division
        break;
    case Word::InMul:
        slot = wrap(a * v);
        break;
    default: // indiv, indec: the name goes with subtraction
        slot = wrap(a - v);
        break;
    }
    return true;
}

bool TzoTurtle::Run_::calculator(Word word)
{
    std::int32_t b = 0, a = 0;
    if (!pop(b))
        return fail("number stack underflow");
    std::int64_t r = 0;
    switch (word) {
    case Word::Dup:
        return push(b) && push(b);
    case Word::Drop:
        return true;
    case Word::Neg: // the absolute value, as scripts have always had it
        return push(wrap(b < 0 ? -std::int64_t{b} : b));
    case Word::Abs: // the negation
        return push(wrap(-std::int64_t{b}));
    case Word::Sqr:
        return push(wrap(std::int64_t{b} * b));
    case Word::Sqrt:
        if (b == 0)
            return fail("can not take sqrt of 0");
        if (b < 0)
            return fail("can not take sqrt of a negative number");
        return push(roundWrap(std::sqrt(static_cast<double>(b))));
    case Word::Not:
        return push(b == 0 ? 1 : 0);
    case Word::Inc:
        return push(wrapAdd(b, 1));
    case Word::Dec:
        return push(wrapAdd(b, -1));
    default:
        break;
    }
    if (!pop(a))
        return fail("number stack underflow");
    switch (word) {
    case Word::Add:
        r = std::int64_t{a} + b;
        break;
    case Word::Sub:
        r = std::int64_t{a} - b;
        break;
    case Word::Mul:
        r = std::int64_t{a} * b;
        break;
    case Word::DivWord:
        if (b == 0)
            return fail("division by zero");
        r = std::int64_t{a} / b;
        break;
    case Word::Max:
        r = std::max(a, b);
        break;
    case Word::Min:
        r = std::min(a, b);
        break;
    case Word::Swap:
        return push(b) && push(a);
    case Word::Gt:
        r = a > b;
        break;
    case Word::Ge:
        r = a >= b;
        break;
    case Word::Lt:
        r = a < b;
        break;
    case Word::Le:
        r = a <= b;
        break;
    case Word::Eq:
        r = a == b;
        break;
    case Word::Ne:
        r = a != b;
        break;
    case Word::And:
        r = a != 0 && b != 0;
        break;
    case Word::Or:
        r = a != 0 || b != 0;
        break;
    default:
        return fail("internal error: unknown calculator word");
    }
    return push(wrap(r));
}

bool TzoTurtle::Run_::query(Word word)
{
    gfx::Canvas& canvas = *t.Canvas;
    const auto bound = [&](const char* name, std::int32_t gfx::Rect::*side) {
        if (!imageBounds())
            return fail(std::string("error in ") + name);
        return push(t.ImageRect.*side);
    };
    switch (word) {
    case Word::QPosX:
        return push(t.Position.x);
    case Word::QPosY:
        return push(t.Position.y);
    case Word::QAngle:
        return push(roundWrap(t.Heading));
    case Word::QPenColor:
        return push(static_cast<std::int32_t>(canvas.pen.color));
    case Word::QPenSize:
        return push(canvas.pen.width);
    case Word::QBrushColor:
        return push(static_cast<std::int32_t>(canvas.brush.color()));
    case Word::QTextColor:
        return push(static_cast<std::int32_t>(canvas.font.color));
    case Word::QTextSize:
        return push(canvas.font.size);
    case Word::QMarkX:
        return push(t.MarkPos.x);
    case Word::QMarkY:
        return push(t.MarkPos.y);
    case Word::QLoop:
        if (returnCount == 0)
            return fail("stack underflow in =loop");
        return push(returns[static_cast<std::size_t>(returnCount - 1)]);
    case Word::QLeft:
        return bound("=left", &gfx::Rect::left);
    case Word::QTop:
        return bound("=top", &gfx::Rect::top);
    case Word::QRight:
        return bound("=right", &gfx::Rect::right);
    default:
        return bound("=bottom", &gfx::Rect::bottom);
    }
}

bool TzoTurtle::Run_::command(Word word)
{
    gfx::Canvas& canvas = *t.Canvas;
    gfx::Point& at = t.Position;
    // Reads the integer arguments in order; on a rejection, the command's message.
    const auto ints = [&](const char* name, auto&... out) {
        if ((readInteger(out) && ...))
            return true;
        return fail(std::string("invalid integer in ") + name);
    };
    const auto offset = [&](std::int32_t dx, std::int32_t dy) {
        return gfx::Point{wrapAdd(at.x, dx), wrapAdd(at.y, dy)};
    };
    std::int32_t a = 0, b = 0, c = 0, d = 0, e = 0, f = 0;
    std::string s;

    switch (word) {
    // Movement.
    case Word::Pos:
        if (!ints("pos", a, b))
            return false;
        at = {a, b};
        return true;
    case Word::Move:
        if (!ints("move", a, b))
            return false;
        at = offset(a, b);
        return true;
    case Word::Go:
        if (!ints("go", a))
            return false;
        forward(a);
        return true;
    case Word::LineTo: {
        if (!ints("lineto", a, b))
            return false;
        const gfx::Point to = offset(a, b);
        canvas.moveTo(at.x, at.y);
        canvas.lineTo(to.x, to.y);
        at = to;
        return true;
    }
    case Word::Angle:
        if (!ints("angle", a))
            return false;
        t.Heading = a;
        return true;
    case Word::Turn:
    case Word::Left:
        if (!ints(word == Word::Turn ? "turn" : "left", a))
            return false;
        t.Heading += a;
        return true;
    case Word::Right:
        if (!ints("right", a))
            return false;
        t.Heading -= a;
        return true;
    case Word::Down:
        t.PenDown = true;
        return true;
    case Word::Up:
        t.PenDown = false;
        return true;
    case Word::Mark:
        t.MarkPos = at;
        return true;
    case Word::GoMark:
        goTo(t.MarkPos);
        return true;
    case Word::MarkAngle:
        t.MarkAngle = roundWrap(t.Heading);
        return true;
    case Word::GoMarkAngle:
        t.Heading = t.MarkAngle;
        return true;
    case Word::GoLeft:
    case Word::GoTop:
    case Word::GoRight:
    case Word::GoBottom:
    case Word::GoCenter: {
        static constexpr const char* kNames[] = {"goleft", "gotop", "goright", "gobottom", "gocenter"};
        const int which = static_cast<int>(word) - static_cast<int>(Word::GoLeft);
        if (!imageBounds())
            return fail(std::string("error in ") + kNames[which]);
        const gfx::Rect& r = t.ImageRect;
        const gfx::Point targets[] = {{r.left, at.y}, {at.x, r.top}, {r.right, at.y}, {at.x, r.bottom},
            {wrap((std::int64_t{r.right} - r.left) / 2), wrap((std::int64_t{r.bottom} - r.top) / 2)}};
        goTo(targets[which]);
        return true;
    }
    case Word::Default: {
        t.Heading = 0;
        at = {0, 0};
        t.PenDown = false;
        canvas.pen.color = gfx::clBlack;
        // The brush style stays what it was, though a new colour makes a clear brush solid.
        const bool clear = canvas.brush.style() == gfx::BrushStyle::Clear;
        canvas.brush.setColor(gfx::clWhite);
        if (clear)
            canvas.brush.setStyle(gfx::BrushStyle::Clear);
        canvas.copyMode = gfx::kSrcCopy;
        t.MarkPos = {0, 0};
        t.Area = {0, 0, 0, 0};
        return true;
    }

    // Pen, brush and modes.
    case Word::PenSize:
        if (!ints("pensize", a))
            return false;
        canvas.pen.width = a;
        return true;
    case Word::PenColor:
        if (!readColor(a))
            return fail("invalid color in pencolor");
        canvas.pen.color = static_cast<gfx::Color>(a);
        return true;
    case Word::AddPenColor:
        if (!readColor(a))
            return fail("invalid color in addpencolor");
        canvas.pen.color += static_cast<gfx::Color>(a);
        return true;
    case Word::BrushColor:
        if (!readColor(a))
            return fail("invalid color in brushcolor");
        canvas.brush.setColor(static_cast<gfx::Color>(a));
        return true;
    case Word::AddBrushColor:
        if (!readColor(a))
            return fail("invalid color in addbrushcolor");
        canvas.brush.setColor(canvas.brush.color() + static_cast<gfx::Color>(a));
        return true;
    case Word::BsSolid:
        canvas.brush.setStyle(gfx::BrushStyle::Solid);
        return true;
    case Word::BsClear:
        canvas.brush.setStyle(gfx::BrushStyle::Clear);
        return true;
    case Word::PenMode: {
        const Token* name = readName();
        const auto mode = name ? penModeNamed(app::lowerAscii(textOf(*name))) : std::nullopt;
        if (!mode)
            return fail("invalid pen mode");
        canvas.pen.mode = *mode;
        return true;
    }
    case Word::CopyMode: {
        const Token* name = readName();
        const auto mode = name ? copyModeNamed(app::lowerAscii(textOf(*name))) : std::nullopt;
        if (!mode)
            return fail("invalid copy mode");
        canvas.copyMode = *mode;
        return true;
    }

    // Text.
    case Word::TextFont:
        if (!readText(s))
            return fail("missing fontname");
        canvas.font.name = s;
        return true;
    case Word::TextSize:
        if (!readInteger(a))
            return fail("invalid integer in fontsize");
        canvas.font.size = a;
        return true;
    case Word::TextColor:
        if (!readColor(a))
            return fail("invalid color in textcolor");
        canvas.font.color = static_cast<gfx::Color>(a);
        return true;
    case Word::Bold:
        canvas.font.bold = true;
        return true;
    case Word::Italic:
        canvas.font.italic = true;
        return true;
    case Word::Underline:
        canvas.font.underline = true;
        return true;
    case Word::Normal:
        canvas.font.bold = canvas.font.italic = canvas.font.underline = canvas.font.strikeOut = false;
        return true;
    case Word::Text: {
        if (!readText(s))
            return fail("invalid text in text");
        // A font for this call: turned with the heading, chosen by its cell height, no strike-out.
        gfx::Font font = canvas.font;
        font.angle = roundWrap(std::fmod(std::nearbyint(t.Heading), 360.0)) * 10;
        font.strikeOut = false;
        font.cellHeight = std::abs(pixelHeight(canvas.font.size));
        if (font.name.size() > 31)
            font.name.resize(31);
        gfx::drawText(canvas.bitmap(), font, at.x, at.y, s, std::nullopt);
        if (t.OnRepaintRequest)
            t.OnRepaintRequest();
        return afterEvent();
    }
    case Word::TextOut:
        if (!readText(s))
            return fail("invalid text in textout");
        canvas.textOut(at.x, at.y, s);
        return true;

    // Shapes.
    case Word::Rectangle:
    case Word::Ellipse: {
        const bool box = word == Word::Rectangle;
        if (!ints(box ? "rectangle" : "ellipse", a, b))
            return false;
        const gfx::Point corner = offset(a, b);
        if (box)
            canvas.rectangle(at.x, at.y, corner.x, corner.y);
        else
            canvas.ellipse(at.x, at.y, corner.x, corner.y);
        return true;
    }
    case Word::RoundRect: {
        if (!ints("roundrect", a, b, c, d))
            return false;
        const gfx::Point corner = offset(a, b);
        canvas.roundRect(at.x, at.y, corner.x, corner.y, c, d);
        return true;
    }
    case Word::Diamond: {
        if (!ints("diamond", a))
            return false;
        const bool penDown = t.PenDown;
        t.PenDown = true;
        t.Heading += 45;
        for (int i = 0; i < 4; ++i) {
            forward(a);
            t.Heading -= 90;
        }
        t.Heading -= 45;
        t.PenDown = penDown;
        return true;
    }
    case Word::Polygon:
    case Word::Star: {
        const bool star = word == Word::Star;
        const std::string name = star ? "star" : "polygon";
        if (!ints(name.c_str(), a, b))
            return false;
        if (a == 0 || b == 0)
            return fail("0 not allowed in " + name);
        if (a < 3)
            return fail("need minimum of 3 sides in " + name);
        if (star && a > 12)
            return fail("maximum 12 sides exceeded in star");
        const int k = !star ? 1 : a == 5 ? 2 : a == 7 ? 3 : a == 9 ? 4 : a == 11 ? 5 : 1;
        return figure(a, b, k * 360.0 / a);
    }
    case Word::Curve: {
        if (!readInteger(a) || !readInteger(b) || !readInteger(c) || !readInteger(d) || !readInteger(e)
            || !readInteger(f))
            return fail("invalid parameter in curve");
        const gfx::Point points[] = {at, offset(a, b), offset(c, d), offset(e, f)};
        canvas.polyBezier(points);
        at = points[3];
        return true;
    }
    case Word::Flood: {
        if (!ints("flood", a, b))
            return false;
        const gfx::Point p = offset(a, b);
        const gfx::Bitmap& bitmap = canvas.bitmap();
        if (p.x >= 0 && p.y >= 0 && p.x < bitmap.width() && p.y < bitmap.height())
            canvas.floodFill(p.x, p.y, canvas.pixel(p.x, p.y), gfx::Canvas::FillStyle::Surface);
        return true;
    }
    case Word::AreaWord:
        if (!ints("area", a, b, c, d))
            return false;
        t.Area = {a, b, c, d};
        return true;
    case Word::Copy: {
        const gfx::Rect& from = t.Area;
        const gfx::Rect to{at.x, at.y, wrap(std::int64_t{at.x} + from.right - from.left),
            wrap(std::int64_t{at.y} + from.bottom - from.top)};
        canvas.copyRect(to, canvas.bitmap(), from);
        return true;
    }
    case Word::Background:
        if (!readText(s))
            return fail("invalid text in background");
        t.BackgroundName = s;
        if (t.OnRequestBackGround)
            t.OnRequestBackGround(s);
        return afterEvent();
    case Word::Filter:
        if (!readText(s))
            return fail("invalid text in filter");
        t.FilterName = s;
        if (t.OnRequestFilter)
            t.OnRequestFilter(s);
        return afterEvent();

    case Word::In:
    case Word::InAdd:
    case Word::InSub:
    case Word::InMul:
    case Word::InDiv:
    case Word::InInc:
    case Word::InDec:
        return variableWord(word);

    case Word::Add:
    case Word::Sub:
    case Word::Mul:
    case Word::DivWord:
    case Word::Max:
    case Word::Min:
    case Word::Swap:
    case Word::Dup:
    case Word::Drop:
    case Word::Neg:
    case Word::Abs:
    case Word::Sqr:
    case Word::Sqrt:
    case Word::Gt:
    case Word::Ge:
    case Word::Lt:
    case Word::Le:
    case Word::Eq:
    case Word::Ne:
    case Word::And:
    case Word::Or:
    case Word::Not:
    case Word::Inc:
    case Word::Dec:
        return calculator(word);

    default:
        return query(word);
    }
}

} // namespace daubix::script
