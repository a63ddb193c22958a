#include "commands/ScriptCommands.h"

#include "app/Command.h"
#include "app/Document.h"
#include "commands/CommandTable.h"
#include "effects/EffectMenu.h"
#include "generators/Backdrop.h"
#include "io/PeerTools.h"
#include "support/FakeHost.h"

#include <gtest/gtest.h>

using namespace daubix;

namespace {

// The Script menu over a document and a program folder of its own.
struct Scripts {
    test::ScratchFolder dir;
    app::Document doc;
    test::FakeHost host;

    explicit Scripts(std::string_view library = {}, std::string_view presets = {})
    {
        if (!library.empty())
            test::writeText(dir.path("DaubixLib.tip"), library);
        if (!presets.empty())
            test::writeText(dir.path("DaubixQB.txt"), presets);
        doc.image = gfx::Bitmap(40, 30);
        EXPECT_TRUE(commands::readScriptLibrary(doc, dir.path("")).ok());
    }
    void run(std::string_view path)
    {
        const app::CommandRow* row = commands::findCommand(path);
        ASSERT_TRUE(row && row->run) << path;
        app::CommandContext ctx{doc, host};
        app::runCommand(ctx, *row);
    }
    script::ScriptLibrary& library() { return commands::scriptSession(doc).library; }
    std::string file() { return test::readText(dir.path("DaubixLib.tip")); }
};

TEST(ScriptMenu, RunShowsAnErrorAndPutsTheCaretAfterTheFailingWord)
{
    Scripts s;
    s.host.editor.setText("pos 1 1\r\ndown go 3\r\nright foo go 2");
    s.run("Script > Run");
    EXPECT_EQ(s.host.messages, std::vector<std::string>{"invalid integer in right"});
    EXPECT_EQ(s.host.editor.caret(), std::string("pos 1 1\r\ndown go 3\r\nright foo").size());

    s.host.messages.clear();
    s.host.editor.setText("");
    s.host.editor.select(0, 0);
    s.run("Script > Run");
    EXPECT_EQ(s.host.messages, std::vector<std::string>{"empty script"});
    EXPECT_EQ(s.host.editor.caret(), 0u);
}

TEST(ScriptMenu, ARunIsOneUndoStepAndTheTurtleCarriesOn)
{
    Scripts s;
    const gfx::Bitmap before = s.doc.image;
    const int undo = s.doc.undo.index();
    s.host.editor.setText("pos 5 5 down go 10");
    s.run("Script > Run");
    EXPECT_TRUE(s.host.messages.empty());
    EXPECT_NE(s.doc.image, before);
    EXPECT_EQ(s.doc.undo.index(), undo % app::UndoRing::kSlots + 1);
    EXPECT_TRUE(s.doc.modified);
    s.host.editor.setText("up");
    s.run("Script > Run");
    EXPECT_EQ(s.doc.undo.index(), undo % app::UndoRing::kSlots + 1); // nothing drawn, no step
    EXPECT_EQ(commands::scriptSession(s.doc).turtle.Position, (gfx::Point{15, 5}));
}

TEST(ScriptMenu, AddDeleteAndUpdateKeepTheLibraryFile)
{
    Scripts s("b=go 1\r\n");
    s.host.editor.setText("go 5\r\nright 3 ~~x");
    s.host.editor.select(0, 100);
    for (const std::optional<std::string>& answer : {std::optional<std::string>(""), std::optional<std::string>(),
             std::optional<std::string>("a=b"), std::optional<std::string>("a\nb")})
        s.host.answers = {answer}, s.run("Script > Add");
    EXPECT_EQ(s.file(), "b=go 1\r\n");
    EXPECT_EQ(s.host.messages.size(), 2u); // the two refused tags
    s.host.answers = {"spiral"};
    s.run("Script > Add");
    EXPECT_EQ(s.host.captions.back(), "Daubix Script");
    EXPECT_EQ(s.host.prompts.back(), "Enter Tag Name");
    EXPECT_EQ(s.file(), "b=go 1\r\nspiral=go 5~~right 3 ~~x\r\n");

    // Update: Cancel goes on with the entry's own tag; an empty answer stops.
    s.library().select(1);
    s.host.editor.select(0, 4);
    s.host.answers = {std::nullopt};
    s.run("Script > Update");
    EXPECT_EQ(s.host.initials.back(), "spiral");
    EXPECT_EQ(s.file(), "b=go 1\r\nspiral=go 5\r\n");
    s.host.answers = {""};
    s.run("Script > Update");
    EXPECT_EQ(s.file(), "b=go 1\r\nspiral=go 5\r\n");

    // Run Item runs the entry without touching the editor; an entry without "=" is an empty script.
    s.run("Script > Run Item");
    EXPECT_EQ(commands::scriptSession(s.doc).turtle.Position, (gfx::Point{5, 0}));
    s.run("Script > Delete");
    EXPECT_EQ(s.file(), "b=go 1\r\n");
    s.run("Script > Delete"); // nothing selected: nothing happens
    EXPECT_EQ(s.file(), "b=go 1\r\n");

    // The double-click puts the script at the caret, breaks and all.
    s.library().select(0);
    s.host.editor.setText("up ");
    s.host.editor.select(3, 3);
    commands::insertLibraryEntry(s.doc, s.host);
    EXPECT_EQ(s.host.editor.text(), "up go 1");
}

// The requests as the window answers them.
TEST(ScriptRequests, BackdropsFiltersAndTheImageSize)
{
    Scripts s({}, "bad=1,2\r\nsky=18,18,18,0,0,0,255\r\n");
    struct Case {
        const char* script;
        bool changes;
    };
    for (const Case c : {Case{"background \"SKY\"", true}, Case{"background \"bad\"", false},
             Case{"background \"none\"", false}, Case{"filter \"TRACE\"", false}, Case{"filter \"nothing\"", false}}) {
        SCOPED_TRACE(c.script);
        s.doc.image = gfx::Bitmap(40, 30);
        const gfx::Bitmap before = s.doc.image;
        const script::RunResult r = commands::runScript(s.doc, s.host, c.script);
        EXPECT_EQ(r.status, "ready");
        EXPECT_EQ(s.doc.image != before, c.changes);
    }
    s.doc.image = gfx::Bitmap(40, 30);
    commands::runScript(s.doc, s.host, "background \"sky\"");
    EXPECT_EQ(s.doc.image, generators::generateBackdrop({{18, 18, 18}, {0, 0, 0}, 255}, 40, 30));

    // "trace" and "invert" run the menu's commands on the image.
    app::Document menu;
    menu.image = gfx::Bitmap(40, 30);
    menu.image.setPixel(3, 3, gfx::clRed);
    s.doc.image = menu.image;
    effects::invertImage(menu);
    commands::runScript(s.doc, s.host, "filter \"invert\"");
    EXPECT_EQ(s.doc.image, menu.image);

    // The size is read at every request, whatever the image became since.
    s.doc.image = gfx::Bitmap(10, 10);
    EXPECT_EQ(commands::runScript(s.doc, s.host, "gobottom goright").status, "ready");
    EXPECT_EQ(commands::scriptSession(s.doc).turtle.Position, (gfx::Point{9, 9}));
    script::TzoTurtle turtle;
    commands::bindTurtle(turtle, s.doc.canvas, s.doc, s.host, commands::scriptSession(s.doc));
    gfx::Rect r;
    turtle.OnRequestImageSize(r);
    EXPECT_EQ(r, (gfx::Rect{0, 0, 9, 9}));
    s.doc.image = gfx::Bitmap(31, 7);
    turtle.OnRequestImageSize(r);
    EXPECT_EQ(r, (gfx::Rect{0, 0, 30, 6}));
}

} // namespace
