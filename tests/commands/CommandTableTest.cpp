#include "commands/CommandTable.h"

#include "app/Command.h"
#include "app/Document.h"
#include "app/ImageCommands.h"
#include "commands/MenuBar.h"
#include "support/FakeHost.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>
#include <set>

using namespace daubix;

namespace {

bool onMenuBar(const app::CommandRow& row)
{
    const std::string_view top = row.path.substr(0, row.path.find(" > "));
    for (const std::string_view menu : {"File", "Edit", "Options", "Image", "Range", "Script", "Gadgets", "Help"})
        if (top == menu)
            return true;
    return false;
}

} // namespace

TEST(CommandTable, HoldsTheWholeMenuBarInItsOrderAndNoPathTwice)
{
    const auto table = commands::commandTable();
    const auto layout = commands::menuBarLayout();
    ASSERT_EQ(layout.size(), 249u);
    std::set<std::string> paths;
    for (const app::CommandRow& row : table)
        EXPECT_TRUE(paths.insert(commands::normalizedPath(row.path)).second) << row.path;
    // The menu bar's rows come first, in the layout's order; no area row names a menu item the layout
    // lacks (it would land after them).
    for (std::size_t i = 0; i < table.size(); ++i)
        EXPECT_EQ(onMenuBar(table[i]), i < layout.size()) << table[i].path;
    for (std::size_t i = 0; i < layout.size(); ++i)
        EXPECT_EQ(table[i].path, layout[i].path);
    // Check and radio items say what their mark shows once they run.
    for (const app::CommandRow& row : table)
        EXPECT_TRUE(!row.run || row.checked || (row.kind != app::ItemKind::Check && row.kind != app::ItemKind::Radio))
            << row.path;
}

TEST(CommandTable, FindsPathsAsUsersWriteThem)
{
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"Range > Select All", "Range > Select All"},
        {"range>select all", "Range > Select All"},
        {"  RANGE  >  Select All ", "Range > Select All"},
        {"Options > Blocks > Blocks", "Options > Blocks > Blocks..."},
        {"Image > Resize > Magnify > x2", "Image > Resize > &Magnify > x2"},
        {"Help > Contents", "Help > &Contents"},
        {"goUndo", "goUndo"},
        {"penmodes > Not Xor", "penmodes > Not Xor"},
        {"setwidth > 3 pixels", "linewidth > 3 pixels"},
        {"shapes > 2D Shapes > Rectangle", "shapes > 2D Shapes > Rectangle"},
        {"setshape > 2d shapes > rectangle", "shapes > 2D Shapes > Rectangle"},
        {"ToolButton14 > Mask Clip", "clipspop > Mask Clip"},
    };
    for (const auto& [written, path] : cases) {
        const app::CommandRow* row = commands::findCommand(written);
        ASSERT_TRUE(row) << written;
        EXPECT_EQ(row->path, path) << written;
    }
    for (const std::string_view missing : {"", "Range", "Range > Select", "nothing > Select All", "penmodes >"})
        EXPECT_FALSE(commands::findCommand(missing)) << missing;
}

// Every row with a handler, on a one-pixel image, a large 24-bit one and a 4-bit one, with a picture on
// the clipboard and the input boxes cancelled: nothing breaks; a row that does not say it changes the
// image leaves it alone, and one that does and changed it gave it exactly one undo step.
class EveryCommand : public ::testing::TestWithParam<const app::CommandRow*> { };

TEST_P(EveryCommand, RunsOnAnyImageAndKeepsTheUndoPromise)
{
    const app::CommandRow& row = *GetParam();
    for (const gfx::Bitmap& start :
        {test::noise(1, 1, 1), test::noise(256, 256, 2), test::noise(37, 23, 3).converted(gfx::PixelFormat::Bits4)}) {
        app::Document doc;
        test::FakeHost host;
        doc.image = start;
        doc.range = {3, 2, 20, 11};
        host.clipboard = test::noise(9, 7, 4);
        app::pushImage(doc);
        const int index = doc.undo.index();
        app::CommandContext ctx{doc, host};
        app::runCommand(ctx, row);
        ASSERT_TRUE(gfx::Bitmap::isSaneSize(doc.image.width(), doc.image.height()));
        if (row.path == "goUndo")
            continue;
        if (!row.changesImage) {
            EXPECT_EQ(doc.image, start) << "changed the image without an undo step";
            EXPECT_EQ(doc.undo.index(), index);
        } else if (doc.image == start) {
            EXPECT_EQ(doc.undo.index(), index);
            EXPECT_FALSE(doc.modified);
        } else {
            EXPECT_EQ(doc.undo.index(), index % app::UndoRing::kSlots + 1);
            EXPECT_TRUE(doc.modified);
            app::undoImage(doc, host);
            EXPECT_EQ(doc.image, start);
        }
    }
}

std::vector<const app::CommandRow*> runnableRows()
{
    std::vector<const app::CommandRow*> rows;
    for (const app::CommandRow& row : commands::commandTable())
        if (row.run && row.kind != app::ItemKind::Window)
            rows.push_back(&row);
    return rows;
}

INSTANTIATE_TEST_SUITE_P(Table, EveryCommand, ::testing::ValuesIn(runnableRows()), [](const auto& info) {
    std::string name;
    for (const char c : commands::normalizedPath(info.param->path))
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name + "_" + std::to_string(info.index);
});
