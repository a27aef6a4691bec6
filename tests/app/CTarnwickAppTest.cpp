#include <QTest>

#include <filesystem>

#include "app/CTarnwickApp.h"
#include "control/CMainFrame.h"
#include "support/TempFolder.h"

using namespace tarnwick;
using testing::ReadFileBytes;
using testing::TempFolder;
using testing::WriteFileBytes;

// Starts and ends the one application object in scratch working directories, in order.
class CTarnwickAppTest : public QObject {
    Q_OBJECT

private:
    static CTarnwickApp& App() { return *static_cast<CTarnwickApp*>(QCoreApplication::instance()); }

private slots:
    void startingAndExitingWithoutChangesCreatesNoFile() {
        TempFolder folder;
        std::filesystem::current_path(folder.Path());
        QVERIFY(App().InitInstance(false));
        QCOMPARE(QApplication::applicationName(), QStringLiteral("Tarnwick"));
        QVERIFY(App().MainFrame()->isVisible());
        QCOMPARE(App().MainFrame()->windowState() & Qt::WindowMaximized, Qt::WindowMaximized);
        App().ExitInstance();
        QVERIFY(folder.Tree().empty());
    }

    void exitWritesOnlyChangedListsAndClearsTheSlots() {
        TempFolder folder;
        std::filesystem::current_path(folder.Path());
        WriteFileBytes(folder.Path() / "reqfiles.data", "http://h/old.zip\n");
        WriteFileBytes(folder.Path() / "dnldfiles.data", "http://h/done.zip\n");
        QVERIFY(App().InitInstance(false));
        SharedState& state = App().State();
        {
            std::lock_guard lock(state.mutex);
            QCOMPARE(state.RequestedFiles.GetCount(), 1);
            QCOMPARE(state.DownloadedFiles.GetAt(0)->status, std::string("Success"));
            state.RequestedFiles.AppendUrl("http://h/new.zip");
            state.CurrentFileEntry = *state.RequestedFiles.GetAt(1);
        }
        App().ExitInstance();
        QCOMPARE(ReadFileBytes(folder.Path() / "reqfiles.data"),
                 std::string("http://h/old.zip\r\nhttp://h/new.zip\r\n"));
        QCOMPARE(ReadFileBytes(folder.Path() / "dnldfiles.data"), std::string("http://h/done.zip\n"));
        QVERIFY(!state.CurrentFileEntry.has_value());
    }
};

int main(int argc, char** argv) {
    CTarnwickApp app(argc, argv);
    CTarnwickAppTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "CTarnwickAppTest.moc"
