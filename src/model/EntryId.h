#pragma once

#include <cstdint>

namespace tarnwick {

// The key of one entry for as long as the program runs: given when the entry joins a list,
// kept when it moves to another (a finished file from the requested to the downloaded files),
// never given twice by the lists of one SharedState. Unlike a URL or a project name it tells
// two entries of the same name apart, and unlike a row it does not move.
using EntryId = std::uint64_t;

inline constexpr EntryId kNoEntry = 0;

}  // namespace tarnwick
