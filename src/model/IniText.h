#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

// One "key=value" line of the INI-style files beside the lists, with the "[section]" above
// it (empty before the first section). Blanks around keys and values are dropped.
struct IniValue {
    std::string_view section;
    std::string_view key;
    std::string_view value;
    int line = 0;  // 1 for the first line of the text
};

// Calls visit for each value line of the text. Blank lines and lines starting with '#' or ';'
// are comments; a line that is neither a section nor a value is passed over, so a file edited
// by hand or written by a later version still reads.
void ForEachIniValue(std::string_view text, const std::function<void(const IniValue&)>& visit);

// The whole text of a file; nothing when it is missing or unreadable.
std::optional<std::string> ReadTextFile(const std::filesystem::path& path);

}  // namespace tarnwick
