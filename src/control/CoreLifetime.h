#pragma once

#include "engine/net/NetLibrary.h"

namespace tarnwick {

// What the core needs set up once for a program's whole run, before any worker starts, and
// undone after the last one ends: libcurl's process-wide state. Each program's main() owns one.
class CoreLifetime {
    NetLibrary network_;
};

}  // namespace tarnwick
