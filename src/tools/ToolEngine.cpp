#include "tools/ToolEngine.h"

#include "app/Document.h"
#include "app/Host.h"
#include "app/ImageCommands.h"
#include "tools/ToolFamily.h"

#include <algorithm>
#include <cstdlib>

namespace daubix::tools {

namespace {

struct ToolEntry {
    std::string_view mode; // without its phase digit
    ToolFamily& (*family)();
    // The family runs the engine's protocol for the mode, but the mode's own drawing is not there yet.
    bool drawingPending = false;
};

// Sorted by mode; a mode with no row pushes undo at the press and draws nothing.
constexpr ToolEntry kTools[] = {
    {"arc", arcTools},
    {"bars", boxTools},
    {"bezier", curveTools},
    {"blocks", fillTools},
    {"bluebrush", brushTools},
    {"border", boxTools},
    {"borderwaveline", timerTools, true},
    {"brightnessbrush", brushTools},
    {"chord", arcTools},
    {"cloneall", brushTools},
    {"clonenottarget", brushTools},
    {"cmirror", brushTools},
    {"colorwaveline", timerTools, true},
    {"cone", lineTools},
    {"contrastbrush", brushTools},
    {"cube", cornerTools},
    {"darkerbrush", brushTools},
    {"decofastsphere", timerTools, true},
    {"decospeedsphere", timerTools, true},
    {"decosphere", timerTools, true},
    {"ellipse", boxTools},
    {"fastwaveline", timerTools, true},
    {"fisheyebrush", brushTools},
    {"fisheyefixbrush", brushTools},
    {"floodfill", fillTools},
    {"freehand", lineTools},
    {"globe", boxTools},
    {"gradientbrush", brushTools},
    {"graybrush", brushTools},
    {"greenbrush", brushTools},
    {"halfbluebrush", brushTools},
    {"halfgreenbrush", brushTools},
    {"halfredbrush", brushTools},
    {"hmirror", brushTools},
    {"lighterbrush", brushTools},
    {"line", lineTools},
    {"maze", boxTools},
    {"mbBottom", brushTools},
    {"mbDiamond", brushTools},
    {"mbHor", brushTools},
    {"mbHorBox", brushTools},
    {"mbHorOval", brushTools},
    {"mbRound", brushTools},
    {"mbRound2", brushTools},
    {"mbSplitRound", brushTools},
    {"mbSplitWaste", brushTools},
    {"mbTop", brushTools},
    {"mbVerBox", brushTools},
    {"mbVerOval", brushTools},
    {"mbWaste", brushTools},
    {"mirror4", brushTools},
    {"mixbrush", brushTools},
    {"notbluebrush", brushTools},
    {"notgreenbrush", brushTools},
    {"notredbrush", brushTools},
    {"paintpick", rangeTools},
    {"paste", rangeTools},
    {"pastecolor", rangeTools},
    {"pastecolorx", rangeTools},
    {"pastemask", rangeTools},
    {"pie", arcTools},
    {"polybezier", curveTools},
    {"polygon", polyTools},
    {"polyline", polyTools},
    {"rangemove", rangeTools},
    {"rangesmear", rangeTools},
    {"rectangle", boxTools},
    {"redbrush", brushTools},
    {"rimplebrush", brushTools},
    {"rollmixbrush", brushTools},
    {"rotatebrush", brushTools},
    {"roundrect", boxTools},
    {"saturationbrush", brushTools},
    {"skewrect", cornerTools},
    {"sline", lineTools},
    {"smoothbrush", brushTools},
    {"snapshot", rangeTools},
    {"spiral", lineTools},
    {"spiro", lineTools},
    {"star", lineTools},
    {"sym", brushTools},
    {"transcopy", rangeTools},
    {"triangle", cornerTools},
    {"twistbrush", brushTools},
    {"vmirror", brushTools},
    {"waveline", timerTools, true},
    {"zoombrush", brushTools},
    {"zoomkeepbrush", brushTools},
};

const ToolEntry* findEntry(std::string_view mode)
{
    const auto it = std::lower_bound(
        std::begin(kTools), std::end(kTools), mode, [](const ToolEntry& e, std::string_view k) { return e.mode < k; });
    return it != std::end(kTools) && it->mode == mode ? &*it : nullptr;
}

// Modes whose names end in a digit ("mirror4", "mbRound2") are found as they are; the others without
// their phase digit.
const ToolEntry* entryFor(std::string_view mode)
{
    if (const ToolEntry* exact = findEntry(mode))
        return exact;
    return findEntry(baseToolMode(mode));
}

bool keepsButtonDown(std::string_view mode)
{
    return mode == "polygon" || mode == "polyline" || mode == "polybezier";
}

} // namespace

ToolEngine::ToolEngine(app::Document& doc, app::Host& host)
    : m_doc(doc)
    , m_host(host)
{
}

ToolEngine::~ToolEngine() = default;

std::string_view baseToolMode(std::string_view mode)
{
    if (findEntry(mode))
        return mode;
    while (!mode.empty() && mode.back() >= '0' && mode.back() <= '9')
        mode.remove_suffix(1);
    return mode;
}

bool isToolBuilt(std::string_view mode)
{
    const ToolEntry* entry = entryFor(mode);
    return entry && !entry->drawingPending;
}

std::vector<std::string_view> builtToolModes()
{
    std::vector<std::string_view> modes;
    for (const ToolEntry& entry : kTools)
        if (!entry.drawingPending)
            modes.push_back(entry.mode);
    return modes;
}

ToolFamily* ToolEngine::familyFor(std::string_view mode) const
{
    const ToolEntry* entry = entryFor(mode);
    return entry ? &entry->family() : nullptr;
}

bool ToolEngine::goMacro(const PointerEvent& e) const
{
    return e.alt && m_host.scriptEditorShowing();
}

void ToolEngine::appendScriptLine(const std::string& words)
{
    const gfx::Point s = m_state.start;
    m_host.insertScriptText("pos " + std::to_string(s.x) + " " + std::to_string(s.y) + " " + words + "\n");
}

void ToolEngine::repaint(const gfx::Rect& area)
{
    // In 64 bits: points may lie anywhere in the int range and a script may set any pen width.
    const std::int64_t margin = std::int64_t{std::min(m_doc.canvas.pen.width, gfx::Canvas::kMaxPenWidth)} + 2;
    const gfx::Rect r = area.normalized();
    const auto clamped
        = [](std::int64_t v) { return static_cast<int>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX)); };
    m_host.repaint({clamped(r.left - margin), clamped(r.top - margin), clamped(r.right + margin + 1),
        clamped(r.bottom + margin + 1)});
}

