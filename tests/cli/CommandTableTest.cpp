#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cli/CommandLine.h"
#include "cli/CommandTable.h"
#include "cli/ExitCodes.h"
#include "cli/HelpText.h"
#include "cli/ManPage.h"
#include "support/ChildProcess.h"
#include "support/TempFolder.h"

namespace tarnwick {
namespace {

using namespace std::chrono_literals;
using testing::ChildProcess;
using testing::TempFolder;
using testing::WriteFileBytes;

// Every option the command line has had, whatever the table says now, and some it never had:
// the parser may take no other, and each one it takes must be shown.
constexpr const char* kKnownOptions =
    "--dir -q --quiet -v --verbose --wait --max-concurrent --limit-rate -h --help -- --checksum "
    "--json --schedule --name --depth --requisites --no-requisites --ignore-robots "
    "--obey-robots --no-ascend --ascend --delay --connections --all --types --other-types "
    "--max-domain-count --exit-domain --user --password --engine";
constexpr const char* kNeverOptions = "--bogus --no-parent --no-json -x";

std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    std::istringstream in(text);
    for (std::string word; in >> word;) {
        words.push_back(word);
    }
    return words;
}

const char* const kVerbNames[] = {"add", "get", "mirror", "search", "run", "list"};

// The option stands in the text as a word of its own, not as part of a longer name.
bool Mentions(const std::string& text, const std::string& option) {
    const auto endsName = [](char c) {
        return std::string_view(" ,=]\n").find(c) != std::string_view::npos;
    };
    for (std::size_t at = text.find(option); at != std::string::npos;
         at = text.find(option, at + 1)) {
        const bool starts =
            at == 0 || std::string_view(" [|\n").find(text[at - 1]) != std::string_view::npos;
        const std::size_t end = at + option.size();
        if (starts && (end == text.size() || endsName(text[end]))) {
            return true;
        }
    }
    return false;
}

// Whether the parser knows the option there: before a verb, or after the one given.
bool Accepts(const std::string& option, const std::string& verb) {
    const std::vector<std::string> arguments = verb.empty()
                                                   ? std::vector<std::string>{option, "1", "list"}
                                                   : std::vector<std::string>{verb, option, "1"};
    const ParsedCommandLine parsed = ParseCommandLine(arguments);
    return parsed.text.find("unknown option") == std::string::npos;
}

std::string RoffOption(const std::string& option) {
    std::string escaped;
    for (char c : option) {
        escaped += c == '-' ? std::string("\\-") : std::string(1, c);
    }
    return "\\fB" + escaped + "\\fR";
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// The text with every run of blanks and line ends made one space.
std::string Flowed(std::string_view text) {
    std::string out;
    for (char c : text) {
        const bool blank = c == ' ' || c == '\n';
        if (!blank) {
            out += c;
        } else if (!out.empty() && out.back() != ' ') {
            out += ' ';
        }
    }
    return out;
}

TEST(CommandTable, EveryOptionTheParserTakesIsInTheHelpOfItsVerbAndInTheManPage) {
    const std::string manPage = ManPage();
    const std::string general = GeneralHelp();
    std::set<std::string> accepted;
    for (const std::string& option :
         Words(std::string(kKnownOptions) + " " + std::string(kNeverOptions))) {
        if (Accepts(option, "")) {
            accepted.insert(option);
            EXPECT_TRUE(Mentions(general, option)) << option << " missing from --help";
        }
        for (const char* verb : kVerbNames) {
            const std::string help = ParseCommandLine({verb, "--help"}).text;
            if (Accepts(option, verb)) {
                accepted.insert(option);
                EXPECT_TRUE(Mentions(help, option)) << option << " missing from " << verb;
            }
        }
        if (accepted.contains(option)) {
            EXPECT_NE(manPage.find(RoffOption(option)), std::string::npos) << option;
        }
    }
    for (const std::string& unknown : Words(kNeverOptions)) {
        EXPECT_FALSE(accepted.contains(unknown)) << unknown;
    }
    // The table knows no option beyond these, so none escapes the check above.
    for (const CliOption& option : Commands().options) {
        for (std::string_view name : option.names) {
            EXPECT_TRUE(accepted.contains(std::string(name))) << name;
        }
    }
    // A verb's help shows only what that verb takes.
    const std::string getHelp = ParseCommandLine({"get", "--help"}).text;
    for (const char* foreign : {"--json", "--name", "--depth", "--engine", "--dir", "--wait"}) {
        EXPECT_FALSE(Mentions(getHelp, foreign)) << foreign;
    }
}

TEST(CommandTable, EachOptionHasItsHelpAndEachHelpFitsEightyColumns) {
    const CommandTable& table = Commands();
    for (const CliOption& option : table.options) {
        const bool ownEntry = !option.withPrevious;
        EXPECT_EQ(!option.help.empty(), ownEntry) << option.names.front();
        EXPECT_EQ(!option.manual.empty(), ownEntry) << option.names.front();
        EXPECT_EQ(option.kind == ArgumentKind::None, option.argument.empty())
            << option.names.front();
    }
    std::vector<std::string> helps{GeneralHelp()};
    for (const CliVerb& verb : table.verbs) {
        helps.push_back(VerbHelp(verb.verb));
    }
    for (const std::string& help : helps) {
        for (const std::string& line : Lines(help)) {
            EXPECT_LE(line.size(), kHelpWidth) << line;
            EXPECT_FALSE(line.ends_with(" ")) << line;
        }
    }
    // Wrapping keeps every word of every entry, in order.
    const std::string flowed = Flowed(helps.front());
    for (const OptionEntry& entry : table.GeneralEntries()) {
        EXPECT_NE(flowed.find(Flowed(entry.First().help)), std::string::npos) << entry.First().help;
    }
    const std::string mirror = Flowed(VerbHelp(Verb::Mirror));
    for (const OptionEntry& entry : table.VerbEntries(Verb::Mirror)) {
        EXPECT_NE(mirror.find(Flowed(entry.First().help)), std::string::npos) << entry.First().help;
    }
}

TEST(CommandTable, HelpReadsAsBefore) {
    const std::vector<std::string> general = Lines(GeneralHelp());
    ASSERT_GE(general.size(), 2u);
    EXPECT_EQ(general[0], "Usage: tarnwick-cli [--dir DIR] [-q|-v] [--wait] [--max-concurrent N]");
    EXPECT_EQ(general[1], "                    [--limit-rate RATE] VERB [ARGS...]");
    const std::string help = GeneralHelp();
    // A name too wide for the column has its line to itself, its text indented below.
    EXPECT_NE(help.find("\n  search QUERY --name NAME [--engine E]...\n          "),
              std::string::npos)
        << help;
    EXPECT_NE(help.find("\n  -q, --quiet         print nothing but errors\n"), std::string::npos)
        << help;

    EXPECT_EQ(Lines(VerbHelp(Verb::Mirror))[0],
              "Usage: tarnwick-cli mirror URL --name NAME [options]");
    const std::vector<std::string> run = Lines(VerbHelp(Verb::Run));
    EXPECT_EQ(run[0], "Usage: tarnwick-cli run [NAME...]");
    EXPECT_EQ(run[1], "       tarnwick-cli run --schedule");
    // A line end in a verb's text starts a line of its own.
    EXPECT_NE(VerbHelp(Verb::Run).find("Waits for them to end.\nWith --schedule"),
              std::string::npos);
    const std::string list = VerbHelp(Verb::List);
    for (const ListChoice& choice : Commands().lists) {
        EXPECT_NE(list.find("\n  " + std::string(choice.name) + " "), std::string::npos)
            << choice.name;
    }
}

TEST(CommandTable, ExitCodesAreListedInTheHelpAndTheManPage) {
    const std::string help = GeneralHelp();
    const std::string manPage = ManPage();
    for (int code : {kExitSuccess, kExitSomeFailed, kExitUsage, kExitNetwork, kExitServerRefused,
                     kExitDisk, kExitFolderInUse, kExitMismatch, kExitPartlyDone}) {
        EXPECT_NE(help.find("\n  " + std::to_string(code) + " "), std::string::npos) << code;
        EXPECT_NE(manPage.find(".TP\n" + std::to_string(code) + "\n"), std::string::npos) << code;
    }
    for (const char* line : {"\n  7      mismatch: the finished file's checksum or length",
                             "\n  8      partly done: a mirror that could not fetch or store",
                             "\n  128+N  ended by signal N (130 for SIGINT, 143 for SIGTERM)\n"}) {
        EXPECT_NE(help.find(line), std::string::npos) << line;
    }
}

// Runs groff over the page; its output and standard error together.
std::vector<std::string> Groff(const std::string& page, const std::string& options) {
    TempFolder folder;
    WriteFileBytes(folder.Path() / "tarnwick-cli.1", page);
    ChildProcess groff({"sh", "-c", "exec groff -man -ww " + options + " \"$0\" 2>&1",
                        (folder.Path() / "tarnwick-cli.1").string()});
    std::vector<std::string> lines;
    while (const auto line = groff.ReadLine(30s)) {
        lines.push_back(*line);
    }
    EXPECT_EQ(groff.Wait(), 0);
    return lines;
}

TEST(ManPage, IsRoffThatGroffSetsWithoutAWarning) {
    if (!ChildProcess::Run({"sh", "-c", "command -v groff >/dev/null"})) {
        GTEST_SKIP() << "groff is not installed";
    }
    const std::string page = ManPage();
    EXPECT_EQ(Groff(page, "-z"), std::vector<std::string>{});

    std::string shown;
    for (const std::string& line : Groff(page, "-Tascii -P-cbou")) {
        shown += line + "\n";
    }
    for (const char* section : {"NAME", "SYNOPSIS", "DESCRIPTION", "VERBS", "OPTIONS", "FILES",
                                "ENVIRONMENT", "EXIT STATUS", "EXAMPLES", "SEE ALSO"}) {
        EXPECT_NE(shown.find(std::string("\n") + section + "\n"), std::string::npos) << section;
    }
    // Dashes come out as dashes, names and values as the table writes them.
    const std::string flowed = Flowed(shown);
    for (const char* text :
         {"tarnwick-cli get --checksum sha256=HEX https://example.org/file.iso",
          "--user NAME, --password TEXT", "--requisites, --no-requisites",
          "such as \".css .js .png\"", "128+N ended by signal N", "--max-concurrent N"}) {
        EXPECT_NE(flowed.find(text), std::string::npos) << text;
    }
}

}  // namespace
}  // namespace tarnwick
