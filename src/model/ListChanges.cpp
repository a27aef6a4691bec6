#include "model/ListChanges.h"

namespace tarnwick {

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
