#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/ListCategory.h"
#include "model/SharedState.h"

namespace tarnwick {

// What the entry list shows of one entry: its "Project" and "Status" texts.
using RowTexts = std::pair<std::string, std::string>;

// The rows of a category's list in list order (oldest first), read under the lock.
std::vector<RowTexts> RowsOfCategory(SharedState& state, ListCategory category);

// Inserts each row at the top, oldest first, so the newest entry ends as row 0. Shows
// "Error updating list" and stops at the first row the panel refuses.
void FillEntryRows(SharedState& state, const std::vector<RowTexts>& rows);

// Switches the entry list to the category whose tree item has this text: refills the rows
// and writes the category's texts into the status panel. The current category's own item
// and the two group items change nothing. Returns whether the category changed.
bool ShowCategory(SharedState& state, std::string_view itemText);

// Echoes the selected rows into the status panel, top to bottom, so the lowest selected
// row is what stays shown and becomes SelectedRow.
void EchoSelection(SharedState& state);

}  // namespace tarnwick
