#include "engine/net/TransferErrorText.h"

#include "model/Records.h"

namespace tarnwick {

namespace {
constexpr std::size_t kErrorTextWidth = 200;
}

std::string TransferErrorText(std::string_view message) {
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) {
        message.remove_suffix(1);
    }
    return FittedText(message, kErrorTextWidth);
}

}  // namespace tarnwick
