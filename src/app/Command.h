#pragma once

// A command of the menus, the toolbar or a popup, as one row of a table. The window builds its menus
// from the rows, and the command line and the tests run the same rows, so every command's behaviour
// lives in the core.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace daubix::app {

struct Document;
class Host;

// What a handler may reach: the image document and the user interface, nothing else.
struct CommandContext {
    Document& doc;
    Host& host;
    // Set by a command that leaves the image as a file holds it (New, Open): it is then not modified.
    bool clean = false;
};

// Plain items run; check and radio items show a mark that their row computes; window items open a
// window of the user interface and cannot run without one.
enum class ItemKind : std::uint8_t { Plain, Check, Radio, Window };

struct CommandRow;
using CommandHandler = void (*)(CommandContext&, const CommandRow&);
using CommandCheck = bool (*)(const Document&, const CommandRow&);

// One command. The path holds the captions the user sees, joined by " > " ("Range > Float > Full");
// a toolbar button is its component name alone ("goUndo"), and a popup item has its popup's name first
// ("penmodes > Xor").
struct CommandRow {
    std::string_view path;
    std::string_view shortcut = {};
    ItemKind kind = ItemKind::Plain;
    CommandHandler run = nullptr; // none: the command is not built yet and shows disabled
    CommandCheck checked = nullptr; // the mark of a check or radio item
    // The command may change the image's pixels or size: it is given one undo step, which is taken
    // back when the image came out unchanged.
    bool changesImage = false;
    int number = 0; // the row's own value: star points, a line width, an index into a list
    std::string_view text = {}; // the row's own text: a tool mode, or the window a window row opens
    std::string_view icon = {}; // the picture a dropdown button takes when this item is chosen
    bool separatorBefore = false; // a line above the item in its menu
    // Set for a command that can run only while the host offers what it needs; unset, always.
    bool (*available)(const Host&) = nullptr;
};

// The last caption of the row's path: the item as its menu shows it.
constexpr std::string_view caption(const CommandRow& row)
{
    const auto cut = row.path.rfind(" > ");
    return cut == std::string_view::npos ? row.path : row.path.substr(cut + 3);
}

// Runs a row's handler. A row that may change the image pushes one undo step first; when the image is
// the same afterwards the step is taken back and the modified flag is left alone, so a command that
// changes nothing leaves no trace in the undo ring. Handlers that give the undo slots a new size (New,
// Open and the resizes) keep that step: the ring resizes all slots but the newest.
void runCommand(CommandContext& ctx, const CommandRow& row);
// What a command says when a width x height image does not fit in memory.
std::string outOfMemory(int width, int height);

} // namespace daubix::app
