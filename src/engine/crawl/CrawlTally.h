#pragma once

#include <optional>

#include "model/Outcome.h"

namespace tarnwick {

// What a crawl got and what failed, and how the crawl ended by them: done when nothing
// failed, the failure's own kind when nothing of the site came, else partly done.
class CrawlTally {
public:
    // A page or file of the site came: stored, read for its links, or unchanged since the
    // last run.
    void NoteHeld() { ++held_; }
    // A URL of the site failed. keepsRequested: the project stays requested with "Some
    // errors occurred" rather than moving to the downloaded sites.
    void NoteFailure(const Outcome& failure, bool keepsRequested);

    bool KeepsRequested() const { return keepsRequested_; }
    Outcome Result() const;

private:
    int held_ = 0;
    int failures_ = 0;
    std::optional<Outcome> first_;
    bool keepsRequested_ = false;
};

}  // namespace tarnwick
