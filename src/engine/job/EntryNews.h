#pragma once

#include <optional>
#include <string>

#include "model/EntryEvents.h"

namespace tarnwick {

// One report of a running entry; what it leaves unset stays as it was.
struct EntryNews {
    std::optional<std::string> status{};  // what the entry's status shows from now on
    // The status its list keeps from now on, which may differ from what is shown: a file's
    // list keeps "Downloading...%.02fk read" while its row shows size, percent and speed.
    std::optional<std::string> kept{};
    bool save = false;  // the list is to be saved with the kept status
    // The status panel's texts, while the panel follows the entry.
    std::optional<std::string> panelAction{};
    std::optional<std::string> panelStatus{};
    std::optional<TransferSnapshot> progress{};
};

}  // namespace tarnwick
