#pragma once

#include <QApplication>

#include <filesystem>
#include <memory>

#include "model/SharedState.h"
#include "window/DialogEntryEditors.h"

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
    // InitInstance, the event loop, ExitInstance.
    int Run();

    SharedState& State() { return state_; }
    CMainFrame* MainFrame() { return mainFrame_.get(); }

private:
    SharedState state_;
    std::filesystem::path workingDirectory_;
    DialogEntryEditors editors_;
    std::unique_ptr<CMainFrame> mainFrame_;
};

}  // namespace tarnwick
