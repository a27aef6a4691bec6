#pragma once

#include <string>
#include <string_view>

namespace tarnwick {

// Appends the text as a JSON string: quotes, backslashes and control characters escaped;
// other bytes, UTF-8 included, pass through.
void AppendJsonString(std::string& out, std::string_view text);

}  // namespace tarnwick
