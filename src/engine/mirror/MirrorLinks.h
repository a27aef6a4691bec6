#pragma once

#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>

#include "engine/mirror/LinkSpan.h"
#include "engine/mirror/RobotsRules.h"
#include "engine/mirror/SiteAdmission.h"
#include "engine/net/Url.h"
#include "model/Records.h"
#include "model/WebProjectOptions.h"

namespace tarnwick {

// One address a mirror still has to fetch, with what the link that found it was for.
struct MirrorTarget {
    std::string url;
    LinkUse use = LinkUse::Navigation;
    int depth = 0;      // links away from the start page
    int redirects = 0;  // followed on the way from the link that found it
};

// The links of one mirror run: the addresses still to fetch, breadth-first so a depth limit
// counts the shortest way to a page, every address ever queued, and the rules that admit a
// link: on the site, allowed by robots.txt, within the depth limit, and either a requisite
// of a page (when the project keeps them) or of a type the project keeps.
class MirrorLinks {
public:
    MirrorLinks(WebProject project, const WebProjectOptions& options);

    // False when the start URL is no web address; nothing is queued then.
    bool QueueStart(std::string_view startUrl);
    const Url& Start() const { return *start_; }
    void SetRobots(RobotsRules robots) { robots_ = std::move(robots); }

    bool IsEmpty() const { return queue_.empty(); }
    int QueuedCount() const { return static_cast<int>(queue_.size()); }
    MirrorTarget Next();
    // True when the link was queued.
    bool Offer(const Url& link, LinkUse use, int pageDepth);
    // True when the target of a redirect stands for the address that led to it: it is on the
    // site and the chain is no longer than kMaxRedirects. It is queued unless it was before,
    // at the depth and for the use of that address.
    bool FollowRedirect(const MirrorTarget& from, const Url& to);
    static constexpr int kMaxRedirects = 20;  // as wget allows
    int LinksFound() const { return linksFound_; }

private:
    bool OnSite(const Url& link) const;

    WebProject project_;
    bool requisites_;
    bool noAscend_;
    int maxDepth_;
    std::optional<Url> start_;
    std::optional<SiteAdmission> admission_;
    RobotsRules robots_;
    std::deque<MirrorTarget> queue_;
    std::unordered_set<std::string> seen_;  // exact: paths are case-sensitive on a server
    int linksFound_ = 0;
};

}  // namespace tarnwick
