#include "engine/crawl/LineSplitter.h"

#include <algorithm>

namespace tarnwick {

LineSplitter::LineSplitter(std::size_t maxLineBytes)
    : maxLineBytes_(std::max<std::size_t>(maxLineBytes, 1)) {
    pending_.reserve(std::min<std::size_t>(maxLineBytes_, 4096));
}

bool LineSplitter::Emit(bool complete, const LineSink& sink) {
    const bool goOn = sink(pending_, complete);
    pending_.clear();
    return goOn;
}

bool LineSplitter::Feed(std::string_view data, const LineSink& sink) {
    while (!data.empty()) {
        const std::size_t lineFeed = data.find('\n');
        const std::string_view segment = data.substr(0, lineFeed);
        for (const char c : segment) {
            if (c == '\r') {
                continue;
            }
            if (pending_.size() == maxLineBytes_ && !Emit(false, sink)) {
                return false;
            }
            pending_.push_back(c);
        }
        if (lineFeed == std::string_view::npos) {
            return true;
        }
        if (!Emit(true, sink)) {
            return false;
        }
        data.remove_prefix(lineFeed + 1);
    }
    return true;
}

bool LineSplitter::Finish(const LineSink& sink) {
    if (pending_.empty()) {
        return true;
    }
    return Emit(true, sink);
}

}  // namespace tarnwick
