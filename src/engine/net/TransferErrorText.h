#pragma once

#include <string>
#include <string_view>

namespace tarnwick {

// The text a worker stores as its entry's status when a transfer fails: the network
// layer's message, cut to 199 bytes (the old 200-byte buffer) without a broken character.
std::string TransferErrorText(std::string_view message);

}  // namespace tarnwick
