#pragma once

#include <climits>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "cli/Verb.h"
#include "model/ListCategory.h"

namespace tarnwick {

// Every option tarnwick-cli takes; the parser acts on these, whatever they are spelled.
enum class OptionId {
    Dir,
    Quiet,
    Verbose,
    Wait,
    MaxConcurrent,
    LimitRate,
    Help,
    EndOfOptions,
    Checksum,
    Name,
    Depth,
    Requisites,
    NoRequisites,
    IgnoreRobots,
    ObeyRobots,
    NoAscend,
    Ascend,
    Delay,
    Connections,
    All,
    Types,
    OtherTypes,
    MaxDomainCount,
    ExitDomain,
    User,
    Password,
    Engine,
    Schedule,
    Json,
};

// What an option takes after its name, as "--name VALUE" or "--name=VALUE".
enum class ArgumentKind {
    None,      // a switch
    Text,      // any text, an empty one too
    Name,      // a text that is not empty
    Number,    // a whole number from `least` to `most`
    Rate,      // bytes a second in wget's syntax: 500k, 2M
    Checksum,  // sha256=HEX or md5=HEX
};

using VerbSet = std::uint8_t;
constexpr VerbSet VerbBit(Verb verb) {
    return static_cast<VerbSet>(1u << static_cast<int>(verb));
}
constexpr VerbSet kEveryVerb = VerbBit(Verb::Add) | VerbBit(Verb::Get) | VerbBit(Verb::Mirror) |
                               VerbBit(Verb::Search) | VerbBit(Verb::Run) | VerbBit(Verb::List);

// One option: how the parser knows it and what the help and the man page say of it. Texts of
// the man page mark *words* for italics; options named in them are set in bold.
struct CliOption {
    OptionId id{};
    std::vector<std::string_view> names{};  // "-q", "--quiet"
    ArgumentKind kind = ArgumentKind::None;
    std::string_view argument{};  // the value as the help names it: "DIR", "N"
    int least = 0;                // a number's bounds
    int most = INT_MAX;
    // What the user is told after the option's name when its value is missing or wrong; a
    // number's is made from its bounds.
    std::string_view complaint{};
    bool beforeVerb = false;  // taken before the verb
    VerbSet afterVerbs = 0;   // taken after these verbs
    // Its block in its verb's help (none: "Options:"); options of every verb are listed in
    // the general help instead.
    std::string_view heading{};
    bool withPrevious = false;  // explained in one entry with the option before it
    std::string_view help{};    // a phrase for the help's entry
    std::string_view manual{};  // sentences for the man page's entry

    // Whether the argument names this option: alone or, when it takes a value, as NAME=VALUE.
    bool Matches(std::string_view argument) const;
    // Listed in the general help, as it goes with every verb.
    bool General() const { return beforeVerb || afterVerbs == kEveryVerb; }
    bool TakenAfter(Verb verb) const { return (afterVerbs & VerbBit(verb)) != 0; }
};

// Options explained together in one entry: a switch and its opposite, a user and a password.
struct OptionEntry {
    std::vector<const CliOption*> options;

    const CliOption& First() const { return *options.front(); }
};

struct VerbForm {
    std::string_view usage{};    // after the program's name: "run [NAME...]"
    std::string_view summary{};  // what this form does, for the general help
};

struct CliVerb {
    Verb verb{};
    std::string_view name{};
    std::vector<VerbForm> forms{};
    std::string_view help{};  // the verb's own help, under its usage; a line end starts a line
    std::string_view manual{};
};

// A list of the list verb, as named on the command line and in its JSON.
struct ListChoice {
    std::string_view name{};
    ListCategory category{};
    std::string_view help{};
};

struct ExitCodeRow {
    std::string_view code{};
    std::string_view meaning{};
};

struct ManualTerm {
    std::string_view term{};
    std::string_view text{};
};

// A section of the man page that is about no single option: paragraphs, then terms each with
// its text, then lines set as they are.
struct ManualSection {
    std::string_view title{};
    std::vector<std::string_view> paragraphs{};
    std::vector<ManualTerm> terms{};
    std::vector<std::string_view> lines{};
};

// What tarnwick-cli takes, and all its help and man page say, in one place.
struct CommandTable {
    std::string_view program;
    std::string_view synopsis;                  // after the program's name
    std::string_view summary;                   // the man page's NAME line
    std::string_view help;                      // the general help, under its usage
    std::vector<std::string_view> description;  // the man page's DESCRIPTION
    std::vector<CliVerb> verbs;
    std::vector<CliOption> options;
    std::vector<ListChoice> lists;
    std::vector<ExitCodeRow> exitCodes;
    std::string_view manualDate;
    std::vector<ManualSection> closingSections;  // after VERBS and OPTIONS

    const CliVerb* FindVerb(std::string_view name) const;
    const CliVerb& VerbOf(Verb verb) const;
    // The option an argument names where it stands: before the verb, or after the one given.
    const CliOption* FindOption(std::string_view argument, std::optional<Verb> verb) const;
    const ListChoice* FindList(std::string_view name) const;
    // The entries of the general help, and of a verb's own options.
    std::vector<OptionEntry> GeneralEntries() const;
    std::vector<OptionEntry> VerbEntries(Verb verb) const;
};

const CommandTable& Commands();

// The list's name on the command line ("files", "done", ...).
std::string_view ListName(ListCategory category);

}  // namespace tarnwick
