#pragma once

#include <string_view>

namespace tarnwick {

// The number a text starts with, as the number fields are read back: leading blanks and one
// sign are skipped, text without leading digits gives 0, values beyond int saturate.
int DecimalValue(std::string_view text);

}  // namespace tarnwick
