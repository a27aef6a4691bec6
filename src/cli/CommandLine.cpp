#include "cli/CommandLine.h"

#include <map>

#include "model/ByteRate.h"
#include "model/FileRequestOptions.h"
#include "model/Records.h"
#include "model/SearchEngineChoice.h"
#include "model/WholeNumber.h"

namespace tarnwick {

namespace {

constexpr const char* kGeneralHelp =
    R"(Usage: tarnwick-cli [--dir DIR] [-q|-v] [--wait] [--max-concurrent N] [--limit-rate RATE]
                    VERB [ARGS...]

Works on the lists of the current folder, or of DIR, that the Tarnwick window shares. While a
window has the folder open, the work is handed to it.

Verbs:
  add URL...              add requested files
  get URL...              add files and download them now into Files/
  mirror URL --name NAME [--depth N]
                          create or reuse a web project and mirror it into WebSites/NAME/
  search QUERY --name NAME [--engine E]...
                          create or reuse a search project and run it
  run [NAME...]           start requested entries: all, or those named (URL or project name)
  run --schedule          stay up and start and stop projects at their time of day
  list [files|webs|searches|done|sites|results] [--json]
                          print lists, one entry a line

Options:
  --dir DIR      the folder of the lists (default: the current folder)
  -q, --quiet    print nothing but errors
  -v, --verbose  print each step of the workers as well
  --wait         wait while another command line works in the folder
  --max-concurrent N
                 transfers at once in this run (default: settings.ini's, else 4); the
                 others wait as "Queued"
  --limit-rate RATE
                 all transfers of this run together at most RATE bytes a second: 500k, 2M
  -h, --help     this text; VERB --help for a verb's own

Exit codes:
  0 success   1 some entries failed   2 usage   3 network   4 server refused
  5 disk      6 folder in use          128+N ended by signal N (130 SIGINT, 143 SIGTERM)
)";

constexpr const char* kAddHelp = R"(Usage: tarnwick-cli add [--checksum ALGO=HEX] URL...

Adds each URL to the requested files, as Add File(s) does; a URL already requested is not
added twice. Nothing is downloaded. An address without "//" gets "http://" in front.
  --checksum ALGO=HEX  as for get: the digest the finished file must have
)";

constexpr const char* kGetHelp = R"(Usage: tarnwick-cli get [--checksum ALGO=HEX] URL...

Adds each URL to the requested files and downloads it now into Files/. A finished file moves
to the downloaded files. An interrupted transfer resumes where it stopped, next time too.
Exits 0 only when every one completed.
  --checksum sha256=HEX|md5=HEX
                 for one URL: the finished file must have this digest, else the entry fails
                 and the data stays in Files/NAME.part
)";

constexpr const char* kMirrorHelp = R"(Usage: tarnwick-cli mirror URL --name NAME [options]

Creates the web project NAME, or reuses it (a requested or mirrored project of that name keeps
its settings and takes URL as its start address), and mirrors it into WebSites/NAME/.

  --depth N             follow links at most N steps from the start page (0: no limit)
  --requisites, --no-requisites
                        keep (the default for a new project) or leave what pages need to
                        display: style sheets, scripts, images, fonts
  --ignore-robots, --obey-robots
                        pass over or honour (the default) the site's robots.txt
  --no-ascend, --ascend
                        keep to what lies at or below the start page's folder, or not (the
                        default); wget's --no-parent
  --delay MS            wait MS milliseconds between two requests, over one connection
                        (default: the delay Preferences give new projects)
  --connections N       requests in flight at once, 1 to 16 (default 4), each connection kept
                        alive
These are kept for the project, also for a reused one.

Options for a new project:
  --all                 keep every file the site links to
  --types LIST          kinds of files to keep, comma-separated, of: htm,gif,jpg,zip,exe,mp3,pdf
                        (default: htm,gif,jpg: pages and their pictures)
  --other-types TEXT    further file name endings to keep, e.g. ".css .js .png"
  --max-domain-count N  the property sheet's Max Domain Count, kept with the project
  --exit-domain         the property sheet's Exit domain: no link of the start page is
                        followed
  --user NAME, --password TEXT
                        credentials the site asks for
)";

constexpr const char* kSearchHelp = R"(Usage: tarnwick-cli search QUERY --name NAME [--engine E]...

Creates the search project NAME, or reuses it with QUERY as its search string, and runs it
now. The links found go to the search results, each once. Engines are named as in the
folder's searchengines.conf; without --engine a new project asks every engine there and a
reused one keeps its own.
)";

