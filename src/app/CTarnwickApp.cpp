#include "app/CTarnwickApp.h"

#include <QScreen>
#include <QSessionManager>
#include <QSocketNotifier>

#include "engine/Workers.h"
#include "model/ListFiles.h"
#include "window/CMainFrame.h"

namespace tarnwick {

CTarnwickApp::CTarnwickApp(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Tarnwick"));
    setApplicationDisplayName(QStringLiteral("Tarnwick"));
    setWindowIcon(QIcon(QStringLiteral(":/pictures/logo.svg")));
    if (stopSignals_.ReadableFd() >= 0) {
        stopNotifier_ =
            std::make_unique<QSocketNotifier>(stopSignals_.ReadableFd(), QSocketNotifier::Read);
        connect(stopNotifier_.get(), &QSocketNotifier::activated, this,
                &CTarnwickApp::OnStopSignal);
    }
    // The desktop session is ending: nobody will choose Exit, so end as it would.
    connect(this, &QGuiApplication::commitDataRequest, this,
            [this](QSessionManager&) { EndAsExitDoes(0); });
}

CTarnwickApp::~CTarnwickApp() = default;

bool CTarnwickApp::InitInstance(bool offerStartDialog) {
    workingDirectory_ = std::filesystem::current_path();
    // Read before the start dialog can add a project, so that its name is checked against
    // the lists and the new project counts as a change that is saved.
    LoadAllLists(state_, workingDirectory_);
    WorkerFunctions workers{RunFileDownload, RunFtpDownload, RunSiteCrawl, RunSearchProject};
    mainFrame_ = std::make_unique<CMainFrame>(state_, workingDirectory_, editors_, workers);
    editors_.SetOwner(mainFrame_.get());
    if (offerStartDialog) {
        mainFrame_->RunStartDialog();
    }
    // Without a window manager nothing maximises the window: fill the screen ourselves.
    if (QScreen* screen = primaryScreen()) {
        mainFrame_->setGeometry(screen->availableGeometry());
    }
    mainFrame_->showMaximized();
    return true;
}

int CTarnwickApp::ExitInstance() {
    state_.ui.Close();
    if (mainFrame_) {
        mainFrame_->ShutdownWorkers();
    }
    SaveAllLists(state_, workingDirectory_);
    ClearHandOverSlots(state_);
    mainFrame_.reset();
    endRequested_.reset();
    return 0;
}

int CTarnwickApp::Run() {
    if (!InitInstance()) {
        ExitInstance();
        return 1;
    }
    // A stop before exec ended only the dialogs' loops: the main one, entered now, would wait
    // forever.
    const int code = endRequested_ ? *endRequested_ : exec();
    ExitInstance();
    return code;
}

void CTarnwickApp::EndAsExitDoes(int exitCode) {
    if (!endRequested_) {
        endRequested_ = exitCode;
    }
    // Ends every event loop, the modal dialogs' too, and any that opens until the end.
    exit(*endRequested_);
}

void CTarnwickApp::OnStopSignal() {
    stopSignals_.Drain();
    EndAsExitDoes(StopSignals::ExitCodeFor(stopSignals_.Caught()));
}

}  // namespace tarnwick
