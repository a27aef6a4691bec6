#pragma once

#include <cstddef>
#include <string>

#include "cli/Verb.h"

namespace tarnwick {

// No help line is longer, so that the help reads whole on an 80-column terminal.
constexpr std::size_t kHelpWidth = 79;

// tarnwick-cli --help, and a verb's own --help, made from the command table.
std::string GeneralHelp();
std::string VerbHelp(Verb verb);

}  // namespace tarnwick
