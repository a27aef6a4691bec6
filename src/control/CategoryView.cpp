#include "control/CategoryView.h"

#include "model/ListChanges.h"

namespace tarnwick {

namespace {

const char* LastActionText(ListCategory category) {
    switch (category) {
        case ListCategory::RequestedFiles:
            return "Requested Files List Selected";
        case ListCategory::RequestedWebSites:
            return "Requested Web Sites List Selected";
        case ListCategory::DownloadedFiles:
            return "Downloaded Files List Selected";
        case ListCategory::DownloadedSites:
            return "Downloaded Web Sites List Selected";
        case ListCategory::SearchProjects:
            return "Required Search Projects List Selected";
        case ListCategory::SearchResults:
            return "Search Results List Selected";
    }
    return "";
}

std::string StatusText(ListCategory category, std::size_t count) {
    const std::string number = " " + std::to_string(count);
    switch (category) {
        case ListCategory::RequestedFiles:
            return number + " files ready for download";
        case ListCategory::RequestedWebSites:
            return number + " projects ready for download";
        case ListCategory::DownloadedFiles:
            return number + " files downloaded";
        case ListCategory::DownloadedSites:
            return number + " projects downloaded";
        case ListCategory::SearchProjects:
            return number + " search projects ready for download";
        case ListCategory::SearchResults:
            return number + " search projects completed";
    }
    return number;
}

}  // namespace

std::optional<ListCategory> CategoryToShow(std::string_view itemText, ListCategory shown) {
    const std::optional<ListCategory> chosen = CategoryFromTreeText(itemText);
    if (chosen == shown) {
        return std::nullopt;
    }
    return chosen;
}

void EchoCategoryShown(SharedState& state, ListCategory category, std::size_t count) {
    state.ui.SetCurrentProjectText("None");
    state.ui.SetLastActionText(LastActionText(category));
    state.ui.SetStatusText(StatusText(category, count));
}

void EchoSelection(SharedState& state, ListCategory category,
                   const std::vector<EntryId>& selected) {
    for (const EntryId id : selected) {
        std::optional<EntryView> entry;
        {
            std::lock_guard lock(state.mutex);
            entry = FindView(state, category, id);
            if (entry) {
                state.FollowedEntry = id;
            }
        }
        if (!entry) {
            continue;
        }
        state.ui.SetLastActionText(entry->key + " selected");
        state.ui.SetStatusText(entry->status);
        if (category == ListCategory::RequestedFiles) {
            state.ui.SetCurrentProjectText("None");
        } else if (category == ListCategory::RequestedWebSites) {
            state.ui.SetCurrentProjectText(entry->key);
        }
    }
}

}  // namespace tarnwick
