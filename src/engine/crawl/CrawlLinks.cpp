#include "engine/crawl/CrawlLinks.h"

#include <optional>
#include <utility>

#include "engine/net/Url.h"

namespace tarnwick {

CrawlLinks::CrawlLinks(WebProject project, std::string siteFolderPath, int maxDepth)
    : project_(std::move(project)),
      siteFolderPath_(std::move(siteFolderPath)),
      maxDepth_(maxDepth) {}

void CrawlLinks::QueueStart(std::string_view startUrl) {
    std::string url(startUrl);
    LinkExtractor::ResolveLink("", "", "", url);
    seen_.Add(url);
    LinkExtractor::SiteRoot(url, startRoot_);
    if (const std::optional<Url> start = Url::Parse(url); start && start->IsWeb()) {
        startOrigin_ = start->Origin();
    }
    stack_.Push(std::move(url), 0);
}

int CrawlLinks::ScanLine(std::string& line, std::string_view pageUrl, std::string_view subfolder) {
    int queued = 0;
    Step(LinkKind::Href, line, pageUrl, subfolder, queued);
    Step(LinkKind::Frame, line, pageUrl, subfolder, queued);
    Step(LinkKind::Image, line, pageUrl, subfolder, queued);
    return queued;
}

void CrawlLinks::Step(LinkKind kind, std::string& line, std::string_view pageUrl,
                      std::string_view subfolder, int& queued) {
    std::string link;
    const bool found = kind == LinkKind::Href    ? LinkExtractor::ExtractHref(line, link)
                       : kind == LinkKind::Frame ? LinkExtractor::ExtractFrameSrc(line, link)
                                                 : extractor_.ExtractImageSrc(line, link);
    if (!found) {
        return;
    }
    LinkExtractor::RewriteLinkToLocal(link, siteFolderPath_, subfolder, line);
    LinkExtractor::ResolveLink(startRoot_, pageUrl, subfolder, link);
    // Too deep a link is still rewritten to its local name, as any link not fetched is.
    if ((maxDepth_ > 0 && pageDepth_ >= maxDepth_) || !Admits(link, kind)) {
        return;
    }
    ++linksFound_;
    ++queued;
    seen_.Add(link);
    stack_.Push(std::move(link), pageDepth_ + 1);
}

bool CrawlLinks::Admits(const std::string& link, LinkKind kind) const {
    if (seen_.Contains(link) || !LinkExtractor::PassesTypeFilter(link, project_)) {
        return false;
    }
    // https is a web link like http.
    if (!LinkExtractor::LinkContains("http://", link) &&
        !LinkExtractor::LinkContains("https://", link)) {
        return false;
    }
    if (kind != LinkKind::Image && (LinkExtractor::LinkContains("cgi-bin", link) ||
                                    LinkExtractor::LinkContains("javascript:", link))) {
        return false;
    }
    // On the site is the start's scheme, host and port, never text that contains its root:
    // "http://other.example/?u=<start root>" is another site.
    const std::optional<Url> address = Url::Parse(link);
    return project_.exitDomain == 0 && link.find('#') == std::string::npos && address &&
           address->Origin() == startOrigin_;
}

}  // namespace tarnwick
