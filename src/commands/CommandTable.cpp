#include "commands/CommandTable.h"

#include "app/Command.h"
#include "app/ImageCommands.h"
#include "app/Options.h"
#include "app/Patterns.h"
#include "app/Range.h"
#include "app/TextCase.h"
#include "commands/MenuBar.h"
#include "commands/ScriptCommands.h"
#include "effects/EffectMenu.h"
#include "effects/ImageTransforms.h"
#include "effects/RangeFills.h"
#include "effects/RangeTransforms.h"
#include "effects/ResizeCommands.h"
#include "io/FileCommands.h"
#include "io/IconCommands.h"
#include "tools/ToolMenu.h"

#include <algorithm>
#include <map>
#include <vector>

namespace daubix::commands {

namespace {

// The areas' rows, each beside the code it calls.
std::vector<app::CommandRow> areaRows()
{
    std::vector<app::CommandRow> rows;
    for (const auto& area :
        {app::imageCommandRows(), app::optionCommandRows(), app::rangeCommandRows(), app::patternCommandRows(),
            tools::toolCommandRows(), effects::effectCommandRows(), effects::resizeCommandRows(),
            effects::rangeTransformRows(), effects::imageTransformRows(), io::iconCommandRows(),
            io::fileCommandRows(), scriptCommandRows(), effects::rangeFillRows()})
        rows.insert(rows.end(), area.begin(), area.end());
    return rows;
}

// The layout's menu items in order, each completed by its area's row; then the rows of the toolbar and
// its popups. An area row keeps its own kind when it has one (a radio item, a window).
std::vector<app::CommandRow> gather()
{
    std::vector<app::CommandRow> rest = areaRows();
    std::vector<app::CommandRow> table;
    for (const app::CommandRow& item : menuBarLayout()) {
        const auto it
            = std::find_if(rest.begin(), rest.end(), [&](const app::CommandRow& row) { return row.path == item.path; });
        if (it == rest.end()) {
            table.push_back(item);
            continue;
        }
        app::CommandRow row = *it;
        rest.erase(it);
        row.shortcut = item.shortcut;
        if (row.kind == app::ItemKind::Plain)
            row.kind = item.kind;
        table.push_back(row);
    }
    table.insert(table.end(), rest.begin(), rest.end());
    return table;
}

struct Index {
    std::vector<app::CommandRow> rows = gather();
    std::map<std::string, const app::CommandRow*, std::less<>> byPath;
    Index()
    {
        for (const app::CommandRow& row : rows)
            byPath.emplace(normalizedPath(row.path), &row);
    }
};

const Index& index()
{
    static const Index table;
    return table;
}

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

} // namespace

std::span<const app::CommandRow> commandTable()
{
    return index().rows;
}

std::string normalizedPath(std::string_view path)
{
    std::string out;
    while (true) {
        const auto cut = path.find('>');
        std::string_view part = trimmed(path.substr(0, cut));
        if (part.ends_with("..."))
            part = trimmed(part.substr(0, part.size() - 3));
        if (!out.empty())
            out += '>';
        for (const char c : part)
            if (c != '&')
                out += app::lowerAscii(c);
        if (cut == std::string_view::npos)
            return out;
        path.remove_prefix(cut + 1);
    }
}

std::string_view popupOf(std::string_view button)
{
    static constexpr std::pair<std::string_view, std::string_view> kDropdowns[] = {{"setshape", "shapes"},
        {"seteffects", "effectspop"}, {"setbrushstyle", "brushstyle"}, {"setwidth", "linewidth"},
        {"setpenmode", "penmodes"}, {"selectcopy", "copymodes"}, {"ToolButton14", "clipspop"}};
    for (const auto& [name, popup] : kDropdowns)
        if (app::sameIgnoringCase(name, button))
            return popup;
    return button;
}

const app::CommandRow* findCommand(std::string_view path)
{
    const auto& byPath = index().byPath;
    std::string key = normalizedPath(path);
    if (const auto it = byPath.find(key); it != byPath.end())
        return it->second;
    const auto cut = key.find('>');
    if (cut == std::string::npos)
        return nullptr;
    key = app::lowerAscii(popupOf(key.substr(0, cut))) + key.substr(cut);
    const auto it = byPath.find(key);
    return it == byPath.end() ? nullptr : it->second;
}

} // namespace daubix::commands
