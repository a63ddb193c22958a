#pragma once

#include "gfx/Bitmap.h"
#include "gfx/Result.h"
#include "io/MetafileRecords.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace daubix::io {

// A metafile's picture size in pixels at 96 dots per inch; both at least 1.
struct MetafileSize {
    int width = 1;
    int height = 1;
};

// How logical units first land on the picture, before any record changes the mapping.
struct MetafileStart {
    int mapMode = 1; // MM_TEXT
    double windowOrgX = 0, windowOrgY = 0, windowExtX = 1, windowExtY = 1;
    double viewportOrgX = 0, viewportOrgY = 0, viewportExtX = 1, viewportExtY = 1;
    // The device the fixed map modes measure against (an EMF's reference device, else 96 dots per inch).
    double pixelsPerMmX = 96 / 25.4, pixelsPerMmY = 96 / 25.4;
    // From device units to the picture: (p - origin) * scale, so that an EMF's frame fills the picture.
    double deviceOriginX = 0, deviceOriginY = 0, deviceScaleX = 1, deviceScaleY = 1;
};

// A metafile read through and checked: every record replay acts on, with its numbers already taken
// from the file and every size, count and offset bounded by it. Replay needs nothing else.
struct Metafile {
    bool enhanced = false; // EMF rather than WMF
    MetafileSize size;
    MetafileStart start;
    std::size_t objectSlots = 0; // the object table's size
    std::vector<MetafileRecord> records;
    std::vector<std::int32_t> values;
    std::vector<std::string> texts; // UTF-8
    std::vector<std::uint8_t> dibs; // info headers followed by their bits
};

// Reads a WMF (with or without its placeable header) or an EMF, told apart by their content. A damaged
// or unsized file is refused with a message; records that only cannot be drawn are left out.
gfx::Result<Metafile> parseMetafile(std::span<const std::uint8_t> data);

inline MetafileSize metafileSize(const Metafile& m)
{
    return m.size;
}

// Plays the records onto the target from the default state (black one-pixel pen, white brush, black text
// on an opaque white background, alternate fill, copy pen, MM_TEXT), the picture's top-left at (0, 0).
// Records that make no sense at this point (an unknown object, a zero extent, a singular or absurd
// transform, a save too many) are skipped; nothing fails.
void replayMetafile(const Metafile& m, gfx::Bitmap& target);

} // namespace daubix::io
