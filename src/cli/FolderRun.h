#pragma once

#include "cli/CommandLine.h"
#include "cli/TerminalProgress.h"
#include "session/StopSignals.h"

namespace tarnwick {

// Carries out a command line in this process, which holds the folder's lock: reads the
// lists, adds and starts what the order asks for, waits for the workers while drawing their
// progress, and saves the changed lists, every minute and at the end. A stop signal ends it
// as the window's Exit does: workers stop and the lists are saved. Returns the exit code.
int RunInFolder(const CommandLine& command, TerminalProgress& terminal, StopSignals& stopSignals);

}  // namespace tarnwick
