#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>

#include "control/WorkOrder.h"
#include "session/HandOverWire.h"

namespace tarnwick {

// The sending end: hands a work order to the window that holds the folder and waits for its
// answer. Nothing when no window listens there (another command line holds the folder, or
// the window is gone). Needs a QCoreApplication.
std::optional<HandOverAnswer> HandOverToWindow(const std::filesystem::path& folder,
                                               const WorkOrder& order,
                                               std::chrono::milliseconds timeout);

}  // namespace tarnwick
