#pragma once

#include <string>
#include <utility>
#include <vector>

namespace tarnwick {

// The URLs a crawl still has to fetch, last in first out, so the crawl goes depth-first:
// the link found last is fetched next.
class LinkStack {
public:
    void Push(std::string url) { urls_.push_back(std::move(url)); }

    // The top URL, or an empty text when the stack is empty.
    std::string Pop() {
        if (urls_.empty()) {
            return {};
        }
        std::string url = std::move(urls_.back());
        urls_.pop_back();
        return url;
    }

    bool IsEmpty() const { return urls_.empty(); }

private:
    std::vector<std::string> urls_;
};

}  // namespace tarnwick
