#include "control/CategoryView.h"

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

template <typename List>
std::vector<RowTexts> RowsOf(const List& list) {
    std::vector<RowTexts> rows;
    rows.reserve(list.Entries().size());
    for (const auto& entry : list.Entries()) {
        rows.emplace_back(KeyOf(entry), entry.status);
    }
    return rows;
}

// Callers hold the lock.
std::vector<RowTexts> RowsOfCategoryLocked(SharedState& state, ListCategory category) {
    return WithCategoryList(state, category, [](const auto& list) { return RowsOf(list); });
}

}  // namespace

std::vector<RowTexts> RowsOfCategory(SharedState& state, ListCategory category) {
    std::lock_guard lock(state.mutex);
    return RowsOfCategoryLocked(state, category);
}

void FillEntryRows(SharedState& state, const std::vector<RowTexts>& rows) {
    if (state.ui.InsertRowsAtTop(rows) < rows.size()) {
        state.ui.ShowMessage("Error updating list");
    }
}

bool ShowCategory(SharedState& state, std::string_view itemText) {
    const std::optional<ListCategory> chosen = CategoryFromTreeText(itemText);
    std::vector<RowTexts> rows;
    {
        std::lock_guard lock(state.mutex);
        // The groups and the category already shown change nothing.
        if (!chosen || *chosen == state.CurrentCategory) {
            return false;
        }
        // Switching and reading the rows in one step: a worker that appends later sees the
        // new category and inserts its own row; one that appended earlier is in the rows.
        state.CurrentCategory = *chosen;
        rows = RowsOfCategoryLocked(state, *chosen);
    }
    state.ui.DeleteAllRows();
    state.ui.SetCurrentProjectText("None");
    state.ui.SetLastActionText(LastActionText(*chosen));
    state.ui.SetStatusText(StatusText(*chosen, rows.size()));
    FillEntryRows(state, rows);
    return true;
}

void EchoSelection(SharedState& state) {
    for (int row = 0; row < state.ui.RowCount(); ++row) {
        if (!state.ui.IsRowSelected(row)) {
            continue;
        }
        const std::string project = state.ui.RowText(row, 0);
        state.ui.SetLastActionText(project + " selected");
        state.ui.SetStatusText(state.ui.RowText(row, 1));
        ListCategory category;
        {
            std::lock_guard lock(state.mutex);
            state.SelectedRow = row;
            category = state.CurrentCategory;
        }
        if (category == ListCategory::RequestedFiles) {
            state.ui.SetCurrentProjectText("None");
        } else if (category == ListCategory::RequestedWebSites) {
            state.ui.SetCurrentProjectText(project);
        }
    }
}

}  // namespace tarnwick
