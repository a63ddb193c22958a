#include "app/UndoRing.h"

namespace daubix::app {

UndoRing::UndoRing()
{
    for (gfx::Bitmap& slot : m_slots)
        slot = gfx::Bitmap(250, 250);
}

void UndoRing::push(const gfx::Bitmap& image)
{
    m_slots[static_cast<std::size_t>(m_index - 1)] = image;
    if (++m_index > kSlots)
        m_index = 1;
}

gfx::Bitmap UndoRing::pushReturningOld(const gfx::Bitmap& image)
{
    gfx::Bitmap old = std::move(m_slots[static_cast<std::size_t>(m_index - 1)]);
    push(image);
    return old;
}

void UndoRing::unpush(gfx::Bitmap old)
{
    if (--m_index < 1)
        m_index = kSlots;
    m_slots[static_cast<std::size_t>(m_index - 1)] = std::move(old);
}

const gfx::Bitmap& UndoRing::newest() const
{
    return m_slots[static_cast<std::size_t>((m_index + kSlots - 2) % kSlots)];
}

void UndoRing::undo(gfx::Bitmap& image)
{
    if (--m_index < 1)
        m_index = kSlots;
    image = m_slots[static_cast<std::size_t>(m_index - 1)];
}

void UndoRing::resizeSlots(int width, int height)
{
    const gfx::Bitmap* keep = &newest();
    for (gfx::Bitmap& slot : m_slots)
        if (&slot != keep)
            slot.setSize(width, height);
}

} // namespace daubix::app
