#pragma once

#include <string>

namespace tarnwick {

// The man page tarnwick-cli(1), in roff, made from the command table as the help is.
std::string ManPage();

}  // namespace tarnwick
