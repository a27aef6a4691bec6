#include "engine/SearchEngineQuery.h"

#include <cstdlib>

namespace tarnwick {

std::string SearchEngineQuery::Host() const {
    const char* host = std::getenv(hostVariable);
    return host != nullptr && *host != '\0' ? host : defaultHost;
}

std::string SearchEngineQuery::Url(std::string_view encodedText) const {
    std::string url = "http://" + Host() + prefix;
    url += encodedText;
    url += suffix;
    return url;
}

}  // namespace tarnwick