constexpr const char* kRunHelp = R"(Usage: tarnwick-cli run [NAME...]
       tarnwick-cli run --schedule

Starts the requested entries, as Download > Selected Projects does: every one, or those whose
URL or project name is given. Waits for them to end.
With --schedule it stays up, as a server or a user service would, and starts and stops web
and search projects at their time of day until it is ended by a signal.
)";

constexpr const char* kListHelp =
    R"(Usage: tarnwick-cli list [files|webs|searches|done|sites|results]... [--json]

Prints lists, one entry a line: the entry, a tab, its status. Without a name, every list.
  files     requested files          webs      requested web projects
  searches  search projects          done      downloaded files
  sites     mirrored web projects    results   search results (status: the project)
--json prints one JSON array of {"list", "entry", "status"} objects instead.
)";

const std::map<std::string, ListCategory>& ListNames() {
    static const std::map<std::string, ListCategory> names{
        {"files", ListCategory::RequestedFiles},    {"webs", ListCategory::RequestedWebSites},
        {"searches", ListCategory::SearchProjects}, {"done", ListCategory::DownloadedFiles},
        {"sites", ListCategory::DownloadedSites},   {"results", ListCategory::SearchResults},
    };
    return names;
}

ParsedCommandLine Help(const char* text) {
    return {std::nullopt, text, false};
}

ParsedCommandLine Usage(const std::string& text) {
    return {std::nullopt, "tarnwick-cli: " + text + "\nTry 'tarnwick-cli --help'.\n", true};
}

// Sets the project's type flags from "htm,gif,jpg"; false on an unknown kind.
bool SetTypes(WebProject& project, const std::string& list) {
    const std::map<std::string, int WebProject::*> flags{
        {"htm", &WebProject::getHtm}, {"gif", &WebProject::getGif}, {"jpg", &WebProject::getJpg},
        {"zip", &WebProject::getZip}, {"exe", &WebProject::getExe}, {"mp3", &WebProject::getMp3},
        {"pdf", &WebProject::getPdf},
    };
    for (const auto& [kind, flag] : flags) {
        project.*flag = 0;
    }
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        const std::string kind = list.substr(start, comma - start);
        const auto found = flags.find(kind);
        if (found == flags.end()) {
            return false;
        }
        project.*(found->second) = 1;
        start = comma + 1;
    }
    return true;
}

bool IsOption(const std::string& argument, const char* name) {
    const std::string option(name);
    return argument == option || (argument.starts_with(option) && argument.size() > option.size() &&
                                  argument[option.size()] == '=');
}

// The mirror options that set a text of the project, with the field they set.
std::optional<std::pair<const char*, std::string WebProject::*>> TextOptionOf(
    const std::string& argument) {
    static const std::pair<const char*, std::string WebProject::*> options[] = {
        {"--other-types", &WebProject::otherTypes},
        {"--user", &WebProject::userName},
        {"--password", &WebProject::password},
    };
    for (const auto& option : options) {
        if (IsOption(argument, option.first)) {
            return option;
        }
    }
    return std::nullopt;
}

// The mirror options that take a number, or "" when the argument is none of them.
std::string NumberOptionOf(const std::string& argument) {
    for (const char* option : {"--max-domain-count", "--depth", "--delay", "--connections"}) {
        if (IsOption(argument, option)) {
            return option;
        }
    }
    return "";
}

// The mirror's options that turn something on or off for the project; true when the argument
// is one of them.
bool TakeMirrorSwitch(const std::string& argument, WebProjectOptionChanges& changes) {
    static const struct {
        const char* on;
        const char* off;
        std::optional<bool> WebProjectOptionChanges::*option;
    } switches[] = {
        {"--requisites", "--no-requisites", &WebProjectOptionChanges::requisites},
        {"--ignore-robots", "--obey-robots", &WebProjectOptionChanges::ignoreRobots},
        {"--no-ascend", "--ascend", &WebProjectOptionChanges::noAscend},
    };
    for (const auto& known : switches) {
        if (argument == known.on || argument == known.off) {
            changes.*known.option = argument == known.on;
            return true;
        }
    }
    return false;
}

// Walks the arguments after the verb: options with their values, and the rest as operands.
class VerbArguments {
public:
    VerbArguments(const std::vector<std::string>& arguments, std::size_t first)
        : arguments_(arguments), next_(first) {}

