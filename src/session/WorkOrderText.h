#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "control/WorkOrder.h"

namespace tarnwick {

// A work order as it crosses the hand-over socket. Entries travel in the list files' own
// record formats, each section prefixed with its length in bytes, so that every text a list
// can hold arrives as it was sent:
//   tarnwick-order 1\n start 0|1\n all 0|1\n depth -|N\n files N\n<N bytes> webs N\n... webtexts
//   N\n... searches N\n... names N\n<N bytes: one name a line>
// webtexts holds what the web record leaves out: other types, user name and password, one a
// line for each project.
std::string EncodeWorkOrder(const WorkOrder& order);
// Nothing when the text is not a whole order of this version.
std::optional<WorkOrder> DecodeWorkOrder(std::string_view text);

}  // namespace tarnwick
