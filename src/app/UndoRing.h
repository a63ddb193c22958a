#pragma once

#include "gfx/Bitmap.h"

#include <array>

namespace daubix::app {

// Ten full copies of the working image in a ring. The tool engine pushes on every press and every command
// that changes the image pushes once before it does. Undo stores nothing: no redo, and after ten steps
// Undo arrives at the newest stored state again.
class UndoRing {
public:
    static constexpr int kSlots = 10;

    // One stored image, and the size it is to take when it is next read (a resize waits until then, so
    // that giving ten slots a very large size costs no memory).
    struct Slot {
        gfx::Bitmap image;
        int width = -1; // -1: keeps its own size
        int height = -1;
        gfx::Bitmap read() const;
    };

    UndoRing(); // ten white 250 x 250 slots, index 1

    // Copies the image into slot (index - 1) and advances the index, 10 wrapping to 1. Copying into a
    // slot of the same size reuses its pixel buffer.
    void push(const gfx::Bitmap& image);
    // As push, handing back what the slot held, so that unpush can restore the ring as it was.
    Slot pushReturningOld(const gfx::Bitmap& image);
    // Takes back the newest push: the index steps back and the slot gets its old content again.
    void unpush(Slot old);
    // The image of the newest push.
    const gfx::Bitmap& newest() const;
    // Steps the index back (1 wrapping to 10) and makes the image a copy of slot (index - 1).
    void undo(gfx::Bitmap& image);
    // Gives the slots a new size, as New, Open and the resize commands do: the top-left pixels stay and
    // the rest is white, as in a resized image; their contents are not meaningful until the next push.
    // The newest slot is left alone: it holds the step the resizing command pushed, so that the resize
    // itself can be undone.
    void resizeSlots(int width, int height);

    int index() const { return m_index; } // 1 .. 10
    gfx::Bitmap slot(int i) const { return m_slots[static_cast<std::size_t>(i)].read(); }

private:
    Slot& newestSlot();

    std::array<Slot, kSlots> m_slots;
    int m_index = 1;
};

} // namespace daubix::app
