#include "engine/mirror/RobotsRules.h"

#include <cctype>

#include "model/Records.h"

namespace tarnwick {

namespace {

std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

bool Matches(std::string_view pattern, std::string_view path) {
    const bool anchored = pattern.ends_with('$');
    if (anchored) {
        pattern.remove_suffix(1);
    }
    // Greedy wildcard matching with one backtrack point, linear in practice.
    std::size_t p = 0;
    std::size_t s = 0;
    std::size_t star = std::string_view::npos;
    std::size_t resume = 0;
    while (s < path.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = s;
        } else if (p < pattern.size() && pattern[p] == path[s]) {
            ++p;
            ++s;
        } else if (p == pattern.size() && !anchored) {
            return true;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            s = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

}  // namespace

RobotsRules::RobotsRules(std::string_view text, std::string_view agent) {
    const std::string ourAgent = AsciiLowercase(agent);
    std::vector<Rule> named;
    std::vector<Rule> anyone;
    bool groupIsOurs = false;
    bool groupIsAnyone = false;
    bool inAgentLines = false;
    bool namedFound = false;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        line = line.substr(0, line.find('#'));
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) {
            continue;
        }
        const std::string key = AsciiLowercase(Trimmed(line.substr(0, colon)));
        const std::string_view value = Trimmed(line.substr(colon + 1));
        if (key == "user-agent") {
            if (!inAgentLines) {
                groupIsOurs = groupIsAnyone = false;
            }
            inAgentLines = true;
            const std::string name = AsciiLowercase(value);
            groupIsAnyone = groupIsAnyone || name == "*";
            const bool ours = !name.empty() && name != "*" && ourAgent.find(name) == 0;
            groupIsOurs = groupIsOurs || ours;
            namedFound = namedFound || ours;
            continue;
        }
        inAgentLines = false;
        if ((key != "allow" && key != "disallow") || value.empty()) {
            continue;
        }
        const Rule rule{std::string(value), key == "allow"};
        if (groupIsOurs) {
            named.push_back(rule);
        }
        if (groupIsAnyone) {
            anyone.push_back(rule);
        }
    }
    rules_ = namedFound ? std::move(named) : std::move(anyone);
}

bool RobotsRules::Allows(std::string_view pathAndQuery) const {
    std::size_t longest = 0;
    bool allowed = true;
    for (const Rule& rule : rules_) {
        if (!Matches(rule.pattern, pathAndQuery)) {
            continue;
        }
        const std::size_t length = rule.pattern.size();
        if (length > longest || (length == longest && rule.allow)) {
            longest = length;
            allowed = rule.allow;
        }
    }
    return allowed;
}

}  // namespace tarnwick
