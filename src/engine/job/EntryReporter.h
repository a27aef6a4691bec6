#pragma once

#include <string>

#include "engine/job/EntryNews.h"
#include "model/EntryId.h"
#include "model/ListCategory.h"
#include "model/SharedState.h"

namespace tarnwick {

// The reports of one running entry to the lists and the front ends. The entry is found again
// by its id under the state's mutex for every report, since other threads delete entries
// meanwhile; the front ends are told after the mutex is released. The status panel's texts
// go out only while the panel follows the entry and the window shows its list. Every report
// answers false once the entry has left its list, and then changes nothing.
class EntryReporter {
public:
    EntryReporter(SharedState& state, ListCategory list, EntryId id)
        : state_(state), list_(list), id_(id) {}

    bool IsListed() const;
    bool Report(const EntryNews& news) const;
    bool EchoStatus(const std::string& text) const { return Report({.panelStatus = text}); }
    bool EchoLastAction(const std::string& text) const { return Report({.panelAction = text}); }

    // Moves the entry, with this status, to the end of the downloaded list of its kind under
    // its id; the panel's texts as in news. False when it had left its list already.
    bool MoveTo(ListCategory downloaded, const std::string& status, const EntryNews& panel) const;

private:
    // Shows the panel's texts of the news when the entry is the one followed.
    void EchoIfFollowed(const EntryNews& news, bool followed) const;

    SharedState& state_;
    ListCategory list_;
    EntryId id_;
};

}  // namespace tarnwick
