#include "model/CompletedFileUrl.h"

namespace tarnwick {

std::string CompletedFileUrl(std::string_view url) {
    if (url.find("//") != std::string_view::npos) {
        return std::string(url);
    }
    return "http://" + std::string(url);
}

}  // namespace tarnwick
