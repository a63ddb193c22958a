#include "support/FakeHost.h"

namespace daubix::test {

std::optional<std::string> FakeHost::askText(
    const std::string& caption, const std::string& prompt, const std::string& initial)
{
    captions.push_back(caption);
    prompts.push_back(prompt);
    initials.push_back(initial);
    if (answers.empty())
        return std::nullopt;
    std::optional<std::string> answer = answers.front();
    answers.pop_front();
    return answer;
}

} // namespace daubix::test
