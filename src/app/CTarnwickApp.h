#pragma once

#include <QApplication>

#include <filesystem>
#include <memory>
#include <optional>

#include "model/SharedState.h"
#include "session/StopSignals.h"
#include "window/DialogEntryEditors.h"

class QSocketNotifier;

namespace tarnwick {

class CMainFrame;

// The application: reads the lists at start, runs the main window, writes them at exit.
class CTarnwickApp : public QApplication {
    Q_OBJECT

public:
    CTarnwickApp(int& argc, char** argv);
    ~CTarnwickApp() override;

    // Reads the six lists from the current working directory (where they are written back
    // at exit), creates the main window, offers the start dialog and shows the window
    // maximised. Tests pass false to skip the dialog.
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

private:
    void OnStopSignal();

    SharedState state_;
    std::filesystem::path workingDirectory_;
    DialogEntryEditors editors_;
    std::unique_ptr<CMainFrame> mainFrame_;
    std::optional<int> endRequested_;
    StopSignals stopSignals_{StopSignals::SecondInterrupt::LikeTheFirst};
    // Declared after the pipe it watches, so that it goes first.
    std::unique_ptr<QSocketNotifier> stopNotifier_;
};

}  // namespace tarnwick
