#include "engine/mirror/MirrorLinks.h"

#include <utility>

#include "engine/LinkExtractor.h"

namespace tarnwick {

MirrorLinks::MirrorLinks(WebProject project, const WebProjectOptions& options)
    : project_(std::move(project)),
      requisites_(options.requisites),
      noAscend_(options.noAscend),
      maxDepth_(options.maxDepth) {}

bool MirrorLinks::QueueStart(std::string_view startUrl) {
    start_ = Url::Parse(startUrl);
    if (!start_ || !start_->IsWeb()) {
        start_.reset();
        return false;
    }
    admission_.emplace(*start_, noAscend_);
    std::string url = start_->Text();
    seen_.insert(url);
    queue_.push_back({std::move(url), LinkUse::Navigation, 0});
    return true;
}

MirrorTarget MirrorLinks::Next() {
    MirrorTarget next = std::move(queue_.front());
    queue_.pop_front();
    return next;
}

bool MirrorLinks::Offer(const Url& link, LinkUse use, int pageDepth) {
    // A project that may not leave its start page keeps that meaning here.
    if (project_.exitDomain != 0 || !OnSite(link)) {
        return false;
    }
    const bool requisite = requisites_ && IsRequisite(use);
    // A page's requisites come with it even at the depth limit, or it would not display.
    if (maxDepth_ > 0 && pageDepth >= maxDepth_ + (requisite ? 1 : 0)) {
        return false;
    }
    const std::string& url = link.Text();
    if (seen_.contains(url)) {
        return false;
    }
    if (!requisite && !LinkExtractor::PassesTypeFilter(link.Path(), project_)) {
        return false;
    }
    seen_.insert(url);
    ++linksFound_;
    queue_.push_back({url, use, pageDepth + 1});
    return true;
}

bool MirrorLinks::FollowRedirect(const MirrorTarget& from, const Url& to) {
    if (!OnSite(to) || from.redirects >= kMaxRedirects) {
        return false;
    }
    std::string url = to.Text();
    if (seen_.insert(url).second) {
        queue_.push_back({std::move(url), from.use, from.depth, from.redirects + 1});
    }
    return true;
}

bool MirrorLinks::OnSite(const Url& link) const {
    return admission_ && admission_->Admits(link) &&
           robots_.Allows(link.Path() + (link.HasQuery() ? "?" + link.Query() : std::string()));
}

}  // namespace tarnwick
