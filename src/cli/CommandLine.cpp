#include "cli/CommandLine.h"

#include <climits>
#include <map>

#include "cli/CommandTable.h"
#include "cli/HelpText.h"
#include "model/ByteRate.h"
#include "model/FileRequestOptions.h"
#include "model/Records.h"
#include "model/SearchEngineChoice.h"
#include "model/WholeNumber.h"

namespace tarnwick {

namespace {

ParsedCommandLine Help(std::string text) {
    return {std::nullopt, std::move(text), false};
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

// Hands out the arguments in order.
class ArgumentWalk {
public:
    explicit ArgumentWalk(const std::vector<std::string>& arguments) : arguments_(arguments) {}

    bool Done() const { return next_ >= arguments_.size(); }
    const std::string& Take() { return arguments_[next_++]; }

private:
    const std::vector<std::string>& arguments_;
    std::size_t next_ = 0;
};

// An option's value, read as its kind asks.
struct OptionValue {
    std::string text;
    int number = 0;
    std::uint64_t rate = 0;
};

// The value given with an option as "--name VALUE" or "--name=VALUE"; nothing when it is
// missing or not of the option's kind.
std::optional<OptionValue> TakeValue(const CliOption& option, const std::string& argument,
                                     ArgumentWalk& walk) {
    OptionValue value;
    if (option.kind == ArgumentKind::None) {
        return value;
    }
    if (const std::size_t equals = argument.find('='); equals != std::string::npos) {
        value.text = argument.substr(equals + 1);
    } else if (walk.Done()) {
        return std::nullopt;
    } else {
        value.text = walk.Take();
    }
    switch (option.kind) {
        case ArgumentKind::None:
        case ArgumentKind::Text:
            return value;
        case ArgumentKind::Name:
            return value.text.empty() ? std::nullopt : std::optional(value);
        case ArgumentKind::Number: {
            const std::optional<int> number = WholeNumber<int>(value.text);
            if (!number || *number < option.least || *number > option.most) {
                return std::nullopt;
            }
            value.number = *number;
            return value;
        }
        case ArgumentKind::Rate: {
            const std::optional<std::uint64_t> rate = ParseByteRate(value.text);
            if (!rate) {
                return std::nullopt;
            }
            value.rate = *rate;
            return value;
        }
        case ArgumentKind::Checksum:
            return IsChecksumText(value.text) ? std::optional(value) : std::nullopt;
    }
    return std::nullopt;
}

// What the user is told of an option given a wrong value or none.
std::string Complaint(const CliOption& option) {
    std::string text = std::string(option.names.back()) + " ";
    if (option.kind != ArgumentKind::Number) {
        return text.append(option.complaint);
    }
    if (option.least == 0 && option.most == INT_MAX) {
        return text + "needs a number";
    }
    return text + "needs a number from " + std::to_string(option.least) + " to " +
           std::to_string(option.most);
}

// The command line as read so far, with the projects its options describe.
struct Reading {
    CommandLine command;
    WebProject web;
    SearchProject search;
    std::vector<std::string> operands;

    Reading() : web(BlankWebProject()) {
        web.getHtm = web.getGif = web.getJpg = 1;  // pages and what they show
        search.runWhenRequested = search.stopWhenRequested = 1;
    }
};

// Carries out an option; false when its value does not do.
bool Apply(OptionId id, const OptionValue& value, Reading& reading) {
    CommandLine& command = reading.command;
    WebProjectOptionChanges& changes = command.order.webOptions;
    WebProject& web = reading.web;
    switch (id) {
        case OptionId::Help:
        case OptionId::EndOfOptions:
            break;  // they end the walk, which acts on them itself
        case OptionId::Dir:
            command.folder = value.text;
            break;
        case OptionId::Quiet:
            command.verbosity = Verbosity::Quiet;
            break;
        case OptionId::Verbose:
            command.verbosity = Verbosity::Verbose;
            break;
        case OptionId::Wait:
            command.waitForFolder = true;
            break;
        case OptionId::MaxConcurrent:
            command.maxConcurrent = value.number;
            break;
        case OptionId::LimitRate:
            command.limitBytesPerSecond = value.rate;
            break;
        case OptionId::Checksum:
            command.order.fileOptions.checksum = value.text;
            break;
        case OptionId::Name:
            web.name = reading.search.name = value.text;
            break;
        case OptionId::Depth:
            changes.maxDepth = value.number;
            break;
        case OptionId::Requisites:
        case OptionId::NoRequisites:
            changes.requisites = id == OptionId::Requisites;
            break;
        case OptionId::IgnoreRobots:
        case OptionId::ObeyRobots:
            changes.ignoreRobots = id == OptionId::IgnoreRobots;
            break;
        case OptionId::NoAscend:
        case OptionId::Ascend:
            changes.noAscend = id == OptionId::NoAscend;
            break;
        case OptionId::Delay:
            changes.delayMs = value.number;
            break;
        case OptionId::Connections:
            changes.connections = value.number;
            break;
        case OptionId::All:
            web.downloadAll = 1;
            break;
        case OptionId::Types:
            return SetTypes(web, value.text);
        case OptionId::OtherTypes:
            web.otherTypes = value.text;
            break;
        case OptionId::MaxDomainCount:
            web.maxDomainCount = value.number;
            break;
        case OptionId::ExitDomain:
            web.exitDomain = 1;
            break;
        case OptionId::User:
            web.userName = value.text;
            break;
        case OptionId::Password:
            web.password = value.text;
            break;
        case OptionId::Engine:
            ChooseEngine(reading.search, value.text, true);
            break;
        case OptionId::Schedule:
            command.schedule = true;
            break;
        case OptionId::Json:
            command.json = true;
            break;
    }
    return true;
}

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    const CommandTable& table = Commands();
    Reading reading;
    const CliVerb* verb = nullptr;
    ArgumentWalk walk(arguments);
    while (!walk.Done()) {
        const std::string& argument = walk.Take();
        if (!argument.starts_with("-") || argument == "-") {
            if (verb != nullptr) {
                reading.operands.push_back(argument);
                continue;
            }
            verb = table.FindVerb(argument);
            if (verb == nullptr) {
                return Usage("unknown verb " + argument);
            }
            reading.command.verb = verb->verb;
            continue;
        }
        const CliOption* option =
            table.FindOption(argument, verb ? std::optional(verb->verb) : std::nullopt);
        if (option == nullptr) {
            return Usage("unknown option " + argument +
                         (verb ? " for " + std::string(verb->name) : ""));
        }
        if (option->id == OptionId::Help) {
            return Help(verb ? VerbHelp(verb->verb) : GeneralHelp());
        }
        if (option->id == OptionId::EndOfOptions) {
            while (!walk.Done()) {
                reading.operands.push_back(walk.Take());
            }
            break;
        }
        const std::optional<OptionValue> value = TakeValue(*option, argument, walk);
        if (!value || !Apply(option->id, *value, reading)) {
            return Usage(Complaint(*option));
        }
    }
    if (verb == nullptr) {
        return Usage("no verb given");
    }

    CommandLine& command = reading.command;
    const std::vector<std::string>& operands = reading.operands;
    WebProject& web = reading.web;
    SearchProject& search = reading.search;
    const std::string verbName(verb->name);
    WorkOrder& order = command.order;
    switch (command.verb) {
        case Verb::Add:
        case Verb::Get:
            if (operands.empty()) {
                return Usage(verbName + " needs at least one URL");
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
                const ListChoice* list = table.FindList(name);
                if (list == nullptr) {
                    return Usage("unknown list " + name);
                }
                command.listed.push_back(list->category);
            }
            if (command.listed.empty()) {
                for (const ListChoice& list : table.lists) {
                    command.listed.push_back(list.category);
                }
            }
            break;
    }
    return {command, "", false};
}

}  // namespace tarnwick
