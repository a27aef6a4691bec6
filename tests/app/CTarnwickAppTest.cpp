#include <QTest>

#include <filesystem>

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/CTarnwickApp.h"
#include "dialogs/CPWGenSettings.h"
#include "dialogs/CProjProps.h"
#include "dialogs/CStartProjectDlg.h"
#include "dialogs/OnModal.h"
#include "panels/CListPanel.h"
#include "panels/EntryRowModel.h"
#include "support/TempFolder.h"
#include "window/CMainFrame.h"

using namespace tarnwick;
using testing::ReadFileBytes;
using testing::TempFolder;
using testing::WriteFileBytes;

// Starts and ends the one application object in scratch working directories, in order.
class CTarnwickAppTest : public QObject {
    Q_OBJECT

private:
    // The folder lock's file stays, empty of lists; only its flock, gone with the process,
    // says whether the folder is in use. The first start writes the default search engines.
    const std::vector<std::string> kOnlyTheLock{".tarnwick.lock", "searchengines.conf"};

    static CTarnwickApp& App() { return *static_cast<CTarnwickApp*>(QCoreApplication::instance()); }

private slots:
    // The one application object outlives each test: every test starts from empty lists, as
    // a new process would.
    void init() {
        SharedState& state = App().State();
        std::lock_guard lock(state.mutex);
        for (ListCategory category : {ListCategory::RequestedFiles, ListCategory::RequestedWebSites,
                                      ListCategory::DownloadedFiles, ListCategory::DownloadedSites,
                                      ListCategory::SearchProjects, ListCategory::SearchResults}) {
            WithCategoryList(state, category, [](auto& list) {
                while (list.GetCount() > 0) {
                    list.RemoveAt(0);
                }
                list.SetModified(0);
            });
        }
    }

    void startingAndExitingWithoutChangesCreatesNoFile() {
        TempFolder folder;
        std::filesystem::current_path(folder.Path());
        QVERIFY(App().InitInstance(false));
        QCOMPARE(QApplication::applicationName(), QStringLiteral("Tarnwick"));
        QVERIFY(App().MainFrame()->isVisible());
        QCOMPARE(App().MainFrame()->windowState() & Qt::WindowMaximized, Qt::WindowMaximized);
        App().ExitInstance();
        QCOMPARE(folder.Tree(), kOnlyTheLock);
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
        QCOMPARE(ReadFileBytes(folder.Path() / "dnldfiles.data"),
                 std::string("http://h/done.zip\n"));
        QVERIFY(!state.CurrentFileEntry.has_value());
    }

    // The project made from the start dialog is checked against the lists read and saved.
    void aProjectFromTheStartDialogIsSavedAfterTheOnesRead() {
        TempFolder folder;
        std::filesystem::current_path(folder.Path());
        const std::string existing =
            "Old site\r\nhttp://old.example/\r\n0\r\n0 0 0 0 0 0 0\r\n1 0 0\r\n1 0 0\r\n"
            "0 0 0\r\n*\r\n";
        WriteFileBytes(folder.Path() / "reqwebs.data", existing);
        testing::OnModal<CProjProps> fillSheet([](CProjProps* sheet) {
            sheet->GeneralSettings()->NameField()->setText(QStringLiteral("From start"));
            sheet->GeneralSettings()->AddressField()->setText(
                QStringLiteral("http://new.example/"));
            sheet->accept();
        });
        testing::OnModal<CStartProjectDlg> chooseWebSite([](CStartProjectDlg* dialog) {
            dialog->ChoiceButton(CStartProjectDlg::kWebSiteProject)->setChecked(true);
            dialog->ProceedButton()->click();
        });
        QVERIFY(App().InitInstance(true));
        QVERIFY(chooseWebSite.Fired());
        QVERIFY(fillSheet.Fired());
        App().ExitInstance();
        const std::string saved = ReadFileBytes(folder.Path() / "reqwebs.data");
        QVERIFY(saved.rfind(existing, 0) == 0);
        QVERIFY(saved.find("From start\r\nhttp://new.example/\r\n") != std::string::npos);
    }

    void aRestartShowsTheListsAsTheyWereAtExit() {
        TempFolder folder;
        std::filesystem::current_path(folder.Path());
        SharedState& state = App().State();
        QVERIFY(App().InitInstance(false));
        {
            std::lock_guard lock(state.mutex);
            state.RequestedFiles.AppendUrl("http://h/first.zip");
            state.RequestedFiles.AppendUrl("http://h/second.zip");
            SearchProject project;
            project.name = "Weather";
            project.searchString = "rain radar";
            project.useYahoo = 1;
            state.SearchProjects.Append(project);
        }
        App().ExitInstance();
        init();  // what a new process starts with
        QVERIFY(App().InitInstance(false));
        {
            std::lock_guard lock(state.mutex);
            QCOMPARE(state.RequestedFiles.GetCount(), 2);
            QCOMPARE(state.RequestedFiles.GetAt(1)->url, std::string("http://h/second.zip"));
            QCOMPARE(state.SearchProjects.GetAt(0)->searchString, std::string("rain radar"));
            QCOMPARE(state.SearchProjects.GetAt(0)->useYahoo, 1);
            QCOMPARE(state.RequestedFiles.IsModified(), 0);
        }
        QCOMPARE(App().MainFrame()->ListPanel()->Rows()->RowAt(0).project,
                 QStringLiteral("http://h/second.zip"));
        App().ExitInstance();
    }

    void deleteAllListsThenExitLeavesNoListFile() {
        TempFolder folder;
        std::filesystem::current_path(folder.Path());
        WriteFileBytes(folder.Path() / "reqfiles.data", "http://h/a.zip\n");
        WriteFileBytes(folder.Path() / "searchres.data", "http://h/found/\n");
        QVERIFY(App().InitInstance(false));
        App().MainFrame()->Action(CommandId::DeleteAllLists)->trigger();
        App().ExitInstance();
        QCOMPARE(folder.Tree(), kOnlyTheLock);
    }
};

int main(int argc, char** argv) {
    CTarnwickApp app(argc, argv);
    CTarnwickAppTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "CTarnwickAppTest.moc"
