#include "gfx/ClipRegion.h"

namespace daubix::gfx {

ClipRegion::ClipRegion(const Rect& box)
{
    const Rect r = box.normalized();
    if (!r.isEmpty())
        m_bands.push_back({r.top, r.bottom, {{r.left, r.right}}});
}

void ClipRegion::intersect(const Rect& box)
{
    combine(box, Combine::Intersect);
}

void ClipRegion::exclude(const Rect& box)
{
    combine(box, Combine::Exclude);
}

void ClipRegion::unite(const Rect& box)
{
    combine(box, Combine::Unite);
}

const ClipRegion::Band* ClipRegion::bandAt(int y) const
{
    const auto band
        = std::upper_bound(m_bands.begin(), m_bands.end(), y, [](int row, const Band& b) { return row < b.bottom; });
    return band != m_bands.end() && band->top <= y ? &*band : nullptr;
}

bool ClipRegion::contains(int x, int y) const
{
    bool inside = false;
    if (x != INT_MAX)
        forEachPart(y, x, x + 1, [&](int, int) { inside = true; });
    return inside;
}

std::size_t ClipRegion::runCount() const
{
    std::size_t n = 0;
    for (const Band& band : m_bands)
        n += band.runs.size();
    return n;
}

std::vector<Rect> ClipRegion::rects() const
{
    std::vector<Rect> out;
    for (const Band& band : m_bands)
        for (const Run& run : band.runs)
            out.push_back({run.x0, band.top, run.x1, band.bottom});
    return out;
}

std::vector<ClipRegion::Run> ClipRegion::combineRuns(const std::vector<Run>& runs, int left, int right, Combine how)
{
    std::vector<Run> out;
    if (how == Combine::Intersect) {
        for (const Run& r : runs)
            if (std::max(r.x0, left) < std::min(r.x1, right))
                out.push_back({std::max(r.x0, left), std::min(r.x1, right)});
        return out;
    }
    if (how == Combine::Exclude) {
        for (const Run& r : runs) {
            if (r.x1 <= left || r.x0 >= right) {
                out.push_back(r);
                continue;
            }
            if (r.x0 < left)
                out.push_back({r.x0, left});
            if (r.x1 > right)
                out.push_back({right, r.x1});
        }
        return out;
    }
    // Unite: the new run goes in order, merged with every run it touches.
    bool placed = false;
    for (const Run& r : runs) {
        if (!placed && left <= r.x1) {
            if (right < r.x0) {
                out.push_back({left, right});
                out.push_back(r);
            } else {
                out.push_back({std::min(left, r.x0), std::max(right, r.x1)});
            }
            placed = true;
            continue;
        }
        if (placed && r.x0 <= out.back().x1) {
            out.back().x1 = std::max(out.back().x1, r.x1);
            continue;
        }
        out.push_back(r);
    }
    if (!placed)
        out.push_back({left, right});
    return out;
}

// Rebuilds the bands over the rows where either the old bands or the box change: each slab between
// two consecutive edges is either inside the box (its runs combined with the box's columns) or not
// (kept, or dropped by an intersection). Equal neighbouring slabs merge, so the result is canonical.
void ClipRegion::combine(const Rect& box, Combine how)
{
    const Rect r = box.normalized();
    if (r.isEmpty()) {
        if (how == Combine::Intersect)
            m_bands.clear();
        return;
    }
    std::vector<int> edges{r.top, r.bottom};
    for (const Band& band : m_bands) {
        edges.push_back(band.top);
        edges.push_back(band.bottom);
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());

    std::vector<Band> out;
    std::size_t k = 0;
    const std::vector<Run> none;
    for (std::size_t i = 0; i + 1 < edges.size(); ++i) {
        const int y0 = edges[i], y1 = edges[i + 1];
        while (k < m_bands.size() && m_bands[k].bottom <= y0)
            ++k;
        const std::vector<Run>& old = k < m_bands.size() && m_bands[k].top <= y0 ? m_bands[k].runs : none;
        std::vector<Run> runs;
        if (y0 >= r.top && y1 <= r.bottom)
            runs = combineRuns(old, r.left, r.right, how);
        else if (how != Combine::Intersect)
            runs = old;
        if (runs.empty())
            continue;
        if (!out.empty() && out.back().bottom == y0 && out.back().runs == runs) {
            out.back().bottom = y1;
            continue;
        }
        out.push_back({y0, y1, std::move(runs)});
    }
    m_bands = std::move(out);
}

} // namespace daubix::gfx
