#include "model/ListChanges.h"

namespace tarnwick {

bool RemoveEntry(SharedState& state, ListCategory category, EntryId id) {
    bool removed = false;
    {
        std::lock_guard lock(state.mutex);
        removed = WithCategoryList(state, category, [id](auto& list) { return list.Remove(id); });
    }
    if (removed) {
        state.ui.EntryRemoved(category, id);
    }
    return removed;
}

bool SetEntryStatus(SharedState& state, ListCategory category, EntryId id,
                    const std::string& status, bool kept) {
    EntryChange change{category, id, {}, status, {}, false};
    {
        std::lock_guard lock(state.mutex);
        const bool found = WithCategoryList(state, category, [&](auto& list) {
            auto* entry = list.Find(id);
            if (entry == nullptr) {
                return false;
            }
            entry->status = status;
            FitFields(*entry);
            change.key = KeyOf(*entry);
            if (kept) {
                list.SetModified(1);
            }
            return true;
        });
        if (!found) {
            return false;
        }
    }
    state.ui.EntryChanged(change);
    return true;
}

std::vector<EntryView> ViewsOf(SharedState& state, ListCategory category) {
    std::lock_guard lock(state.mutex);
    return WithCategoryList(state, category, [category](const auto& list) {
        std::vector<EntryView> views;
        views.reserve(static_cast<std::size_t>(list.GetCount()));
        for (const auto& [id, entry] : list.WithIds()) {
            views.push_back(ViewOf(category, id, entry));
        }
        return views;
    });
}

std::optional<EntryView> FindView(SharedState& state, ListCategory category, EntryId id) {
    return WithCategoryList(state, category, [&](const auto& list) -> std::optional<EntryView> {
        const auto* entry = list.Find(id);
        if (entry == nullptr) {
            return std::nullopt;
        }
        return ViewOf(category, id, *entry);
    });
}

}  // namespace tarnwick
