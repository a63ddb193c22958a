#include "app/UndoRing.h"

#include <algorithm>

namespace daubix::app {

gfx::Bitmap UndoRing::Slot::read() const
{
    gfx::Bitmap copy = image;
    if (width >= 0)
        copy.setSize(width, height);
    return copy;
}

UndoRing::UndoRing()
{
    for (Slot& slot : m_slots)
        slot.image = gfx::Bitmap(250, 250);
}

void UndoRing::push(const gfx::Bitmap& image)
{
    Slot& slot = m_slots[static_cast<std::size_t>(m_index - 1)];
    slot.image = image;
    slot.width = slot.height = -1;
    if (++m_index > kSlots)
        m_index = 1;
}

UndoRing::Slot UndoRing::pushReturningOld(const gfx::Bitmap& image)
{
    Slot old = std::move(m_slots[static_cast<std::size_t>(m_index - 1)]);
    push(image);
    return old;
}

void UndoRing::unpush(Slot old)
{
    if (--m_index < 1)
        m_index = kSlots;
    m_slots[static_cast<std::size_t>(m_index - 1)] = std::move(old);
}

UndoRing::Slot& UndoRing::newestSlot()
{
    return m_slots[static_cast<std::size_t>((m_index + kSlots - 2) % kSlots)];
}

const gfx::Bitmap& UndoRing::newest() const
{
    return m_slots[static_cast<std::size_t>((m_index + kSlots - 2) % kSlots)].image;
}

void UndoRing::undo(gfx::Bitmap& image)
{
    if (--m_index < 1)
        m_index = kSlots;
    const Slot& slot = m_slots[static_cast<std::size_t>(m_index - 1)];
    if (slot.width >= 0)
        image = slot.read();
    else
        image = slot.image;
}

void UndoRing::resizeSlots(int width, int height)
{
    const Slot* keep = &newestSlot();
    for (Slot& slot : m_slots)
        if (&slot != keep) {
            slot.width = std::max(width, 0);
            slot.height = std::max(height, 0);
        }
}

} // namespace daubix::app
