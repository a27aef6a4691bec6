#pragma once

#include <functional>
#include <string_view>

namespace tarnwick {

// One meaningful line of an INI-style file: "[section]" or "key=value".
struct IniLine {
    bool isSection = false;
    bool isBare = false;     // a line without the separator, visited only when read verbatim
    int number = 0;          // counted from 1
    std::string_view name;   // the section's name, or the key: what comes before the separator
    std::string_view value;  // what follows the separator; empty for a section or a bare line
};

// How the lines of one kind of file are told apart.
struct IniSyntax {
    char separator = '=';
    // Off, for the files a person edits (settings.ini, ...): lines, keys and values are trimmed
    // of blanks and tabs, "[name]" starts a section, ';' starts a comment as '#' does, and a
    // line without the separator is passed over, so a file edited by hand or written by a later
    // version still reads. On, for the files the program writes for itself (a partial
    // download's metadata, a mirror's state): each line is taken as written, less the CR of a
    // CR LF end, and one without the separator is visited as bare, so damage can be refused.
    bool verbatim = false;
};

// Calls visit for each section and key line in order; blank lines and comment lines (starting
// with '#') are passed over. Lines end in LF or CR LF, the last one may have no end, and a
// value keeps any separator after the first.
void ForEachIniLine(std::string_view text, const std::function<void(const IniLine&)>& visit,
                    const IniSyntax& syntax = {});

}  // namespace tarnwick
