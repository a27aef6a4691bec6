#include "control/CMainFrame.h"

namespace tarnwick {

CMainFrame::CMainFrame(SharedState& state, QWidget* parent) : QMainWindow(parent), state_(state) {
    setWindowTitle(QStringLiteral("Tarnwick"));
    std::lock_guard lock(state_.mutex);
    state_.CurrentCategory = ListCategory::RequestedFiles;
}

}  // namespace tarnwick
