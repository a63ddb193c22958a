#include "app/UndoRing.h"

#include <algorithm>

namespace daubix::app {

namespace {

std::int64_t bytesOf(const gfx::Bitmap& b)
{
    return static_cast<std::int64_t>(b.stride()) * b.height();
}

} // namespace

gfx::Bitmap UndoRing::Slot::read() const
{
    if (image.isEmpty())
        return gfx::Bitmap(width, height);
    gfx::Bitmap copy = image;
    copy.setSize(width, height);
    return copy;
}

UndoRing::UndoRing(std::int64_t budgetBytes)
    : m_budget(budgetBytes)
{
}

void UndoRing::store(const gfx::Bitmap& image)
{
    Slot& slot = m_slots[static_cast<std::size_t>(m_index - 1)];
    if (bytesOf(slot.image) != bytesOf(image))
        slot.image = gfx::Bitmap(); // room for the new picture before it is copied, not after
    slot.image = image;
    slot.width = image.width();
    slot.height = image.height();
    if (++m_index > kSlots)
        m_index = 1;
}

void UndoRing::push(const gfx::Bitmap& image)
{
    store(image);
    keepWithinBudget();
}

UndoRing::Slot UndoRing::pushReturningOld(const gfx::Bitmap& image)
{
    Slot& slot = m_slots[static_cast<std::size_t>(m_index - 1)];
    Slot old = std::move(slot);
    try {
        store(image);
    } catch (...) {
        slot = std::move(old);
        throw;
    }
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

gfx::Bitmap UndoRing::takeNewest()
{
    return std::move(newestSlot().image);
}

void UndoRing::undo(gfx::Bitmap& image)
{
    if (--m_index < 1)
        m_index = kSlots;
    const Slot& slot = m_slots[static_cast<std::size_t>(m_index - 1)];
    if (!slot.image.isEmpty() && slot.image.width() == slot.width && slot.image.height() == slot.height)
        image = slot.image;
    else
        image = slot.read();
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

std::int64_t UndoRing::storedBytes() const
{
    std::int64_t total = 0;
    for (const Slot& slot : m_slots)
        total += bytesOf(slot.image);
    return total;
}

// The slot after the newest is the oldest; pictures go from there on, the newest last of all never.
void UndoRing::keepWithinBudget()
{
    std::int64_t total = storedBytes();
    for (int step = 0; step < kSlots - 1 && total > m_budget; ++step) {
        Slot& slot = m_slots[static_cast<std::size_t>((m_index - 1 + step) % kSlots)];
        total -= bytesOf(slot.image);
        slot.image = gfx::Bitmap();
    }
}

} // namespace daubix::app
