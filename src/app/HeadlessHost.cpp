#include "app/HeadlessHost.h"

namespace daubix::app {

void HeadlessHost::showMessage(const std::string& text)
{
    messages.push_back(text);
    if (onMessage)
        onMessage(text);
}

std::optional<std::string> HeadlessHost::askText(const std::string&, const std::string&, const std::string& initial)
{
    if (answers.empty())
        return initial;
    std::string answer = std::move(answers.front());
    answers.pop_front();
    return answer;
}

std::optional<gfx::Color> HeadlessHost::chooseColor(gfx::Color initial)
{
    if (colors.empty())
        return initial;
    const gfx::Color chosen = colors.front();
    colors.pop_front();
    return chosen;
}

std::optional<gfx::Font> HeadlessHost::chooseFont(const gfx::Font& initial)
{
    if (fonts.empty())
        return initial;
    gfx::Font chosen = std::move(fonts.front());
    fonts.pop_front();
    return chosen;
}

void HeadlessHost::showFailure(const std::string& text)
{
    failed = true;
    showMessage(text);
}

std::optional<std::string> HeadlessHost::askFileName(FileDialog, const std::string&, int)
{
    if (files.empty())
        return std::nullopt;
    std::string name = std::move(files.front());
    files.pop_front();
    return name;
}

void HeadlessHost::setStatus(int panel, const std::string& text)
{
    if (panel >= 0 && panel < static_cast<int>(status.size()))
        status[static_cast<std::size_t>(panel)] = text;
}

void HeadlessHost::startTimer(int intervalMs)
{
    m_interval = intervalMs > 0 ? intervalMs : 0;
    m_nextTick = m_now + m_interval;
}

void HeadlessHost::stopTimer()
{
    m_interval = 0;
}

void HeadlessHost::advanceClock(std::int64_t ms, const std::function<void()>& tick)
{
    const std::int64_t end = m_now + std::max<std::int64_t>(ms, 0);
    while (m_interval > 0 && m_nextTick <= end) {
        m_now = m_nextTick;
        m_nextTick += m_interval;
        tick(); // may stop or restart the timer
    }
    m_now = end;
}

} // namespace daubix::app