void ToolEngine::repaintAll()
{
    m_host.repaint({0, 0, m_doc.image.width(), m_doc.image.height()});
}

namespace {

// A view of the image is at most 2^24 pixels across, so no pointer lies farther out; points beyond
// (from the command line) are brought to that distance, where the tools' arithmetic stays in range.
PointerEvent withinReach(PointerEvent e)
{
    constexpr int kReach = 1 << 24;
    e.point = {std::clamp(e.point.x, -kReach, kReach), std::clamp(e.point.y, -kReach, kReach)};
    return e;
}

} // namespace

void ToolEngine::press(const PointerEvent& event)
{
    if (event.button == Button::None)
        return; // only the left, middle and right buttons reach the tools
    PointerEvent e = withinReach(event);
    GestureState& s = m_state;
    gfx::Canvas& canvas = m_doc.canvas;
    s.pressPen = canvas.pen.color;
    s.pressBrush = canvas.brush.color();
    if (e.ctrl && e.alt) {
        // scriptcords: the point typed into the editor, which takes the keys to go on typing.
        if (m_host.scriptEditorShowing()) {
            m_host.insertScriptText(std::to_string(e.point.x) + " " + std::to_string(e.point.y) + " ");
            m_host.scriptEditor()->focus();
        }
        return;
    }
    if (e.button == Button::Right) {
        rightPress(e);
        return;
    }
    if (e.ctrl && e.shift) {
        e.point = s.anchor;
        m_host.moveMouse(s.anchor);
    }
    app::pushImage(m_doc);
    m_doc.modified = true;
    canvas.moveTo(e.point.x, e.point.y);
    s.start = s.last = e.point;
    s.lineDirection = 'n';
    s.buttonDown = true;
    s.savedMode = canvas.pen.mode;
    // The phase chains return to their first phase at the next press.
    for (const auto& [done, first] : {std::pair{"chord3", "chord"}, std::pair{"pie3", "pie"}, std::pair{"arc3", "arc"},
             std::pair{"bezier3", "bezier"}, std::pair{"skewrect2", "skewrect"}, std::pair{"triangle2", "triangle"},
             std::pair{"cube2", "cube"}})
        if (m_doc.toolMode == done)
            m_doc.toolMode = first;
    if (ToolFamily* family = familyFor(m_doc.toolMode))
        family->press(*this, e, m_doc.toolMode);
    canvas.pen.mode = s.savedMode;
}

