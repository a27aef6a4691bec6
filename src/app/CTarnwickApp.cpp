#include "app/CTarnwickApp.h"

#include "control/CMainFrame.h"
#include "model/ListFiles.h"

namespace tarnwick {

CTarnwickApp::CTarnwickApp(int& argc, char** argv)
    : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Tarnwick"));
    setApplicationDisplayName(QStringLiteral("Tarnwick"));
}

CTarnwickApp::~CTarnwickApp() = default;

bool CTarnwickApp::InitInstance() {
    workingDirectory_ = std::filesystem::current_path();
    // Read before any window can add an entry, so new entries count as changes.
    LoadAllLists(state_, workingDirectory_);
    mainFrame_ = std::make_unique<CMainFrame>(state_);
    mainFrame_->showMaximized();
    return true;
}

int CTarnwickApp::ExitInstance() {
    state_.ui.Close();
    SaveAllLists(state_, workingDirectory_);
    ClearHandOverSlots(state_);
    mainFrame_.reset();
    return 0;
}

int CTarnwickApp::Run() {
    if (!InitInstance()) {
        ExitInstance();
        return 1;
    }
    const int code = exec();
    ExitInstance();
    return code;
}

}  // namespace tarnwick
