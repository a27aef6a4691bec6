#pragma once

#include <functional>
#include <string_view>

namespace tarnwick {

// One meaningful line of an INI-style file: "[section]" or "key=value", both trimmed of blanks
// and tabs (and of the CR of a CR LF line end).
struct IniLine {
    bool isSection = false;
    int number = 0;          // counted from 1
    std::string_view name;   // the section's name, or the key
    std::string_view value;  // empty for a section
};

// Calls visit for each section and key line in order. Blank lines, comment lines (starting
// with '#' or ';') and lines that are neither are passed over, so a file edited by hand or
// written by a later version still reads.
void ForEachIniLine(std::string_view text, const std::function<void(const IniLine&)>& visit);

}  // namespace tarnwick
