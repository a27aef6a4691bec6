#pragma once

#include <string>
#include <type_traits>
#include <vector>

#include "model/EntryEvents.h"
#include "model/SharedState.h"

namespace tarnwick {

// Changes to the shared lists that their subscribers hear of: each is made under the lock,
// and told once the lock is released.

template <typename Record>
EntryView ViewOf(ListCategory list, EntryId id, const Record& record) {
    return EntryView{list, id, KeyOf(record), record.status};
}

// The category's list when it holds records of this type, else null. The caller holds the
// lock while it uses the list.
template <typename Record>
EntryList<Record>* ListOf(SharedState& state, ListCategory category) {
    return WithCategoryList(state, category, [](auto& list) -> EntryList<Record>* {
        if constexpr (std::is_base_of_v<EntryList<Record>, std::remove_cvref_t<decltype(list)>>) {
            return &list;
        } else {
            return nullptr;
        }
    });
}

// Appends the record to the category's list; the new entry's id.
template <typename Record>
EntryId AddEntry(SharedState& state, ListCategory category, Record record) {
    EntryView view;
    {
        std::lock_guard lock(state.mutex);
        EntryList<Record>& list = *ListOf<Record>(state, category);
        const EntryId id = list.Append(std::move(record));
        view = ViewOf(category, id, *list.Find(id));
    }
    state.ui.EntryAdded(view);
    return view.id;
}

// The category's entries, oldest first.
std::vector<EntryView> ViewsOf(SharedState& state, ListCategory category);

// The entry's view, or nothing when it is gone. The caller holds the lock.
std::optional<EntryView> FindView(SharedState& state, ListCategory category, EntryId id);

}  // namespace tarnwick
