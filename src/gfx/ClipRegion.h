#pragma once

#include "gfx/Geometry.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace daubix::gfx {

// The pixels a canvas may write: a union of rectangles held as horizontal bands, top first, each with
// its sorted, disjoint column runs. Clipping a row span costs two searches, never a test per pixel.
// Coordinates are pixels, right and bottom exclusive.
class ClipRegion {
public:
    // The whole plane: nothing is clipped until rectangles are intersected or excluded.
    ClipRegion()
        : ClipRegion(Rect{INT_MIN, INT_MIN, INT_MAX, INT_MAX})
    {
    }
    explicit ClipRegion(const Rect& box);

    // Boxes are normalised first.
    void intersect(const Rect& box);
    void exclude(const Rect& box);
    void unite(const Rect& box);

    bool isEmpty() const { return m_bands.empty(); }
    bool contains(int x, int y) const;
    // How many column runs the bands hold together: the region's cost to clip against and to copy.
    std::size_t runCount() const;
    // The region as disjoint rectangles, top to bottom, left to right within a band.
    std::vector<Rect> rects() const;

    // Calls visit(a, b) for each part a .. b-1 of the pixels x0 .. x1-1 of row y inside the region,
    // left to right.
    template <typename Visit> void forEachPart(int y, int x0, int x1, Visit&& visit) const
    {
        const Band* band = bandAt(y);
        if (!band || x0 >= x1)
            return;
        auto run
            = std::lower_bound(band->runs.begin(), band->runs.end(), x0, [](const Run& r, int x) { return r.x1 <= x; });
        for (; run != band->runs.end() && run->x0 < x1; ++run)
            visit(std::max(run->x0, x0), std::min(run->x1, x1));
    }

    // Calls visit(rect) for each rectangle of the region's part inside the box.
    template <typename Visit> void forEachRect(const Rect& box, Visit&& visit) const
    {
        for (const Band& band : m_bands) {
            if (band.bottom <= box.top)
                continue;
            if (band.top >= box.bottom)
                break;
            const int top = std::max(band.top, box.top), bottom = std::min(band.bottom, box.bottom);
            for (const Run& run : band.runs) {
                const int left = std::max(run.x0, box.left), right = std::min(run.x1, box.right);
                if (left < right)
                    visit(Rect{left, top, right, bottom});
            }
        }
    }

    friend bool operator==(const ClipRegion&, const ClipRegion&) = default;

private:
    struct Run {
        int x0;
        int x1;
        friend bool operator==(const Run&, const Run&) = default;
    };
    struct Band {
        int top;
        int bottom;
        std::vector<Run> runs;
        friend bool operator==(const Band&, const Band&) = default;
    };
    enum class Combine : std::uint8_t { Intersect, Exclude, Unite };

    void combine(const Rect& box, Combine how);
    static std::vector<Run> combineRuns(const std::vector<Run>& runs, int left, int right, Combine how);
    const Band* bandAt(int y) const;

    std::vector<Band> m_bands;
};

} // namespace daubix::gfx
