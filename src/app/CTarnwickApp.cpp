#include "app/CTarnwickApp.h"

#include <QMessageBox>
#include <QScreen>
#include <QSessionManager>
#include <QSocketNotifier>

#include <chrono>

#include "control/SearchEngines.h"
#include "control/WorkerFunctions.h"
#include "model/ListFiles.h"
#include "session/HandOverClient.h"
#include "session/HandOverServer.h"
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
    if (!folderLock_.TryAcquire(workingDirectory_)) {
        HandOverToHolder();
        return false;
    }
    // Listening from the start, however long the lists take to read: a sender is connected at
    // once and answered as soon as the event loop runs, the start dialog's included.
    handOver_ = std::make_unique<HandOverServer>(
        [this](const WorkOrder& order) { return TakeHandedOverOrder(order); });
    handOver_->Listen(workingDirectory_);
    // Read before the start dialog can add a project, so that its name is checked against
    // the lists and the new project counts as a change that is saved.
    LoadAllLists(state_, workingDirectory_);
    // A first start writes the default engines, for the user to see and edit.
    SearchEnginesOf(workingDirectory_);
    editors_.SetWorkingDirectory(workingDirectory_);
    mainFrame_ = std::make_unique<CMainFrame>(state_, workingDirectory_, editors_, RealWorkers());
    editors_.SetOwner(mainFrame_.get());
    mainFrame_->Control().ShowHeldPartials();
    if (const std::vector<std::string> urls = UrlArguments(); !urls.empty()) {
        WorkOrder order;
        order.fileUrls = urls;
        mainFrame_->Control().CarryOut(order);
    }
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
    // No work is taken while the workers stop: a sender then finds the folder still held.
    handOver_.reset();
    state_.ui.Close();
    if (mainFrame_) {
        mainFrame_->SaveWindowState();
        mainFrame_->ShutdownWorkers();
    }
    SaveAllLists(state_, workingDirectory_);
    ClearHandOverSlots(state_);
    mainFrame_.reset();
    folderLock_.Release();
    endRequested_.reset();
    return 0;
}

std::vector<std::string> CTarnwickApp::UrlArguments() const {
    std::vector<std::string> urls;
    const QStringList arguments = QCoreApplication::arguments();
    for (qsizetype index = 1; index < arguments.size(); ++index) {
        if (!arguments[index].startsWith(QLatin1Char('-'))) {
            urls.push_back(arguments[index].toStdString());
        }
    }
    return urls;
}

void CTarnwickApp::HandOverToHolder() {
    WorkOrder order;
    order.fileUrls = UrlArguments();
    // An order without URLs still brings the holding window to the front.
    if (HandOverToWindow(workingDirectory_, order, std::chrono::seconds(2))) {
        exitCode_ = 0;
        return;
    }
    exitCode_ = 1;
    const std::string holder = folderLock_.HolderPid() > 0
                                   ? " (process " + std::to_string(folderLock_.HolderPid()) + ")"
                                   : "";
    QMessageBox::warning(nullptr, QStringLiteral("Tarnwick"),
                         QString::fromStdString("Another Tarnwick" + holder + " is working in " +
                                                workingDirectory_.string() +
                                                ". Its lists stay with it: try again when it "
                                                "has ended."));
}

HandOverAnswer CTarnwickApp::TakeHandedOverOrder(const WorkOrder& order) {
    if (!mainFrame_) {
        return {HandOverAnswer::Verdict::Refused, "the window is not ready yet"};
    }
    const TakenOrder taken = mainFrame_->Control().CarryOut(order);
    SaveAllLists(state_, workingDirectory_);
    mainFrame_->raise();
    mainFrame_->activateWindow();
    if (!taken.unknownNames.empty()) {
        std::string names;
        for (const std::string& name : taken.unknownNames) {
            names += (names.empty() ? "" : ", ") + name;
        }
        return {HandOverAnswer::Verdict::BadRequest, "no requested entry is named " + names};
    }
    const std::size_t count = taken.targets.files.size() + taken.targets.webProjects.size() +
                              taken.targets.searchProjects.size();
    return {HandOverAnswer::Verdict::CarriedOut, std::string(order.start ? "started " : "took ") +
                                                     std::to_string(count) +
                                                     (count == 1 ? " entry" : " entries")};
}

int CTarnwickApp::Run() {
    if (!InitInstance()) {
        return exitCode_;
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
