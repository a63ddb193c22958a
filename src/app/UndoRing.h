#pragma once

#include "gfx/Bitmap.h"

#include <array>
#include <cstdint>

namespace daubix::app {

// Ten full copies of the working image in a ring. The tool engine pushes on every press and every command
// that changes the image pushes once before it does. Undo stores nothing: no redo, and after ten steps
// Undo arrives at the newest stored state again.
//
// Memory is spent only on pictures actually pushed: a slot never pushed, or freed to stay within the
// budget, holds no pixels and reads as white of its size, and a new size for the slots is only noted
// until Undo reaches them.
class UndoRing {
public:
    static constexpr int kSlots = 10;
    static constexpr std::int64_t kBudgetBytes = std::int64_t{2} << 30; // all stored pictures together

    // One stored image, and the size it is to take when it is next read.
    struct Slot {
        gfx::Bitmap image; // empty when nothing is stored
        int width = 250;
        int height = 250;
        gfx::Bitmap read() const;
    };

    explicit UndoRing(std::int64_t budgetBytes = kBudgetBytes); // ten white 250 x 250 slots, index 1

    // Copies the image into slot (index - 1) and advances the index, 10 wrapping to 1. Copying into a
    // slot of the same size reuses its pixel buffer. Beyond the budget the oldest pictures are freed;
    // the newest is always kept.
    void push(const gfx::Bitmap& image);
    // As push, handing back what the slot held, so that unpush can restore the ring as it was. The
    // budget is left to keepWithinBudget, once the caller knows the step stays. Should the copy fail
    // for want of memory, the ring is left as it was.
    Slot pushReturningOld(const gfx::Bitmap& image);
    // Frees the oldest pictures (never the newest) until the stored ones fit the budget.
    void keepWithinBudget();
    // Takes back the newest push: the index steps back and the slot gets its old content again.
    void unpush(Slot old);
    // The image of the newest push.
    const gfx::Bitmap& newest() const;
    // Moves the newest push's picture out, leaving its slot empty (for a caller that unpushes next).
    gfx::Bitmap takeNewest();
    // Steps the index back (1 wrapping to 10) and makes the image slot (index - 1) at its size: the
    // top-left pixels stay and the rest is white.
    void undo(gfx::Bitmap& image);
    // Gives the slots a new size, as New, Open and the resize commands do; nothing is allocated. The
    // newest slot is left alone: it holds the step the resizing command pushed, so that the resize itself
    // can be undone.
    void resizeSlots(int width, int height);

    int index() const { return m_index; } // 1 .. 10
    gfx::Bitmap slot(int i) const { return m_slots[static_cast<std::size_t>(i)].read(); }
    // The bytes of pixels the slots hold.
    std::int64_t storedBytes() const;

private:
    Slot& newestSlot();
    void store(const gfx::Bitmap& image);

    std::array<Slot, kSlots> m_slots;
    int m_index = 1;
    std::int64_t m_budget;
};

} // namespace daubix::app
