#include "engine/net/NetLibrary.h"

#include <curl/curl.h>

namespace tarnwick {

NetLibrary::NetLibrary() : ready_(curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK) {}

NetLibrary::~NetLibrary() {
    if (ready_) {
        curl_global_cleanup();
    }
}

}  // namespace tarnwick
