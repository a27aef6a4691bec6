#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/ListCategory.h"
#include "model/SharedState.h"

namespace tarnwick {

// The category the tree's item of this text chooses, when it changes what the entry list
// shows: nothing for the two group items, for any other text and for the category shown.
std::optional<ListCategory> CategoryToShow(std::string_view itemText, ListCategory shown);

// The status panel's texts for a category the entry list has just begun to show, with the
// number of its entries.
void EchoCategoryShown(SharedState& state, ListCategory category, std::size_t count);

// Echoes the selected entries of the category shown into the status panel, top row first, so
// the lowest selected one is what stays shown and becomes the entry the panel follows.
void EchoSelection(SharedState& state, ListCategory category, const std::vector<EntryId>& selected);

}  // namespace tarnwick
