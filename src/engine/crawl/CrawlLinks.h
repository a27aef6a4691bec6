#pragma once

#include <string>
#include <string_view>

#include "engine/LinkExtractor.h"
#include "engine/crawl/LinkStack.h"
#include "engine/crawl/SeenLinks.h"
#include "model/Records.h"

namespace tarnwick {

// The links of one crawl: the URLs still to fetch, every URL ever queued, and the rules
// that admit a link found on a page.
class CrawlLinks {
public:
    // siteFolderPath: where the stored pages' links are made to point. maxDepth: how many
    // links away from the start page a link may be to be queued; 0 sets no limit.
    CrawlLinks(WebProject project, std::string siteFolderPath, int maxDepth = 0);

    // Makes the start URL absolute, queues it and takes the start root from it.
    void QueueStart(std::string_view startUrl);

    const std::string& StartRoot() const { return startRoot_; }
    bool IsEmpty() const { return stack_.IsEmpty(); }
    int QueuedCount() const { return stack_.Count(); }
    // The next URL to fetch; the links its page holds are one further from the start.
    std::string Next() {
        LinkStack::Link link = stack_.Pop();
        pageDepth_ = link.depth;
        return std::move(link.url);
    }
    int LinksFound() const { return linksFound_; }

    // The href, frame and image steps on one line of a page, in this order: each link found
    // is rewritten in the line to point to the local copy, resolved against the page and
    // queued if admitted. Returns how many links were queued.
    int ScanLine(std::string& line, std::string_view pageUrl, std::string_view subfolder);

private:
    enum class LinkKind { Href, Frame, Image };

    void Step(LinkKind kind, std::string& line, std::string_view pageUrl,
              std::string_view subfolder, int& queued);
    bool Admits(const std::string& link, LinkKind kind) const;

    WebProject project_;
    std::string siteFolderPath_;
    std::string startRoot_;
    std::string startOrigin_;  // empty when the start is no web address: nothing admitted
    LinkExtractor extractor_;  // one per crawl: it pairs an image tag with a later src
    LinkStack stack_;
    SeenLinks seen_;
    int linksFound_ = 0;
    int maxDepth_ = 0;
    int pageDepth_ = 0;  // of the URL Next gave last: the page being scanned
};

}  // namespace tarnwick
