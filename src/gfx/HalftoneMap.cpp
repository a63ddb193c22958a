#include "gfx/HalftoneMap.h"

#include "gfx/Palette.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstdlib>

namespace daubix::gfx {

namespace {

constexpr int kCellsPerSide = 17;

struct Box {
    int lo[3];
    int hi[3];
};

int channel(Color c, int k)
{
    return k == 0 ? red(c) : k == 1 ? green(c) : blue(c);
}

// Whether entry j is at least as good as entry i at every colour of the box: nearer, or as near with the
// smaller index. d(c, j) - d(c, i) is linear in c, so its largest value over the box is at a corner.
bool dominates(const std::vector<Color>& palette, int j, int i, const Box& box)
{
    long long most = 0;
    for (int k = 0; k < 3; ++k) {
        const int pj = channel(palette[j], k), pi = channel(palette[i], k), step = pj - pi;
        most += pj * pj - pi * pi - 2LL * (step > 0 ? box.lo[k] : box.hi[k]) * step;
    }
    return most < 0 || (most == 0 && j < i);
}

} // namespace

const HalftoneMap& HalftoneMap::instance()
{
    static const HalftoneMap map;
    return map;
}

HalftoneMap::HalftoneMap()
    : m_cells(kCellsPerSide * kCellsPerSide * kCellsPerSide)
{
    const std::vector<Color>& palette = halftonePalette256();
    const int n = static_cast<int>(palette.size());
    // Per channel and cell, each entry's nearest and farthest squared distance along that channel; a
    // cell's distances are sums of three of these.
    std::array<std::array<std::array<int, 256>, kCellsPerSide>, 3> nearPart{}, farPart{};
    for (int k = 0; k < 3; ++k) {
        for (int c = 0; c < kCellsPerSide; ++c) {
            const int lo = std::max(0, 16 * c - 15), hi = std::min(255, 16 * c);
            for (int i = 0; i < n; ++i) {
                const int v = channel(palette[i], k);
                const int gap = v < lo ? lo - v : v > hi ? v - hi : 0;
                const int reach = std::max(std::abs(v - lo), std::abs(v - hi));
                nearPart[k][c][i] = gap * gap;
                farPart[k][c][i] = reach * reach;
            }
        }
    }
    std::vector<int> candidates;
    std::vector<int> kept;
    for (int cr = 0; cr < kCellsPerSide; ++cr) {
        for (int cg = 0; cg < kCellsPerSide; ++cg) {
            for (int cb = 0; cb < kCellsPerSide; ++cb) {
                const int cell[3] = {cr, cg, cb};
                Box box{};
                for (int k = 0; k < 3; ++k) {
                    box.lo[k] = std::max(0, 16 * cell[k] - 15);
                    box.hi[k] = std::min(255, 16 * cell[k]);
                }
                // No entry farther than the best worst case can be nearest anywhere in the box.
                int bound = 1 << 30;
                for (int i = 0; i < n; ++i)
                    bound = std::min(bound, farPart[0][cr][i] + farPart[1][cg][i] + farPart[2][cb][i]);
                candidates.clear();
                for (int i = 0; i < n; ++i)
                    if (nearPart[0][cr][i] + nearPart[1][cg][i] + nearPart[2][cb][i] <= bound)
                        candidates.push_back(i);
                // An entry that another beats everywhere in the box never wins there, whatever else
                // beats that other one.
                kept.clear();
                for (const int i : candidates)
                    if (std::none_of(candidates.begin(), candidates.end(),
                            [&](int j) { return j != i && dominates(palette, j, i, box); }))
                        kept.push_back(i);
                std::uint16_t& slot = m_cells[static_cast<std::size_t>((cr * kCellsPerSide + cg) * kCellsPerSide + cb)];
                if (kept.size() == 1) {
                    slot = static_cast<std::uint16_t>(kept.front());
                    continue;
                }
                assert(256 + m_lists.size() <= 0xFFFF);
                slot = static_cast<std::uint16_t>(256 + m_lists.size());
                m_lists.push_back(static_cast<std::uint8_t>(kept.size()));
                for (const int i : kept)
                    m_lists.push_back(static_cast<std::uint8_t>(i));
            }
        }
    }
}

std::uint8_t HalftoneMap::nearestAmong(int list, int r, int g, int b) const
{
    const std::vector<Color>& palette = halftonePalette256();
    const std::uint8_t* entry = m_lists.data() + list;
    const int count = *entry++;
    int best = entry[0];
    int bestDistance = 1 << 30;
    for (int k = 0; k < count; ++k) {
        const Color c = palette[entry[k]];
        const int dr = red(c) - r, dg = green(c) - g, db = blue(c) - b;
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = entry[k];
        }
    }
    return static_cast<std::uint8_t>(best);
}

} // namespace daubix::gfx
