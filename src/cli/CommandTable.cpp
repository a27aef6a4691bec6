#include "cli/CommandTable.h"

#include <algorithm>

#include "model/WebProjectOptions.h"

namespace tarnwick {

namespace {

constexpr VerbSet kFileVerbs = VerbBit(Verb::Add) | VerbBit(Verb::Get);
constexpr VerbSet kProjectVerbs = VerbBit(Verb::Mirror) | VerbBit(Verb::Search);
constexpr VerbSet kMirror = VerbBit(Verb::Mirror);

constexpr std::string_view kKeptForProject = "Kept for the project, also for a reused one:";
constexpr std::string_view kNewProject = "For a new project:";

std::vector<CliOption> Options() {
    using Id = OptionId;
    using Kind = ArgumentKind;
    return {
        // Options of the whole run, in the order the general help lists them.
        {.id = Id::Dir,
         .names = {"--dir"},
         .kind = Kind::Name,
         .argument = "DIR",
         .complaint = "needs a folder",
         .beforeVerb = true,
         .help = "the folder of the lists (default: the current folder)",
         .manual = "Work on the lists of *DIR* instead of the current folder."},
        {.id = Id::Quiet,
         .names = {"-q", "--quiet"},
         .beforeVerb = true,
         .afterVerbs = kEveryVerb,
         .help = "print nothing but errors",
         .manual = "Print errors only."},
        {.id = Id::Verbose,
         .names = {"-v", "--verbose"},
         .beforeVerb = true,
         .afterVerbs = kEveryVerb,
         .help = "print each step of the workers as well",
         .manual = "Print each step of the workers as well."},
        {.id = Id::Wait,
         .names = {"--wait"},
         .beforeVerb = true,
         .help = "wait while another command line works in the folder",
         .manual = "Wait for another command line working in the folder instead of exiting 6."},
        {.id = Id::MaxConcurrent,
         .names = {"--max-concurrent"},
         .kind = Kind::Number,
         .argument = "N",
         .least = 1,
         .most = 100,
         .beforeVerb = true,
         .afterVerbs = kEveryVerb,
         .help = "transfers at once in this run, 1 to 100 (default: settings.ini's, else 4); "
                 "the others wait as \"Queued\"",
         .manual = "At most *N* file transfers at once for this run, 1 to 100 (default from "
                   "*settings.ini*, else 4); later ones wait as \"Queued\"."},
        {.id = Id::LimitRate,
         .names = {"--limit-rate"},
         .kind = Kind::Rate,
         .argument = "RATE",
         .complaint = "needs a rate such as 500k or 2M",
         .beforeVerb = true,
         .afterVerbs = kEveryVerb,
         .help = "all transfers of this run together at most RATE bytes a second: 500k, 2M",
         .manual = "Cap all transfers of the run together at *RATE* bytes a second, in wget's "
                   "syntax: *500k*, *2M*."},
        {.id = Id::Help,
         .names = {"-h", "--help"},
         .beforeVerb = true,
         .afterVerbs = kEveryVerb,
         .help = "this text; VERB --help for a verb's own",
         .manual = "Print the help and exit 0; after a verb, the verb's own help."},
        {.id = Id::EndOfOptions,
         .names = {"--"},
         .afterVerbs = kEveryVerb,
         .help = "after the verb: what follows is an operand, even when it begins with a dash",
         .manual = "After the verb: every argument that follows is an operand (a URL, a name, "
                   "a query), even one that begins with a dash."},

        // Options of some verbs, in the order each verb's help lists them.
        {.id = Id::Checksum,
         .names = {"--checksum"},
         .kind = Kind::Checksum,
         .argument = "ALGO=HEX",
         .complaint = "takes sha256=HEX (64 digits) or md5=HEX (32 digits)",
         .afterVerbs = kFileVerbs,
         .help = "for one URL: the digest the finished file must have, sha256=HEX or md5=HEX; "
                 "else the entry fails and the data stays in Files/NAME.part",
         .manual = "For a single *URL*: the digest the finished file must have, *sha256=HEX* "
                   "(64 hexadecimal digits) or *md5=HEX* (32). A file that does not match "
                   "fails, and its data stays in *Files/NAME.part* for inspection."},
        {.id = Id::Name,
         .names = {"--name"},
         .kind = Kind::Name,
         .argument = "NAME",
         .complaint = "needs a project name",
         .afterVerbs = kProjectVerbs,
         .help = "the project to create or reuse",
         .manual = "The project to create, or to reuse when the folder has one of that name."},
        {.id = Id::Depth,
         .names = {"--depth"},
         .kind = Kind::Number,
         .argument = "N",
         .afterVerbs = kMirror,
         .heading = kKeptForProject,
         .help = "follow links at most N steps from the start page (0: no limit)",
         .manual = "Follow links at most *N* steps from the start page; 0 sets no limit."},
        {.id = Id::Requisites,
         .names = {"--requisites"},
         .afterVerbs = kMirror,
         .heading = kKeptForProject,
         .help = "keep (the default for a new project) or leave what pages need to display: "
                 "style sheets, scripts, images, fonts",
         .manual = "Keep (the default for a new project) or leave what the pages need to "
                   "display: style sheets, scripts, images, fonts."},
        {.id = Id::NoRequisites,
         .names = {"--no-requisites"},
         .afterVerbs = kMirror,
         .heading = kKeptForProject,
         .withPrevious = true},
        {.id = Id::IgnoreRobots,
         .names = {"--ignore-robots"},
         .afterVerbs = kMirror,
         .heading = kKeptForProject,
         .help = "pass over or honour (the default) the site's robots.txt",
         .manual = "Pass over, or honour (the default), the site's *robots.txt*."},
        {.id = Id::ObeyRobots,
         .names = {"--obey-robots"},
         .afterVerbs = kMirror,
         .heading = kKeptForProject,
         .withPrevious = true},
        {.id = Id::NoAscend,
         .names = {"--no-ascend"},
         .afterVerbs = kMirror,
         .heading = kKeptForProject,
         .help = "keep to what lies at or below the start page's folder, or not (the "
                 "default); wget's --no-parent",
         .manual = "Keep to what lies at or below the start page's folder (wget's "
                   "--no-parent), or not (the default)."},
        {.id = Id::Ascend,
         .names = {"--ascend"},
         .afterVerbs = kMirror,
         .heading = kKeptForProject,
         .withPrevious = true},
        {.id = Id::Delay,
         .names = {"--delay"},
         .kind = Kind::Number,
         .argument = "MS",
         .afterVerbs = kMirror,
         .heading = kKeptForProject,
         .help = "wait MS milliseconds between two requests, over one connection (default: "
                 "the delay Preferences give new projects)",
         .manual = "Wait *MS* milliseconds between two requests, over one connection (default: "
                   "the delay Preferences give new projects)."},
        {.id = Id::Connections,
         .names = {"--connections"},
         .kind = Kind::Number,
         .argument = "N",
         .least = 1,
         .most = WebProjectOptions::kMaxConnections,
         .afterVerbs = kMirror,
         .heading = kKeptForProject,
         .help = "requests in flight at once, 1 to 16 (default 4), each connection kept alive",
         .manual = "Requests in flight at once, 1 to 16 (default 4), each connection kept "
                   "alive."},
        {.id = Id::All,
         .names = {"--all"},
         .afterVerbs = kMirror,
         .heading = kNewProject,
         .help = "keep every file the site links to",
         .manual = "Keep every file the site links to."},
        {.id = Id::Types,
         .names = {"--types"},
         .kind = Kind::Text,
         .argument = "LIST",
         .complaint = "takes kinds of htm,gif,jpg,zip,exe,mp3,pdf",
         .afterVerbs = kMirror,
         .heading = kNewProject,
         .help = "kinds of files to keep, comma-separated, of: htm,gif,jpg,zip,exe,mp3,pdf "
                 "(default: htm,gif,jpg: pages and their pictures)",
         .manual = "The kinds of files to keep, comma-separated, of *htm*, *gif*, *jpg*, *zip*, "
                   "*exe*, *mp3* and *pdf* (default: *htm,gif,jpg*, pages and their "
                   "pictures)."},
        {.id = Id::OtherTypes,
         .names = {"--other-types"},
         .kind = Kind::Text,
         .argument = "TEXT",
         .complaint = "needs a text",
         .afterVerbs = kMirror,
         .heading = kNewProject,
         .help = "further file name endings to keep, e.g. \".css .js .png\"",
         .manual = "Further file name endings to keep, such as *\".css .js .png\"*."},
        {.id = Id::MaxDomainCount,
         .names = {"--max-domain-count"},
         .kind = Kind::Number,
         .argument = "N",
         .afterVerbs = kMirror,
         .heading = kNewProject,
         .help = "the property sheet's Max Domain Count, kept with the project",
         .manual = "The property sheet's Max Domain Count, kept with the project."},
        {.id = Id::ExitDomain,
         .names = {"--exit-domain"},
         .afterVerbs = kMirror,
         .heading = kNewProject,
         .help = "the property sheet's Exit domain: no link of the start page is followed",
         .manual = "The property sheet's Exit domain: no link of the start page is followed."},
        {.id = Id::User,
         .names = {"--user"},
         .kind = Kind::Text,
         .argument = "NAME",
         .complaint = "needs a text",
         .afterVerbs = kMirror,
         .heading = kNewProject,
         .help = "credentials the site asks for",
         .manual = "The credentials the site asks for."},
        {.id = Id::Password,
         .names = {"--password"},
         .kind = Kind::Text,
         .argument = "TEXT",
         .complaint = "needs a text",
         .afterVerbs = kMirror,
         .heading = kNewProject,
         .withPrevious = true},
        {.id = Id::Engine,
         .names = {"--engine"},
         .kind = Kind::Name,
         .argument = "E",
         .complaint = "needs an engine's name",
         .afterVerbs = VerbBit(Verb::Search),
         .help = "ask the engine E of the folder's searchengines.conf; once for each engine",
         .manual = "Ask the engine *E*, as named in the folder's *searchengines.conf*; give it "
                   "once for each engine. Without it a new project asks every engine there and "
                   "a reused one keeps its own."},
        {.id = Id::Schedule,
         .names = {"--schedule"},
         .afterVerbs = VerbBit(Verb::Run),
         .help = "stay up until ended by a signal, starting and stopping web and search "
                 "projects at their time of day",
         .manual = "Stay up, as a server or a user service would, and start and stop web and "
                   "search projects at their time of day until ended by a signal."},
        {.id = Id::Json,
         .names = {"--json"},
         .afterVerbs = VerbBit(Verb::List),
         .help = "print one JSON array of {\"list\", \"entry\", \"status\"} objects instead",
         .manual = "Print one JSON array of objects with *list*, *entry* and *status* "
                   "instead, for scripts."},
    };
}

std::vector<CliVerb> Verbs() {
    return {
        {.verb = Verb::Add,
         .name = "add",
         .forms = {{"add [--checksum ALGO=HEX] URL...", "add requested files"}},
         .help = "Adds each URL to the requested files, as Add File(s) does; a URL already "
                 "requested is not added twice. Nothing is downloaded. An address without "
                 "\"//\" gets \"http://\" in front.",
         .manual = "Only add each *URL* to the requested files, as Add File(s) does; a URL "
                   "already requested is not added twice. An address without \"//\" gets "
                   "\"http://\" in front."},
        {.verb = Verb::Get,
         .name = "get",
         .forms = {{"get [--checksum ALGO=HEX] URL...",
                    "add files and download them now into Files/"}},
         .help = "Adds each URL to the requested files and downloads it now into Files/. A "
                 "finished file moves to the downloaded files. An interrupted transfer resumes "
                 "where it stopped, next time too. Exits 0 only when every one completed.",
         .manual = "Add each *URL* to the requested files and download it now into *Files/*. "
                   "A finished file moves to the downloaded files; an interrupted transfer "
                   "resumes where it stopped, next time too."},
        {.verb = Verb::Mirror,
         .name = "mirror",
         .forms = {{"mirror URL --name NAME [options]",
                    "create or reuse a web project and mirror it into WebSites/NAME/"}},
         .help = "Creates the web project NAME, or reuses it (a requested or mirrored project "
                 "of that name keeps its settings and takes URL as its start address), and "
                 "mirrors it into WebSites/NAME/.",
         .manual = "Mirror a web site into *WebSites/NAME/* as the project *NAME*: a copy that "
                   "works from any folder, with what its pages need to display, and a report "
                   "beside it (*tarnwick-report.html*, *.json*). A requested or mirrored "
                   "project of that name keeps its settings and takes *URL* as its start "
                   "address. Running it again fetches only what changed."},
        {.verb = Verb::Search,
         .name = "search",
         .forms = {{"search QUERY --name NAME [--engine E]...",
                    "create or reuse a search project and run it"}},
         .help = "Creates the search project NAME, or reuses it with QUERY as its search "
                 "string, and runs it now. The links found go to the search results, each "
                 "once. Engines are named as in the folder's searchengines.conf; without "
                 "--engine a new project asks every engine there and a reused one keeps its "
                 "own.",
         .manual = "Create the search project *NAME*, or reuse it with *QUERY* as its search "
                   "string, and run it now. The links found go to the search results, each "
                   "once."},
        {.verb = Verb::Run,
         .name = "run",
         .forms = {{"run [NAME...]",
                    "start requested entries: all, or those named (URL or project name)"},
                   {"run --schedule", "stay up and start and stop projects at their time of day"}},
         .help = "Starts the requested entries, as Download > Selected Projects does: every "
                 "one, or those whose URL or project name is given. Waits for them to end.\n"
                 "With --schedule it stays up, as a server or a user service would, and starts "
                 "and stops web and search projects at their time of day until it is ended by "
                 "a signal.",
         .manual = "Start the requested entries, as Download > Selected Projects does: every "
                   "one, or those whose URL or project name is given, and wait for them to "
                   "end."},
        {.verb = Verb::List,
         .name = "list",
         .forms = {{"list [files|webs|searches|done|sites|results]... [--json]",
                    "print lists, one entry a line"}},
         .help = "Prints lists, one entry a line: the entry, a tab, its status. Without a "
                 "name, every list.",
         .manual = "Print lists, one entry a line: the entry, a tab, its status. Without a "
                   "name, every list."},
    };
}

std::vector<ListChoice> Lists() {
    return {
        {"files", ListCategory::RequestedFiles, "requested files"},
        {"webs", ListCategory::RequestedWebSites, "requested web projects"},
        {"searches", ListCategory::SearchProjects, "search projects"},
        {"done", ListCategory::DownloadedFiles, "downloaded files"},
        {"sites", ListCategory::DownloadedSites, "mirrored web projects"},
        {"results", ListCategory::SearchResults, "search results (status: the project)"},
    };
}

// The codes the program ends with; ExitCodes.h gives them to outcomes.
std::vector<ExitCodeRow> ExitCodes() {
    return {
        {"0", "success: every entry completed"},
        {"1", "some entries failed, in different ways (or the window refused the work)"},
        {"2", "usage: a wrong option, verb or name, or an address or checksum not understood"},
        {"3", "network: no connection, a timeout, a transfer cut short"},
        {"4",
         "the server refused: an error status, a missing file, an answer that is not the "
         "file"},
        {"5", "disk: a file or list could not be written"},
        {"6", "the folder is in use by another command line"},
        {"7", "mismatch: the finished file's checksum or length is not the one expected"},
        {"8",
         "partly done: a mirror that could not fetch or store some of its pages, a search "
         "that could not ask some of its engines"},
        {"128+N", "ended by signal N (130 for SIGINT, 143 for SIGTERM)"},
    };
}

ManualSection ExitStatus(const std::vector<ExitCodeRow>& codes) {
    ManualSection section{.title = "EXIT STATUS"};
    for (const ExitCodeRow& code : codes) {
        section.terms.push_back({code.code, code.meaning});
    }
    return section;
}

std::vector<ManualSection> ClosingSections(const std::vector<ExitCodeRow>& codes) {
    return {
        {.title = "FILES",
         .paragraphs = {"All in the folder of the lists; each is written whole and replaces the "
                        "old one atomically, and a missing or damaged one reads as defaults."},
         .terms =
             {
                 {"*reqfiles.data*, *reqwebs.data*, *reqsearch.data*, *dnldfiles.data*, "
                  "*dnldwebs.data*, *searchres.data*",
                  "The six lists the window shows: requested files, web projects and search "
                  "projects, downloaded files, mirrored sites and search results."},
                 {"*settings.ini*",
                  "[transfers] download-folder, max-concurrent, limit-rate, retries, "
                  "stall-timeout; [net] user-agent (default \"Tarnwick/<version>\"); [web] "
                  "delay, robots; [window] notify, close-to-tray, column-layout."},
                 {"*fileoptions.ini*", "Per requested file, by URL: checksum, limit-rate."},
                 {"*webprojects.ini*",
                  "Per web project: depth, portable, requisites, robots, noascend, delay, "
                  "connections."},
                 {"*searchengines.conf*",
                  "The search engines, their queries and result patterns; written with the "
                  "defaults when missing."},
                 {"*searchprojects.ini*",
                  "The engines a search project asks beyond the seven of *reqsearch.data*."},
                 {"*Files/NAME.part*, *Files/NAME.part.meta*",
                  "A partial download, and beside it its URL, validator, length and bytes "
                  "committed; the next attempt continues from the bytes held, and only a "
                  "complete file becomes *Files/NAME*."},
                 {"*.tarnwick.lock*", "Held by the program that works in the folder."},
             }},
        {.title = "ENVIRONMENT",
         .terms =
             {
                 {"**XDG_RUNTIME_DIR**",
                  "Where the socket lives through which a command line hands its work to the "
                  "window; without it, the temporary folder."},
                 {"**http_proxy**, **https_proxy**, **ftp_proxy**, **ALL_PROXY**, **NO_PROXY**",
                  "The proxy for each kind of URL, and the hosts reached without one, as for "
                  "curl(1)."},
             }},
        ExitStatus(codes),
        {.title = "EXAMPLES",
         .lines =
             {
                 "tarnwick-cli get https://example.org/file.iso",
                 "tarnwick-cli --limit-rate 2M --max-concurrent 2 get URL...",
                 "tarnwick-cli get --checksum sha256=HEX https://example.org/file.iso",
                 "tarnwick-cli mirror https://example.org/docs/ --name docs --no-ascend --delay "
                 "250",
                 "tarnwick-cli search \"two words\" --name news --engine Mojeek",
                 "tarnwick-cli run --schedule",
                 "tarnwick-cli list done --json",
             }},
        {.title = "SEE ALSO", .paragraphs = {"**tarnwick**(1), **wget**(1), **curl**(1)"}},
    };
}

CommandTable MakeTable() {
    CommandTable table;
    table.program = "tarnwick-cli";
    table.synopsis =
        "[--dir DIR] [-q|-v] [--wait] [--max-concurrent N] [--limit-rate RATE] VERB [ARGS...]";
    table.summary =
        "download files, mirror web sites and run search projects from the "
        "command line";
    table.help =
        "Works on the lists of the current folder, or of DIR, that the Tarnwick window "
        "shares. While a window has the folder open, the work is handed to it.";
    table.description = {
        "**tarnwick-cli** works on the same lists as the Tarnwick window: the six list files of "
        "the current folder, or of *DIR*. Downloads go below that folder only: single files "
        "into *Files/* (or the *download-folder* of its *settings.ini*), mirrored sites into "
        "*WebSites/<project>/*.",
        "While a Tarnwick window holds the folder, the work is handed to that window, which "
        "adds, shows and starts the entries, and the command exits 0. Another command line in "
        "the folder is waited for with --wait; without it the command exits 6.",
        "Each verb has its own --help. On a terminal every transfer has a live progress line; "
        "when the output goes to a file or a pipe, one plain line is printed per entry as it "
        "ends.",
    };
    table.verbs = Verbs();
    table.options = Options();
    table.lists = Lists();
    table.exitCodes = ExitCodes();
    table.manualDate = "2026";
    table.closingSections = ClosingSections(table.exitCodes);
    return table;
}

}  // namespace

bool CliOption::Matches(std::string_view argument) const {
    for (std::string_view name : names) {
        if (argument == name) {
            return true;
        }
        if (kind != ArgumentKind::None && name.starts_with("--") && argument.starts_with(name) &&
            argument.size() > name.size() && argument[name.size()] == '=') {
            return true;
        }
    }
    return false;
}

const CliVerb* CommandTable::FindVerb(std::string_view name) const {
    const auto found =
        std::find_if(verbs.begin(), verbs.end(), [&](const CliVerb& v) { return v.name == name; });
    return found == verbs.end() ? nullptr : &*found;
}

const CliVerb& CommandTable::VerbOf(Verb verb) const {
    return *std::find_if(verbs.begin(), verbs.end(),
                         [&](const CliVerb& v) { return v.verb == verb; });
}

const CliOption* CommandTable::FindOption(std::string_view argument,
                                          std::optional<Verb> verb) const {
    for (const CliOption& option : options) {
        const bool taken = verb ? option.TakenAfter(*verb) : option.beforeVerb;
        if (taken && option.Matches(argument)) {
            return &option;
        }
    }
    return nullptr;
}

const ListChoice* CommandTable::FindList(std::string_view name) const {
    const auto found = std::find_if(lists.begin(), lists.end(),
                                    [&](const ListChoice& list) { return list.name == name; });
    return found == lists.end() ? nullptr : &*found;
}

namespace {

// The options the filter keeps, each joined to the entry of the option before it when it is
// explained there.
template <typename Filter>
std::vector<OptionEntry> EntriesOf(const std::vector<CliOption>& options, Filter keep) {
    std::vector<OptionEntry> entries;
    for (const CliOption& option : options) {
        if (!keep(option)) {
            continue;
        }
        if (option.withPrevious && !entries.empty()) {
            entries.back().options.push_back(&option);
        } else {
            entries.push_back({{&option}});
        }
    }
    return entries;
}

}  // namespace

std::vector<OptionEntry> CommandTable::GeneralEntries() const {
    return EntriesOf(options, [](const CliOption& option) { return option.General(); });
}

std::vector<OptionEntry> CommandTable::VerbEntries(Verb verb) const {
    return EntriesOf(options, [verb](const CliOption& option) {
        return !option.General() && option.TakenAfter(verb);
    });
}

const CommandTable& Commands() {
    static const CommandTable table = MakeTable();
    return table;
}

std::string_view ListName(ListCategory category) {
    for (const ListChoice& list : Commands().lists) {
        if (list.category == category) {
            return list.name;
        }
    }
    return {};
}

}  // namespace tarnwick
