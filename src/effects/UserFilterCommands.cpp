#include "effects/UserFilterCommands.h"

#include "app/Document.h"
#include "app/Host.h"
#include "app/Range.h"
#include "effects/FilterPresets.h"

#include <new>

namespace daubix::effects {

namespace {

gfx::Error outOfMemory(const gfx::Bitmap& image)
{
    return gfx::Error{"Not enough memory for a " + std::to_string(image.width()) + " \u00d7 "
        + std::to_string(image.height()) + " image."};
}

bool validChannel(int channel)
{
    return channel >= 0 && channel < 3;
}

std::optional<gfx::Bitmap> previewOrMessage(app::Document& doc, app::Host& host)
{
    auto picture = previewUserFilter(doc);
    if (!picture) {
        host.showFailure(picture.error());
        return std::nullopt;
    }
    return std::move(picture.value());
}

} // namespace

gfx::Result<UserFilterSettings> userFilterSettings(const app::Document& doc)
{
    const app::UserFilterState& state = doc.userFilter;
    auto matrix = readMatrixCells(state.cells);
    if (!matrix)
        return gfx::Error{matrix.error()};
    UserFilterSettings s;
    s.channels = state.channels;
    s.selection = state.selection;
    s.v = state.v;
    s.matrix = matrix.value();
    s.traceByte = static_cast<std::uint8_t>(doc.traceColorByte);
    s.embossBytes = {static_cast<std::uint8_t>(doc.filterAlternatingBytes[0]),
        static_cast<std::uint8_t>(doc.filterAlternatingBytes[1])};
    return s;
}

gfx::Status runUserFilter(app::Document& doc)
{
    auto settings = userFilterSettings(doc);
    if (!settings)
        return gfx::Error{settings.error()};
    // Checked before the copy is made, so that a refusal leaves the range as it was.
    if (gfx::Status s = checkUserFilterSettings(settings.value()); !s)
        return s;
    try {
        app::copyWholeImage(doc);
        return applyUserFilter(doc.rangeBuffer, settings.value(), doc.random);
    } catch (const std::bad_alloc&) {
        return outOfMemory(doc.image);
    }
}

gfx::Result<gfx::Bitmap> previewUserFilter(app::Document& doc)
{
    if (gfx::Status s = runUserFilter(doc); !s)
        return gfx::Error{s.error()};
    try {
        return gfx::Bitmap(doc.rangeBuffer);
    } catch (const std::bad_alloc&) {
        return outOfMemory(doc.image);
    }
}

std::optional<gfx::Bitmap> clickFilterList(app::Document& doc, app::Host& host, int row)
{
    app::UserFilterState& state = doc.userFilter;
    if (row < 0 || row >= kUserFilterCount)
        return std::nullopt;
    state.channels[static_cast<std::size_t>(state.checkedChannel)] = row;
    state.selection = row;
    return previewOrMessage(doc, host);
}

void clickChannelRadio(app::Document& doc, int channel)
{
    if (!validChannel(channel))
        return;
    doc.userFilter.checkedChannel = channel;
    doc.userFilter.selection = doc.userFilter.channels[static_cast<std::size_t>(channel)];
}

std::optional<gfx::Bitmap> moveFilterBar(app::Document& doc, app::Host& host, int v)
{
    if (v < kMinFilterValue || v > kMaxFilterValue) {
        host.showFailure("the filter value must lie in 16..255");
        return std::nullopt;
    }
    doc.userFilter.v = v;
    return previewOrMessage(doc, host);
}

void editMatrixCell(app::Document& doc, int row, int column, std::string text)
{
    if (row < 0 || row >= 5 || column < 0 || column >= 5)
        return;
    doc.userFilter.cells[static_cast<std::size_t>(row * 5 + column)] = std::move(text);
}

std::optional<gfx::Bitmap> showUserMatrix(app::Document& doc, app::Host& host)
{
    doc.userFilter.selection = kUserMatrixFilter;
    return previewOrMessage(doc, host);
}

std::optional<gfx::Bitmap> choosePreset(app::Document& doc, app::Host& host, int index)
{
    app::UserFilterState& state = doc.userFilter;
    if (index < 0 || static_cast<std::size_t>(index) >= state.presets.size())
        return std::nullopt;
    state.presetIndex = index;
    if (gfx::Status filled = presetIntoCells(state.presets[static_cast<std::size_t>(index)], state.cells); !filled) {
        host.showFailure(filled.error());
        return std::nullopt;
    }
    state.selection = kUserMatrixFilter;
    return previewOrMessage(doc, host);
}

std::optional<gfx::Bitmap> requestFilter(app::Document& doc, app::Host& host, std::string_view name)
{
    const std::optional<int> row = findUserFilter(name);
    if (!row)
        return std::nullopt;
    clickChannelRadio(doc, 0);
    // The classic window ran the filter a second time over the same copy, which gives the same
    // picture; once is enough.
    return clickFilterList(doc, host, *row);
}

std::string_view channelCaption(const app::Document& doc, int channel)
{
    if (!validChannel(channel))
        return {};
    const int filter = doc.userFilter.channels[static_cast<std::size_t>(channel)];
    if (filter < 0 || filter >= kUserFilterCount)
        return {};
    return userFilterNames()[static_cast<std::size_t>(filter)];
}

} // namespace daubix::effects
