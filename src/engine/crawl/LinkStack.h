#pragma once

#include <string>
#include <utility>
#include <vector>

namespace tarnwick {

// The URLs a crawl still has to fetch, last in first out, so the crawl goes depth-first:
// the link found last is fetched next. Each keeps how many links away from the start it is.
class LinkStack {
public:
    struct Link {
        std::string url;
        int depth = 0;
    };

    void Push(std::string url, int depth) { links_.push_back({std::move(url), depth}); }

    // The top link, or an empty one when the stack is empty.
    Link Pop() {
        if (links_.empty()) {
            return {};
        }
        Link link = std::move(links_.back());
        links_.pop_back();
        return link;
    }

    bool IsEmpty() const { return links_.empty(); }
    int Count() const { return static_cast<int>(links_.size()); }

private:
    std::vector<Link> links_;
};

}  // namespace tarnwick
