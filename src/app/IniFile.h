#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace daubix::app {

// A standard INI text: [Section] headers and Key=Value lines. Sections and keys keep their order and
// are matched without regard to case, as the classic profile functions match them.
class IniFile {
public:
    static IniFile parse(std::string_view text);
    std::string text() const;

    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    // Decimal, or hexadecimal after "0x" or "0X"; a missing or non-numeric value gives the default.
    int readInt(std::string_view section, std::string_view key, int defaultValue) const;
    std::string readString(std::string_view section, std::string_view key, std::string_view defaultValue) const;
    // Every line of the section as parse read it, trimmed, those without "=" too, for sections that are
    // lists rather than keys; blank and ";" comment lines are left out. Writes do not change them.
    std::vector<std::string> sectionLines(std::string_view section) const;

    void write(std::string_view section, std::string_view key, std::string_view value);
    void writeInt(std::string_view section, std::string_view key, int value);

private:
    struct Section {
        std::string name;
        std::vector<std::pair<std::string, std::string>> entries;
        std::vector<std::string> lines;
    };
    Section* find(std::string_view section);
    const Section* find(std::string_view section) const;
    std::vector<Section> m_sections;
};

} // namespace daubix::app
