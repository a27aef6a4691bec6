#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// The rules of a site's robots.txt (RFC 9309) that apply to one crawler: the group naming
// it, else the group for "*". The longest matching rule decides, Allow winning a tie; '*'
// matches any run of characters and a final '$' the end. No rules allow everything.
class RobotsRules {
public:
    RobotsRules() = default;
    RobotsRules(std::string_view text, std::string_view agent);

    // pathAndQuery: as it is sent, "/a/b.html?x=1".
    bool Allows(std::string_view pathAndQuery) const;

private:
    struct Rule {
        std::string pattern;
        bool allow = false;
    };

    std::vector<Rule> rules_;
};

}  // namespace tarnwick
