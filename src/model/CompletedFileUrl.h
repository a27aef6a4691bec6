#pragma once

#include <string>
#include <string_view>

namespace tarnwick {

// The address a requested file is stored under: "http://" is put in front of an address
// that holds no "//".
std::string CompletedFileUrl(std::string_view url);

}  // namespace tarnwick
