#include "engine/crawl/CrawlTally.h"

#include <string>

namespace tarnwick {

void CrawlTally::NoteFailure(const Outcome& failure, bool keepsRequested) {
    if (!first_) {
        first_ = failure;
    }
    ++failures_;
    keepsRequested_ = keepsRequested_ || keepsRequested;
}

Outcome CrawlTally::Result() const {
    if (!first_) {
        return Outcome::Done();
    }
    if (held_ == 0) {
        return *first_;
    }
    std::string text = "Some errors occurred: " + first_->text;
    if (failures_ > 1) {
        text += " (and " + std::to_string(failures_ - 1) + " more)";
    }
    return Outcome{OutcomeKind::PartlyDone, std::move(text)};
}

}  // namespace tarnwick
