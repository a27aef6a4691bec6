#include "engine/job/EntryReporter.h"

#include <type_traits>

#include "model/ListChanges.h"

namespace tarnwick {

bool EntryReporter::IsListed() const {
    std::lock_guard lock(state_.mutex);
    return WithCategoryList(state_, list_,
                            [this](const auto& list) { return list.Find(id_) != nullptr; });
}

bool EntryReporter::Report(const EntryNews& news) const {
    EntryChange change{list_, id_, {}, news.status, news.progress, false};
    bool followed = false;
    {
        std::lock_guard lock(state_.mutex);
        const bool listed = WithCategoryList(state_, list_, [&](auto& list) {
            auto* entry = list.Find(id_);
            if (entry == nullptr) {
                return false;
            }
            if (news.kept) {
                entry->status = *news.kept;
                FitFields(*entry);
                if (news.save) {
                    list.SetModified(1);
                }
            }
            change.key = KeyOf(*entry);
            return true;
        });
        if (!listed) {
            return false;
        }
        followed = IsFollowed(state_, list_, id_);
    }
    if (change.status || change.progress) {
        state_.ui.EntryChanged(change);
    }
    EchoIfFollowed(news, followed);
    return true;
}

bool EntryReporter::MoveTo(ListCategory downloaded, const std::string& status,
                           const EntryNews& panel) const {
    std::optional<EntryView> arrived;
    bool followed = false;
    {
        std::lock_guard lock(state_.mutex);
        WithCategoryList(state_, list_, [&](auto& list) {
            using Record = std::remove_cvref_t<decltype(*list.Find(id_))>;
            const Record* entry = list.Find(id_);
            EntryList<Record>* target = ListOf<Record>(state_, downloaded);
            if (entry == nullptr || target == nullptr) {
                return;
            }
            Record finished = *entry;
            finished.status = status;
            const EntryId id = target->Adopt(std::move(finished), id_);
            arrived = ViewOf(downloaded, id, *target->Find(id));
            list.Remove(id_);
        });
        followed = IsFollowed(state_, list_, id_);
    }
    if (!arrived) {
        return false;
    }
    EchoIfFollowed(panel, followed);
    state_.ui.EntryRemoved(list_, id_);
    state_.ui.EntryAdded(*arrived);
    return true;
}

void EntryReporter::EchoIfFollowed(const EntryNews& news, bool followed) const {
    if (!followed) {
        return;
    }
    if (news.panelAction) {
        state_.ui.SetLastActionText(*news.panelAction);
    }
    if (news.panelStatus) {
        state_.ui.SetStatusText(*news.panelStatus);
    }
}

}  // namespace tarnwick
