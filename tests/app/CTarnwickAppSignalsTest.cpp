#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>

#include "app/CTarnwickApp.h"
#include "dialogs/CStartProjectDlg.h"
#include "dialogs/OnModal.h"
#include "panels/CListPanel.h"
#include "support/HttpTestServer.h"
#include "support/TempFolder.h"
#include "window/CMainFrame.h"

using namespace tarnwick;
using testing::OnModal;
using testing::ReadFileBytes;
using testing::TempFolder;

namespace {

using Clock = std::chrono::steady_clock;

CTarnwickApp& App() {
    return *static_cast<CTarnwickApp*>(QCoreApplication::instance());
}

void AppendRequestedFile(const std::string& url) {
    std::lock_guard lock(App().State().mutex);
    App().State().RequestedFiles.AppendUrl(url);
}

// Runs the whole program; should a stop leave a dialog or the main loop waiting, the
// watchdog ends them and the test sees -1 instead of hanging.
int RunWithWatchdog() {
    bool fired = false;
    QTimer watchdog;
    QObject::connect(&watchdog, &QTimer::timeout, [&fired] {
        fired = true;
        if (QWidget* modal = QApplication::activeModalWidget()) {
            modal->close();
        }
        QCoreApplication::exit(-1);
    });
    watchdog.start(10000);
    const int code = App().Run();
    return fired ? -1 : code;
}

}  // namespace

// A stop signal ends the whole program as File > Exit does, wherever the program is.
class CTarnwickAppSignalsTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        std::filesystem::current_path(folder_.Path());
        std::lock_guard lock(App().State().mutex);
        while (App().State().RequestedFiles.GetCount() > 0) {
            App().State().RequestedFiles.RemoveAt(0);
        }
    }

    // exec has not started yet: the dialog's loop ends, and Run must not enter the main one.
    void aSignalWhileTheStartDialogIsOpenSavesAndNeverEntersTheMainLoop() {
        OnModal<CStartProjectDlg> signalWhileOpen([](CStartProjectDlg*) {
            AppendRequestedFile("http://h/while-starting.zip");
            ::raise(SIGTERM);
        });
        QCOMPARE(RunWithWatchdog(), 143);
        QVERIFY(signalWhileOpen.Fired());
        QCOMPARE(ReadFileBytes(folder_.Path() / "reqfiles.data"),
                 std::string("http://h/while-starting.zip\r\n"));
        QCOMPARE(folder_.Tree(), (std::vector<std::string>{".tarnwick.lock", "reqfiles.data",
                                                           "searchengines.conf"}));
    }

    // The save at the end fails too (a folder where its temporary file goes): its message
    // comes after the main loop has ended and must not wait for an answer.
    void aSignalWhileAMessageBoxIsOpenEndsWithItsCodeThoughTheSaveFails() {
        std::filesystem::create_directory(folder_.Path() / "reqfiles.data.tmp");
        OnModal<CStartProjectDlg> cancelStart([](CStartProjectDlg* dialog) { dialog->reject(); });
        OnModal<QMessageBox> signalWhileOpen([](QMessageBox*) {
            AppendRequestedFile("http://h/while-asking.zip");
            ::raise(SIGHUP);
        });
        QTimer::singleShot(0, [] { App().State().ui.ShowMessage("Connection lost"); });
        QCOMPARE(RunWithWatchdog(), 129);
        QVERIFY(signalWhileOpen.Fired());
        QCOMPARE(folder_.Tree(), (std::vector<std::string>{".tarnwick.lock", "reqfiles.data.tmp",
                                                           "searchengines.conf"}));
    }

    // Twenty transfers stalled mid-body or waiting their turn: the lists are on disk within two
    // seconds.
    void twentyRunningWorkersStopAndTheListsAreSavedWithinTwoSeconds() {
        testing::HttpTestServer server;
        if (!server.Started()) {
            QSKIP("the local HTTP server did not start");
        }
        std::string expected;
        for (int i = 0; i < 20; ++i) {
            const std::string path = "/f" + std::to_string(i) + ".bin";
            testing::HttpResponse response;
            response.body.assign(256 * 1024, 'x');
            response.stallAtByte = 16 * 1024;
            response.stallInBody = std::chrono::seconds(30);
            server.Serve(path, response);
            AppendRequestedFile(server.Url(path));
            expected += server.Url(path) + "\r\n";
        }
        expected += "http://h/late.zip\r\n";
        OnModal<CStartProjectDlg> cancelStart([](CStartProjectDlg* dialog) { dialog->reject(); });
        Clock::time_point signalled;
        QTimer underWay;
        underWay.setInterval(10);
        QObject::connect(&underWay, &QTimer::timeout, [&underWay, &signalled] {
            SharedState& state = App().State();
            {
                std::lock_guard lock(state.mutex);
                for (const FileEntry& entry : state.RequestedFiles.Entries()) {
                    if (entry.status.find("k read") == std::string::npos &&
                        entry.status != "Queued") {
                        return;
                    }
                }
            }
            underWay.stop();
            AppendRequestedFile("http://h/late.zip");
            signalled = Clock::now();
            ::raise(SIGTERM);
        });
        QTimer::singleShot(0, [&underWay] {
            App().MainFrame()->ListPanel()->selectAll();
            App().MainFrame()->Action(CommandId::DownloadSelected)->trigger();
            underWay.start();
        });
        QCOMPARE(RunWithWatchdog(), 143);
        QVERIFY(signalled != Clock::time_point{});
        QVERIFY(Clock::now() - signalled < std::chrono::seconds(2));
        QCOMPARE(ReadFileBytes(folder_.Path() / "reqfiles.data"), expected);
    }

    void cleanup() {
        for (const auto& entry : std::filesystem::directory_iterator(folder_.Path())) {
            std::filesystem::remove_all(entry.path());
        }
    }

private:
    TempFolder folder_;
};

int main(int argc, char** argv) {
    CTarnwickApp app(argc, argv);
    CTarnwickAppSignalsTest test;
    // Qt Test's crash handler would take the stop signals from the application.
    QStringList arguments = QCoreApplication::arguments();
    arguments << QStringLiteral("-nocrashhandler");
    return QTest::qExec(&test, arguments);
}

#include "CTarnwickAppSignalsTest.moc"
