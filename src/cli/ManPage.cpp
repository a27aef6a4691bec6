#include "cli/ManPage.h"

#include <cctype>
#include <string_view>
#include <vector>

#include "cli/CommandTable.h"

namespace tarnwick {

namespace {

bool StartsWord(std::string_view text, std::size_t i) {
    return i == 0 || std::string_view(" ([|\",").find(text[i - 1]) != std::string_view::npos;
}

bool IsUpper(char c) {
    return std::isupper(static_cast<unsigned char>(c)) != 0;
}

bool IsAlnum(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0;
}

// The end of an option's name that begins at `start`: its dashes, then letters, digits and
// dashes.
std::size_t OptionEnd(std::string_view text, std::size_t start) {
    std::size_t end = start;
    while (end < text.size() && text[end] == '-') {
        ++end;
    }
    while (end < text.size() && (IsAlnum(text[end]) || text[end] == '-')) {
        ++end;
    }
    return end;
}

// The end of a value's name in a usage ("URL", "ALGO"), or `start` when none begins there.
std::size_t ValueNameEnd(std::string_view text, std::size_t start) {
    if ((start > 0 && IsAlnum(text[start - 1])) || !IsUpper(text[start])) {
        return start;
    }
    std::size_t end = start;
    while (end < text.size() &&
           (IsUpper(text[end]) || std::isdigit(static_cast<unsigned char>(text[end])) != 0)) {
        ++end;
    }
    const bool partOfWord =
        end < text.size() && std::islower(static_cast<unsigned char>(text[end])) != 0;
    return partOfWord ? start : end;
}

// A character of running text. A dash is a minus sign where it starts a word or stands in a
// name set in bold, and a hyphen elsewhere; a line end is a space, as roff fills lines itself.
std::string RoffCharacter(char c, bool minus) {
    if (c == '\\') {
        return "\\e";
    }
    if (c == '-' && minus) {
        return "\\-";
    }
    return std::string(1, c == '\n' ? ' ' : c);
}

// A text of the table as roff: *italics* and **bold**, option names in bold with their dashes
// as minus signs, so that they can be copied; in a usage, values' names in italics.
std::string Roff(std::string_view text, bool usage = false) {
    std::string out;
    bool bold = false;
    bool italic = false;
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (text.substr(i).starts_with("**")) {
            out += bold ? "\\fR" : "\\fB";
            bold = !bold;
            i += 2;
        } else if (c == '*') {
            out += italic ? "\\fR" : "\\fI";
            italic = !italic;
            ++i;
        } else if (c == '-' && StartsWord(text, i) && OptionEnd(text, i) - i >= 2) {
            const std::size_t end = OptionEnd(text, i);
            out += "\\fB";
            for (; i < end; ++i) {
                out += RoffCharacter(text[i], true);
            }
            out += "\\fR";
        } else if (const std::size_t end = usage ? ValueNameEnd(text, i) : i; end > i) {
            out.append("\\fI").append(text.substr(i, end - i)).append("\\fR");
            i = end;
        } else {
            out += RoffCharacter(c, c == '-' && (bold || StartsWord(text, i)));
            ++i;
        }
    }
    // A line that begins with a dot or an apostrophe would be read as a request.
    if (!out.empty() && (out.front() == '.' || out.front() == '\'')) {
        out.insert(0, "\\&");
    }
    return out;
}

// A line set as it is: only escaped.
std::string RoffLiteral(std::string_view text) {
    std::string out = text.starts_with('.') || text.starts_with('\'') ? "\\&" : "";
    for (const char c : text) {
        out += RoffCharacter(c, true);
    }
    return out;
}

// A verb's usage: its name in bold, then the rest as a usage.
std::string RoffVerbUsage(std::string_view form) {
    const std::size_t space = std::min(form.find(' '), form.size());
    return "\\fB" + std::string(form.substr(0, space)) + "\\fR" + Roff(form.substr(space), true);
}

std::string RoffEntryNames(const OptionEntry& entry) {
    std::string out;
    for (const CliOption* option : entry.options) {
        for (std::string_view name : option->names) {
            out.append(out.empty() ? "" : ", ").append(Roff(name));
        }
        if (!option->argument.empty()) {
            out.append(" ").append(Roff(option->argument, true));
        }
    }
    return out;
}

void AppendTerm(std::string& out, const std::string& term, std::string_view text) {
    out.append(".TP\n").append(term).append("\n").append(Roff(text)).append("\n");
}

void AppendVerb(std::string& out, const CommandTable& table, const CliVerb& verb) {
    bool first = true;
    for (const VerbForm& form : verb.forms) {
        out.append(first ? ".TP\n" : ".TQ\n").append(RoffVerbUsage(form.usage)).append("\n");
        first = false;
    }
    out.append(Roff(verb.manual)).append("\n.RS\n");
    if (verb.verb == Verb::List) {
        out += ".PP\nLists:\n";
        for (const ListChoice& list : table.lists) {
            AppendTerm(out, "\\fB" + std::string(list.name) + "\\fR", list.help);
        }
    }
    std::string_view heading = "-";  // none yet: the first entry starts a block
    for (const OptionEntry& entry : table.VerbEntries(verb.verb)) {
        if (entry.First().heading != heading) {
            heading = entry.First().heading;
            out.append(".PP\n").append(heading.empty() ? "Options:" : heading).append("\n");
        }
        AppendTerm(out, RoffEntryNames(entry), entry.First().manual);
    }
    out += ".RE\n";
}

void AppendSection(std::string& out, const ManualSection& section) {
    out.append(".SH ").append(section.title).append("\n");
    bool first = true;
    for (std::string_view paragraph : section.paragraphs) {
        out.append(first ? "" : ".PP\n").append(Roff(paragraph)).append("\n");
        first = false;
    }
    for (const ManualTerm& term : section.terms) {
        AppendTerm(out, Roff(term.term), term.text);
    }
    if (!section.lines.empty()) {
        out += ".nf\n";
        for (std::string_view line : section.lines) {
            out.append(RoffLiteral(line)).append("\n");
        }
        out += ".fi\n";
    }
}

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return out;
}

}  // namespace

std::string ManPage() {
    const CommandTable& table = Commands();
    const std::string program = RoffLiteral(table.program);
    std::string out;
    out.append(".TH ").append(Upper(program)).append(" 1 \"").append(table.manualDate);
    out.append("\" \"Tarnwick " TARNWICK_VERSION "\" \"User Commands\"\n");
    // Names of files and options read better unbroken.
    out.append(".nh\n");
    out.append(".SH NAME\n").append(program).append(" \\- ").append(Roff(table.summary));
    out.append("\n.SH SYNOPSIS\n\\fB").append(program).append("\\fR ");
    out.append(Roff(table.synopsis, true)).append("\n");
    AppendSection(out, {.title = "DESCRIPTION", .paragraphs = table.description});
    out += ".SH VERBS\n";
    for (const CliVerb& verb : table.verbs) {
        AppendVerb(out, table, verb);
    }
    out += ".SH OPTIONS\n";
    for (const OptionEntry& entry : table.GeneralEntries()) {
        AppendTerm(out, RoffEntryNames(entry), entry.First().manual);
    }
    for (const ManualSection& section : table.closingSections) {
        AppendSection(out, section);
    }
    return out;
}

}  // namespace tarnwick
