#include "app/Command.h"

#include "app/Document.h"

namespace daubix::app {

void runCommand(CommandContext& ctx, const CommandRow& row)
{
    if (!row.run)
        return;
    if (!row.changesImage) {
        row.run(ctx, row);
        return;
    }
    Document& doc = ctx.doc;
    UndoRing::Slot displaced = doc.undo.pushReturningOld(doc.image);
    row.run(ctx, row);
    if (doc.image == doc.undo.newest())
        doc.undo.unpush(std::move(displaced));
    else
        doc.modified = true;
}

} // namespace daubix::app