void ToolEngine::move(const PointerEvent& event)
{
    const PointerEvent e = withinReach(event);
    GestureState& s = m_state;
    s.pointer = e.point;
    if (e.ctrl && e.alt)
        return;
    s.savedMode = m_doc.canvas.pen.mode;
    const gfx::Point q = e.point;
    if (s.buttonDown)
        m_host.setStatus(2,
            "x=" + std::to_string(q.x) + " y=" + std::to_string(q.y)
                + " w=" + std::to_string(std::llabs(std::int64_t{q.x} - s.start.x))
                + " h=" + std::to_string(std::llabs(std::int64_t{q.y} - s.start.y)));
    else
        m_host.setStatus(2, "x=" + std::to_string(q.x) + " y=" + std::to_string(q.y));
    if (s.buttonDown)
        if (ToolFamily* family = familyFor(m_doc.toolMode))
            family->move(*this, e, m_doc.toolMode);
    m_doc.canvas.pen.mode = s.savedMode;
    if (m_doc.toolMode != "sline")
        s.last = q;
}

void ToolEngine::release(const PointerEvent& event)
{
    const PointerEvent e = withinReach(event);
    if ((e.ctrl && e.alt) || e.button == Button::Right || e.button == Button::None)
        return;
    GestureState& s = m_state;
    s.savedMode = m_doc.canvas.pen.mode;
    const std::string mode = m_doc.toolMode;
    if (ToolFamily* family = familyFor(mode))
        family->release(*this, e, mode);
    m_doc.canvas.pen.mode = s.savedMode;
    if (!keepsButtonDown(m_doc.toolMode))
        s.buttonDown = false;
}

void ToolEngine::rightPress(const PointerEvent& e)
{
    GestureState& s = m_state;
    s.savedMode = m_doc.canvas.pen.mode;
    if (ToolFamily* family = familyFor(m_doc.toolMode))
        family->rightPress(*this, e, m_doc.toolMode);
    m_doc.canvas.pen.mode = s.savedMode;
    s.anchor = e.point;
}

void ToolEngine::tick()
{
    GestureState& s = m_state;
    if (!s.buttonDown)
        return;
    const std::string& mode = m_doc.toolMode;
    if (mode.starts_with("deco"))
        return; // the deco spheres draw with the ornament tools
    gfx::Pen& pen = m_doc.canvas.pen;
    if (s.timerTag == 1) {
        if (pen.width + 1 < s.timerInterval / 3) {
            ++pen.width;
        } else {
            s.timerTag = 2;
            if (mode == "colorwaveline")
                pen.color = s.pressBrush;
        }
    } else {
        if (pen.width - 1 > 0) {
            --pen.width;
        } else {
            s.timerTag = 1;
            if (mode == "colorwaveline")
                pen.color = s.pressPen;
        }
    }
}

} // namespace daubix::tools