    bool Done() const { return next_ >= arguments_.size(); }
    std::size_t Position() const { return next_; }
    const std::string& Peek() const { return arguments_[next_]; }
    std::string Take() { return arguments_[next_++]; }
    // The value of an option, given as "--name VALUE" or "--name=VALUE".
    std::optional<std::string> ValueOf(const std::string& option) {
        const std::string& argument = arguments_[next_ - 1];
        if (argument.size() > option.size() && argument[option.size()] == '=') {
            return argument.substr(option.size() + 1);
        }
        if (Done()) {
            return std::nullopt;
        }
        return Take();
    }

private:
    const std::vector<std::string>& arguments_;
    std::size_t next_;
};

// Takes an option that sets how the whole run goes, given before or after the verb: nothing
// when the argument is none of them, else an empty text, or what is wrong with its value.
std::optional<std::string> TakeRunOption(CommandLine& command, const std::string& argument,
                                         VerbArguments& rest) {
    if (argument == "-q" || argument == "--quiet") {
        command.verbosity = Verbosity::Quiet;
    } else if (argument == "-v" || argument == "--verbose") {
        command.verbosity = Verbosity::Verbose;
    } else if (IsOption(argument, "--max-concurrent")) {
        const auto given = rest.ValueOf("--max-concurrent");
        const std::optional<int> count = given ? WholeNumber<int>(*given) : std::nullopt;
        if (!count || *count < 1 || *count > 100) {
            return "--max-concurrent needs a number from 1 to 100";
        }
        command.maxConcurrent = *count;
    } else if (IsOption(argument, "--limit-rate")) {
        const auto given = rest.ValueOf("--limit-rate");
        const auto rate = given ? ParseByteRate(*given) : std::nullopt;
        if (!rate) {
            return "--limit-rate needs a rate such as 500k or 2M";
        }
        command.limitBytesPerSecond = *rate;
    } else {
        return std::nullopt;
    }
    return "";
}

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine command;
    VerbArguments global(arguments, 0);
    while (!global.Done() && global.Peek().starts_with("-")) {
        const std::string argument = global.Take();
        if (argument == "-h" || argument == "--help") {
            return Help(kGeneralHelp);
        } else if (const auto error = TakeRunOption(command, argument, global)) {
            if (!error->empty()) {
                return Usage(*error);
            }
        } else if (argument == "--wait") {
            command.waitForFolder = true;
        } else if (IsOption(argument, "--dir")) {
            const auto folder = global.ValueOf("--dir");
            if (!folder) {
                return Usage("--dir needs a folder");
            }
            command.folder = *folder;
        } else {
            return Usage("unknown option " + argument);
        }
    }
    const std::size_t index = global.Position();
    if (index >= arguments.size()) {
        return Usage("no verb given");
    }
    const std::string verb = arguments[index];
    const std::map<std::string, std::pair<Verb, const char*>> verbs{
        {"add", {Verb::Add, kAddHelp}},          {"get", {Verb::Get, kGetHelp}},
        {"mirror", {Verb::Mirror, kMirrorHelp}}, {"search", {Verb::Search, kSearchHelp}},
        {"run", {Verb::Run, kRunHelp}},          {"list", {Verb::List, kListHelp}},
    };
    const auto found = verbs.find(verb);
    if (found == verbs.end()) {
        return Usage("unknown verb " + verb);
    }
    command.verb = found->second.first;
    const char* verbHelp = found->second.second;

    WebProject web = BlankWebProject();
    web.getHtm = web.getGif = web.getJpg = 1;  // pages and what they show
    SearchProject search;
    search.runWhenRequested = search.stopWhenRequested = 1;
    std::vector<std::string> operands;
    VerbArguments rest(arguments, index + 1);
    while (!rest.Done()) {
        const std::string argument = rest.Take();
        const auto value = [&](const char* option) { return rest.ValueOf(option); };
        if (argument == "-h" || argument == "--help") {
            return Help(verbHelp);
        } else if (const auto error = TakeRunOption(command, argument, rest)) {
            if (!error->empty()) {
                return Usage(*error);
            }
        } else if ((command.verb == Verb::Add || command.verb == Verb::Get) &&
                   IsOption(argument, "--checksum")) {
            const auto checksum = value("--checksum");
            if (!checksum || !IsChecksumText(*checksum)) {
                return Usage("--checksum takes sha256=HEX (64 digits) or md5=HEX (32 digits)");
            }
            command.order.fileOptions.checksum = *checksum;
        } else if (argument == "--") {
            while (!rest.Done()) {
                operands.push_back(rest.Take());
            }
        } else if (command.verb == Verb::List && argument == "--json") {
            command.json = true;
        } else if (command.verb == Verb::Run && argument == "--schedule") {
            command.schedule = true;
        } else if ((command.verb == Verb::Mirror || command.verb == Verb::Search) &&
                   IsOption(argument, "--name")) {
            const auto name = value("--name");
            if (!name || name->empty()) {
                return Usage("--name needs a project name");
            }
            web.name = search.name = *name;
        } else if (command.verb == Verb::Mirror && argument == "--all") {
            web.downloadAll = 1;
        } else if (command.verb == Verb::Mirror &&
                   TakeMirrorSwitch(argument, command.order.webOptions)) {
        } else if (command.verb == Verb::Mirror && argument == "--exit-domain") {
            web.exitDomain = 1;
        } else if (command.verb == Verb::Mirror && IsOption(argument, "--types")) {
            const auto types = value("--types");
            if (!types || !SetTypes(web, *types)) {
                return Usage("--types takes kinds of htm,gif,jpg,zip,exe,mp3,pdf");
            }
        } else if (const auto text =
                       command.verb == Verb::Mirror ? TextOptionOf(argument) : std::nullopt) {
            const auto given = value(text->first);
            if (!given) {
                return Usage(std::string(text->first) + " needs a text");
            }
            web.*(text->second) = *given;
        } else if (const std::string option =
                       command.verb == Verb::Mirror ? NumberOptionOf(argument) : "";
                   !option.empty()) {
            const auto given = value(option.c_str());
            const std::optional<int> number = given ? WholeNumber<int>(*given) : std::nullopt;
            WebProjectOptionChanges& changes = command.order.webOptions;
            if (option == "--connections") {
                if (!number || *number < 1 || *number > WebProjectOptions::kMaxConnections) {
                    return Usage("--connections takes 1 to " +
                                 std::to_string(WebProjectOptions::kMaxConnections));
                }
                changes.connections = number;
            } else if (!number) {
                return Usage(option + " needs a number");
            } else if (option == "--max-domain-count") {
                web.maxDomainCount = *number;
            } else {
                (option == "--depth" ? changes.maxDepth : changes.delayMs) = number;
            }
        } else if (command.verb == Verb::Search && IsOption(argument, "--engine")) {
            const auto engine = value("--engine");
            if (!engine || engine->empty()) {
                return Usage("--engine needs an engine's name");
            }
            ChooseEngine(search, *engine, true);
        } else if (argument.starts_with("-") && argument.size() > 1) {
            return Usage("unknown option " + argument + " for " + verb);
        } else {
            operands.push_back(argument);
        }
    }

    WorkOrder& order = command.order;
    switch (command.verb) {
        case Verb::Add:
        case Verb::Get:
            if (operands.empty()) {
                return Usage(verb + " needs at least one URL");
            }
            if (!order.fileOptions.checksum.empty() && operands.size() != 1) {
                return Usage("--checksum belongs to one URL");
            }
            order.start = command.verb == Verb::Get;
            order.fileUrls = operands;
            break;
        case Verb::Mirror:
            if (operands.size() != 1 || web.name.empty()) {
                return Usage("mirror needs one URL and --name NAME");
            }
            web.startUrl = operands[0];
            web.runWhenRequested = web.stopWhenRequested = 1;
            order.start = true;
            order.webProjects.push_back(web);
            break;
        case Verb::Search:
            if (operands.size() != 1 || search.name.empty()) {
                return Usage("search needs one QUERY and --name NAME");
            }
            search.searchString = operands[0];
            order.start = true;
            order.searchProjects.push_back(search);
            break;
        case Verb::Run:
            if (command.schedule && !operands.empty()) {
                return Usage("run --schedule takes no names");
            }
            order.start = true;
            order.runAll = operands.empty() && !command.schedule;
            order.runNames = operands;
            break;
        case Verb::List:
            for (const std::string& name : operands) {
                const auto list = ListNames().find(name);
                if (list == ListNames().end()) {
                    return Usage("unknown list " + name);
                }
                command.listed.push_back(list->second);
            }
            if (command.listed.empty()) {
                for (const char* name : {"files", "webs", "searches", "done", "sites", "results"}) {
                    command.listed.push_back(ListNames().at(name));
                }
            }
            break;
    }
    return {command, "", false};
}

}  // namespace tarnwick
