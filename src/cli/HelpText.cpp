#include "cli/HelpText.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "cli/CommandTable.h"

namespace tarnwick {

namespace {

// A name longer than this has a line to itself, its text beginning on the next.
constexpr std::size_t kWidestName = 20;
constexpr std::string_view kUsage = "Usage: ";
constexpr std::string_view kOptionsHeading = "Options:";

// The words of a text. A bracketed group of a usage ("[--dir DIR]") is one word, and a line
// end is a word of its own that breaks the line.
std::vector<std::string_view> Words(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t start = 0;
    int depth = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        const char c = i < text.size() ? text[i] : ' ';
        depth += c == '[' ? 1 : c == ']' ? -1 : 0;
        if ((c == ' ' && depth <= 0) || c == '\n') {
            if (i > start) {
                words.push_back(text.substr(start, i - start));
            }
            if (c == '\n') {
                words.push_back(text.substr(i, 1));
            }
            start = i + 1;
        }
    }
    return words;
}

// Appends a text from the given column of the line, continuing each further line at `indent`.
void AppendWrapped(std::string& out, std::string_view text, std::size_t column,
                   std::size_t indent) {
    bool lineHasWords = false;
    for (std::string_view word : Words(text)) {
        const bool breaks = word == "\n";
        if (breaks || (lineHasWords && column + 1 + word.size() > kHelpWidth)) {
            out.append("\n").append(indent, ' ');
            column = indent;
            lineHasWords = false;
            if (breaks) {
                continue;
            }
        }
        if (lineHasWords) {
            out += ' ';
            ++column;
        }
        out += word;
        column += word.size();
        lineHasWords = true;
    }
    out += '\n';
}

struct ListingRow {
    std::string names;
    std::string_view text;
};

// Where the texts of the rows begin: after the widest of their names that is not too wide.
std::size_t TextColumn(const std::vector<ListingRow>& rows) {
    std::size_t widest = 0;
    for (const ListingRow& row : rows) {
        if (row.names.size() <= kWidestName) {
            widest = std::max(widest, row.names.size());
        }
    }
    return 2 + widest + 2;
}

// A heading and its rows, their texts from the column on.
void AppendListing(std::string& out, std::string_view heading, const std::vector<ListingRow>& rows,
                   std::size_t column) {
    out.append(heading).append("\n");
    for (const ListingRow& row : rows) {
        out.append(2, ' ').append(row.names);
        if (2 + row.names.size() + 2 > column) {
            out.append("\n").append(column, ' ');
        } else {
            out.append(column - 2 - row.names.size(), ' ');
        }
        AppendWrapped(out, row.text, column, column);
    }
}

void AppendListing(std::string& out, std::string_view heading,
                   const std::vector<ListingRow>& rows) {
    AppendListing(out, heading, rows, TextColumn(rows));
}

// "--user NAME, --password TEXT": every name of the entry's options, with their values.
std::string EntryNames(const OptionEntry& entry) {
    std::string names;
    for (const CliOption* option : entry.options) {
        for (std::string_view name : option->names) {
            names.append(names.empty() ? "" : ", ").append(name);
        }
        if (!option->argument.empty()) {
            names.append(" ").append(option->argument);
        }
    }
    return names;
}

// The usage lines: the first after "Usage: ", the others under it.
std::string UsageLines(const std::vector<std::string_view>& forms) {
    const std::string program = std::string(Commands().program) + " ";
    const std::size_t column = kUsage.size() + program.size();
    std::string out;
    for (std::string_view form : forms) {
        out.append(out.empty() ? kUsage : std::string(kUsage.size(), ' ')).append(program);
        AppendWrapped(out, form, column, column);
    }
    return out;
}

}  // namespace

std::string GeneralHelp() {
    const CommandTable& table = Commands();
    std::string out = UsageLines({table.synopsis});
    out += '\n';
    AppendWrapped(out, table.help, 0, 0);

    std::vector<ListingRow> verbs;
    for (const CliVerb& verb : table.verbs) {
        for (const VerbForm& form : verb.forms) {
            verbs.push_back({std::string(form.usage), form.summary});
        }
    }
    out += '\n';
    AppendListing(out, "Verbs:", verbs);

    std::vector<ListingRow> options;
    for (const OptionEntry& entry : table.GeneralEntries()) {
        options.push_back({EntryNames(entry), entry.First().help});
    }
    out += '\n';
    AppendListing(out, kOptionsHeading, options);

    std::vector<ListingRow> codes;
    for (const ExitCodeRow& code : table.exitCodes) {
        codes.push_back({std::string(code.code), code.meaning});
    }
    out += '\n';
    AppendListing(out, "Exit codes:", codes);
    return out;
}

std::string VerbHelp(Verb verb) {
    const CommandTable& table = Commands();
    const CliVerb& row = table.VerbOf(verb);
    std::vector<std::string_view> forms;
    for (const VerbForm& form : row.forms) {
        forms.push_back(form.usage);
    }
    std::string out = UsageLines(forms);
    out += '\n';
    AppendWrapped(out, row.help, 0, 0);

    // The lists to choose from, then a block of options for each heading, all in one column.
    std::vector<std::pair<std::string_view, std::vector<ListingRow>>> blocks;
    if (verb == Verb::List) {
        blocks.push_back({"Lists:", {}});
        for (const ListChoice& list : table.lists) {
            blocks.back().second.push_back({std::string(list.name), list.help});
        }
    }
    for (const OptionEntry& entry : table.VerbEntries(verb)) {
        const std::string_view heading =
            entry.First().heading.empty() ? kOptionsHeading : entry.First().heading;
        if (blocks.empty() || blocks.back().first != heading) {
            blocks.push_back({heading, {}});
        }
        blocks.back().second.push_back({EntryNames(entry), entry.First().help});
    }
    std::vector<ListingRow> everyRow;
    for (const auto& [heading, rows] : blocks) {
        everyRow.insert(everyRow.end(), rows.begin(), rows.end());
    }
    const std::size_t column = TextColumn(everyRow);
    for (const auto& [heading, rows] : blocks) {
        out += '\n';
        AppendListing(out, heading, rows, column);
    }

    std::string shared;
    for (const OptionEntry& entry : table.GeneralEntries()) {
        if (entry.First().TakenAfter(verb)) {
            shared.append(shared.empty() ? "" : ", ").append(EntryNames(entry));
        }
    }
    out += '\n';
    AppendWrapped(
        out, "Options of every verb, as " + std::string(table.program) + " --help tells: " + shared,
        0, 0);
    return out;
}

}  // namespace tarnwick
