#include "app/Command.h"

#include "app/Document.h"
#include "app/Host.h"

#include <string>

namespace daubix::app {

std::string outOfMemory(int width, int height)
{
    return "Not enough memory for a " + std::to_string(width) + " \u00d7 " + std::to_string(height) + " image.";
}

namespace {


// Runs the handler; on running out of memory says so and reports false.
bool runGuarded(CommandContext& ctx, const CommandRow& row)
{
    try {
        row.run(ctx, row);
        return true;
    } catch (const gfx::OutOfPixelMemory& e) {
        ctx.host.showFailure(outOfMemory(e.width, e.height));
    } catch (const std::bad_alloc&) {
        ctx.host.showFailure(outOfMemory(ctx.doc.image.width(), ctx.doc.image.height()));
    }
    return false;
}

} // namespace

void runCommand(CommandContext& ctx, const CommandRow& row)
{
    if (!row.run || (row.available && !row.available(ctx.host)))
        return;
    ctx.clean = false;
    Document& doc = ctx.doc;
    if (!row.changesImage) {
        runGuarded(ctx, row);
        return;
    }
    UndoRing::Slot displaced;
    try {
        displaced = doc.undo.pushReturningOld(doc.image);
    } catch (const std::bad_alloc&) {
        ctx.host.showFailure(outOfMemory(doc.image.width(), doc.image.height()));
        return; // the ring is as it was, and the command never ran
    }
    if (!runGuarded(ctx, row)) {
        // Whatever the command had done is taken back: the image is the one it started from.
        doc.image = doc.undo.takeNewest();
        doc.undo.unpush(std::move(displaced));
        return;
    }
    if (doc.image == doc.undo.newest()) {
        doc.undo.unpush(std::move(displaced));
    } else {
        doc.modified = true;
        doc.undo.keepWithinBudget(); // only now: a command that changes nothing must cost no stored step
    }
    if (ctx.clean)
        doc.modified = false;
}

} // namespace daubix::app
