#pragma once

#include <QApplication>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "control/WorkOrder.h"
#include "model/SharedState.h"
#include "session/FolderLock.h"
#include "session/HandOverWire.h"
#include "session/StopSignals.h"
#include "window/DialogEntryEditors.h"

class QSocketNotifier;

namespace tarnwick {

class CMainFrame;
class HandOverServer;

// The application: reads the lists at start, runs the main window, writes them at exit.
class CTarnwickApp : public QApplication {
    Q_OBJECT

public:
    CTarnwickApp(int& argc, char** argv);
    ~CTarnwickApp() override;

    // Takes the current working directory's lock, reads its six lists (written back at exit),
    // creates the main window, listens for work handed over by other programs, adds the URLs
    // given as arguments, offers the start dialog and shows the window maximised. Tests pass
    // false to skip the dialog. When another Tarnwick holds the folder, the URLs are handed
    // to its window instead (or the user is told that the folder is in use) and false is
    // returned, with ExitCode saying how it went.
    bool InitInstance(bool offerStartDialog = true);
    // Closes the port, stops the workers, writes every modified list and clears the
    // hand-over slots.
    int ExitInstance();
    // InitInstance, the event loop, ExitInstance; the exit code asked for by EndAsExitDoes or
    // given to the event loop.
    int Run();
    // Ends the program as File > Exit does, from wherever it is: every event loop returns, the
    // modal dialogs' too, and Run does not enter the main one. A stop signal calls it with
    // 128 + its number.
    void EndAsExitDoes(int exitCode);

    SharedState& State() { return state_; }
    CMainFrame* MainFrame() { return mainFrame_.get(); }
    int ExitCode() const { return exitCode_; }

private:
    // The URLs among the program's arguments (as a desktop file's %U passes them).
    std::vector<std::string> UrlArguments() const;
    // Another Tarnwick holds the folder: its window takes the URLs, or the user is told.
    void HandOverToHolder();
    // A work order from another program: carried out, shown and saved at once.
    HandOverAnswer TakeHandedOverOrder(const WorkOrder& order);
    void OnStopSignal();

    SharedState state_;
    FolderLock folderLock_;
    std::unique_ptr<HandOverServer> handOver_;
    int exitCode_ = 0;
    std::filesystem::path workingDirectory_;
    DialogEntryEditors editors_;
    std::unique_ptr<CMainFrame> mainFrame_;
    std::optional<int> endRequested_;
    StopSignals stopSignals_{StopSignals::SecondInterrupt::LikeTheFirst};
    // Declared after the pipe it watches, so that it goes first.
    std::unique_ptr<QSocketNotifier> stopNotifier_;
};

}  // namespace tarnwick
