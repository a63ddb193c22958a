#pragma once

// The script library, "DaubixLib.tip" in the program folder: one entry per line, the tag, "=", then the
// script with each line break written "~~". Entries are kept as the file's bytes (an edit never
// re-encodes the others), sorted by the whole entry ignoring ASCII case; tags need not be unique.

#include "gfx/Result.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace daubix::script {

inline constexpr const char* kScriptLibraryFile = "DaubixLib.tip";
inline constexpr std::uint64_t kMaxScriptFileBytes = std::uint64_t{16} << 20;

class ScriptLibrary {
public:
    // The text before the first "="; the whole entry when it has none.
    static std::string_view tag(std::string_view entry);
    // The text after the first "=" with "~~" turned into CR LF; empty when the entry has no "=".
    static std::string script(std::string_view entry);
    // tag=selection, each line break of the selection (CR LF, CR, LF, U+2028, U+2029) written "~~".
    static std::string entryFor(std::string_view tag, std::string_view selection);
    // A tag holding "=" or a line break would move or split its entry.
    static bool acceptableTag(std::string_view tag);

    // The window is made: the file's entries become the list, none selected, and later changes are
    // written there. A file that is there but cannot be read gives its message and is never written.
    gfx::Status load(const std::string& path);
    // Writes the whole list, one entry and CR LF per line, through a temporary file. Without a file
    // (never read, or unreadable) nothing is written.
    gfx::Status save() const;
    std::string fileText() const;

    std::span<const std::string> entries() const { return m_entries; }
    int selected() const { return m_selected; }
    bool hasSelection() const { return m_selected >= 0 && static_cast<std::size_t>(m_selected) < m_entries.size(); }
    void select(int index) { m_selected = index >= 0 && static_cast<std::size_t>(index) < m_entries.size() ? index : -1; }
    // The first entry with exactly that tag.
    std::optional<int> find(std::string_view tag) const;

    // Puts the entry after those that sort before or equal to it; the selection stays on its entry.
    int insert(std::string entry);
    void removeSelected();
    // The selected entry goes and the new one takes its sorted place, selected.
    void replaceSelected(std::string entry);

private:
    std::vector<std::string> m_entries;
    int m_selected = -1;
    std::string m_path;
};

} // namespace daubix::script
