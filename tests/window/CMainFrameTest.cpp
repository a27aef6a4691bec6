#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QSpinBox>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>

#include <chrono>
#include <cstdlib>
#include <functional>

#include "../dialogs/OnModal.h"
#include "control/ScriptedEditors.h"
#include "dialogs/CPreferencesDlg.h"
#include "model/ListFiles.h"
#include "model/WebProjectOptions.h"
#include "panels/CDnldList.h"
#include "panels/CListPanel.h"
#include "panels/CStatusView.h"
#include "panels/CTreePanel.h"
#include "panels/EntryRowModel.h"
#include "support/HttpTestServer.h"
#include "support/TempFolder.h"
#include "window/CMainFrame.h"

using namespace tarnwick;
using testing::HttpTestServer;
using testing::ScriptedEditors;
using testing::TempFolder;

namespace {

// Processes events until the condition holds or five seconds have passed.
bool WaitFor(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        QTest::qWait(10);
    }
    return true;
}

// Answers the next modal message box with its default button, recording its text.
void AnswerNextMessageBox(QStringList& seen, QMessageBox::StandardButton button) {
    QTimer::singleShot(0, [&seen, button] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            AnswerNextMessageBox(seen, button);  // not open yet: look again
            return;
        }
        seen << box->text();
        box->done(button);
    });
}

QStringList RowProjects(CListPanel* list) {
    QStringList texts;
    for (int row = 0; row < list->Rows()->Count(); ++row) {
        texts << list->Rows()->RowAt(row).project;
    }
    return texts;
}

QString RowStatus(CListPanel* list, int row) {
    return list->Rows()->RowAt(row).status;
}

// Selects the row the core numbers `row`, wherever the view shows it.
void SelectRow(CListPanel* list, int row) {
    list->selectionModel()->select(list->model()->index(list->ViewRowOf(row), 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

// Records the notices instead of showing them.
class FakeNotifier : public DesktopNotifier {
public:
    explicit FakeNotifier(QStringList& notices) : notices_(notices) {}
    void Notify(const QString& title, const QString& text, bool failed) override {
        notices_ << (failed ? "!" : "") + title + ": " + text;
    }

private:
    QStringList& notices_;
};

QStringList RequestedUrls(SharedState& state) {
    std::lock_guard lock(state.mutex);
    QStringList urls;
    for (const FileEntry& entry : state.RequestedFiles.Entries()) {
        urls << QString::fromStdString(entry.url);
    }
    return urls;
}

void SelectShownRow(CListPanel* list, int shownRow) {
    list->selectionModel()->clearSelection();
    list->selectionModel()->select(list->model()->index(shownRow, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

QString StatusField(CStatusView* view, const char* name) {
    auto* field = view->findChild<QWidget*>(QString::fromLatin1(name));
    return field != nullptr ? field->property("text").toString() : QString();
}

}  // namespace

class CMainFrameTest : public QObject {
    Q_OBJECT

private:
    struct Window {
        TempFolder folder;
        SharedState state;
        ScriptedEditors editors;
        std::unique_ptr<CMainFrame> frame;
        QList<QUrl> openedPages;
        QStringList notices;

        explicit Window(const std::function<void(SharedState&)>& fill = nullptr,
                        const Settings& settings = {}) {
            if (fill) {
                fill(state);
            }
            StoreSettings(folder.Path(), settings);
            frame = std::make_unique<CMainFrame>(
                state, folder.Path(), editors, RealWorkers(),
                [this](const QUrl& url) { openedPages << url; },
                std::make_unique<FakeNotifier>(notices));
            frame->show();
            QApplication::setActiveWindow(frame.get());
        }
        ~Window() {
            state.ui.Close();
            frame->ShutdownWorkers();
        }
        void Trigger(CommandId id) { frame->Action(id)->trigger(); }
        // Adds a file of the server for each path through Add File(s) and starts them all.
        void AddAndStart(HttpTestServer& server, const std::vector<std::string>& paths) {
            for (const std::string& path : paths) {
                editors.fileAnswers.push_back([&server, path](std::string& url) {
                    url = server.Url(path);
                    return true;
                });
                Trigger(CommandId::AddFiles);
            }
            frame->ListPanel()->selectAll();
            Trigger(CommandId::DownloadSelected);
        }
    };

private slots:
    void menusAndToolbarFollowTheCommandTables() {
        Window window;
        QStringList menus;
        for (QAction* menu : window.frame->menuBar()->actions()) {
            menus << menu->text();
        }
        QCOMPARE(menus, (QStringList{"&File", "&Entry", "&Download", "&Help"}));
        QStringList entry;
        for (QAction* item : window.frame->menuBar()->actions()[1]->menu()->actions()) {
            entry << (item->isSeparator() ? QStringLiteral("-") : item->text());
        }
        QCOMPARE(entry, (QStringList{"&Add File(s) \tIns", "Add &Web Site \t+",
                                     "Add Search Project\tCtrl+S", "-", "&Delete Entry \tDel", "-",
                                     "Send To", "-", "Properties..."}));
        auto* bar = window.frame->findChild<QToolBar*>();
        QVERIFY(bar != nullptr);
        QStringList buttons;
        for (QAction* action : bar->actions()) {
            buttons << (action->isSeparator() ? QStringLiteral("-")
                                              : QString::number(action->data().toInt()));
        }
        QCOMPARE(buttons, (QStringList{"32771", "32772", "32790", "-", "32787", "-", "32798",
                                       "32792", "32789", "-", "57664"}));
    }

    void tableOfContentsOpensTheShippedGuide() {
        Window window;
        window.Trigger(CommandId::HelpContents);
        QCOMPARE(window.openedPages.size(), 1);
        QVERIFY(window.openedPages[0].toLocalFile().endsWith(QStringLiteral("docs/index.html")));
        QVERIFY(QFile::exists(window.openedPages[0].toLocalFile()));
    }

    void keysRunTheirCommands() {
        Window window;
        auto press = [&window](QKeySequence keys) {
            QTest::keySequence(window.frame->TreePanel(), keys);
        };
        window.frame->TreePanel()->setFocus();
        press(QKeySequence(Qt::Key_Insert));
        press(QKeySequence(Qt::KeypadModifier | Qt::Key_Plus));
        press(QKeySequence(Qt::CTRL | Qt::Key_S));
        QStringList kinds;
        for (const auto& opened : window.editors.opened) {
            kinds << QString::fromStdString(opened.kind);
        }
        QCOMPARE(kinds, (QStringList{"file", "web", "search"}));
    }

    void treeClicksSwitchCategoriesButGroupsAndTheCurrentOneDoNot() {
        Window window([](SharedState& state) {
            for (const char* url : {"http://h/1", "http://h/2", "http://h/3"}) {
                state.RequestedFiles.AppendUrl(url);
            }
            state.SearchProjects.Append(SearchProject{});
        });
        CListPanel* list = window.frame->ListPanel();
        QCOMPARE(RowProjects(list), (QStringList{"http://h/3", "http://h/2", "http://h/1"}));
        window.frame->TreePanel()->SelectItem("Files");
        QCOMPARE(StatusField(window.frame->StatusView(), "statusField"), QStringLiteral("Ready"));

        window.frame->TreePanel()->SelectItem("Search Projects");
        QCOMPARE(list->ShownCategory(), ListCategory::SearchProjects);
        QCOMPARE(StatusField(window.frame->StatusView(), "statusField"),
                 QStringLiteral(" 1 search projects ready for download"));
        // Down from the last requested category lands on the "Downloaded Items" group.
        CTreePanel* tree = window.frame->TreePanel();
        tree->setFocus();
        QTest::keyClick(tree, Qt::Key_Down);
        QCOMPARE(tree->currentItem()->text(0), QStringLiteral("Downloaded Items"));
        QCOMPARE(list->ShownCategory(), ListCategory::SearchProjects);
        QCOMPARE(list->Rows()->Count(), 1);
    }

    void deleteInSearchResultsIsRefusedAndRowsEchoTheLowestSelected() {
        Window window([](SharedState& state) {
            state.SearchResults.Append(FileEntry{"http://r/a", "Finder"});
            state.SearchResults.Append(FileEntry{"http://r/b", "Finder"});
        });
        window.frame->TreePanel()->SelectItem("Search Results");
        QStringList seen;
        AnswerNextMessageBox(seen, QMessageBox::Ok);
        window.Trigger(CommandId::DeleteEntry);
        QCOMPARE(seen, QStringList{"You are not alowed to delete entries in this panel"});

        CListPanel* list = window.frame->ListPanel();
        SelectRow(list, 0);
        SelectRow(list, 1);
        emit list->SelectionTouched();
        QCOMPARE(window.state.FollowedEntry, list->Rows()->IdAt(1));
        QCOMPARE(StatusField(window.frame->StatusView(), "lastActionField"),
                 QStringLiteral("http://r/a selected"));
    }

    void rightClickWithoutSelectionOpensNoMenuButSetsSendTo() {
        Window window;
        CListPanel* list = window.frame->ListPanel();
        window.frame->TreePanel()->SelectItem("Search Results");
        QTest::mouseClick(list->viewport(), Qt::RightButton, {}, QPoint(20, 20));
        QVERIFY(list->SendToEnabled());
        QVERIFY(!list->ContextMenu()->isVisible());
        window.frame->TreePanel()->SelectItem("Files");
        QTest::mouseClick(list->viewport(), Qt::RightButton, {}, QPoint(20, 20));
        QVERIFY(!list->SendToEnabled());
    }

    void aSortedAndFilteredListStillDeletesTheEntryChosenOnScreen() {
        Window window([](SharedState& state) {
            for (const char* url : {"http://h/b.zip", "http://h/c.iso", "http://h/a.zip"}) {
                state.RequestedFiles.AppendUrl(url);
            }
        });
        CListPanel* list = window.frame->ListPanel();
        list->sortByColumn(EntryRowModel::ProjectColumn, Qt::DescendingOrder);
        SelectShownRow(list, 0);  // c.iso, the core's row 1
        QStringList seen;
        AnswerNextMessageBox(seen, QMessageBox::Yes);
        window.Trigger(CommandId::DeleteEntry);
        QCOMPARE(seen, QStringList{"Are you sure you want to delete that entry?"});
        QCOMPARE(RequestedUrls(window.state), (QStringList{"http://h/b.zip", "http://h/a.zip"}));

        QTest::keyClicks(window.frame->FilterField(), QStringLiteral("A.ZIP"));
        QCOMPARE(list->model()->rowCount(), 1);
        SelectShownRow(list, 0);
        AnswerNextMessageBox(seen, QMessageBox::Yes);
        window.Trigger(CommandId::DeleteEntry);
        QCOMPARE(RequestedUrls(window.state), QStringList{"http://h/b.zip"});
        window.frame->FilterField()->clear();
        QCOMPARE(RowProjects(list), QStringList{"http://h/b.zip"});
    }

    void pastedAndDroppedTextAddsEveryAddressAndNamesTheRefusedOnes() {
        Window window(
            [](SharedState& state) { state.RequestedFiles.AppendUrl("http://h/old.iso"); });
        CListPanel* list = window.frame->ListPanel();
        QApplication::clipboard()->setText(
            QStringLiteral("Mirrors:\nhttp://h/one.zip\r\n<https://h/two.zip>, notes.txt\n"
                           "ftp://h/three.tar.gz http://h/old.iso http://h/one.zip"));
        list->setFocus();
        QStringList seen;
        AnswerNextMessageBox(seen, QMessageBox::Ok);
        QTest::keySequence(list, QKeySequence::Paste);
        QCOMPARE(RequestedUrls(window.state),
                 (QStringList{"http://h/old.iso", "http://h/one.zip", "https://h/two.zip",
                              "ftp://h/three.tar.gz"}));
        QCOMPARE(seen, QStringList{"Already requested, not added again (2):\nhttp://h/old.iso\n"
                                   "http://h/one.zip"});
        QCOMPARE(RowProjects(list).first(), QStringLiteral("ftp://h/three.tar.gz"));

        // Links dropped from a browser: the web ones, not a local file.
        QMimeData links;
        links.setUrls({QUrl(QStringLiteral("http://h/four.zip")),
                       QUrl(QStringLiteral("file:///etc/passwd"))});
        links.setText(QStringLiteral("http://h/four.zip"));
        QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &links, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(window.frame.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &links, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.frame.get(), &drop);
        QCOMPARE(RequestedUrls(window.state).last(), QStringLiteral("http://h/four.zip"));
        QCOMPARE(RequestedUrls(window.state).size(), 5);
        QMimeData words;
        words.setText(QStringLiteral("no address here"));
        QDropEvent plain(QPointF(20, 20), Qt::CopyAction, &words, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.frame.get(), &plain);
        QCOMPARE(RequestedUrls(window.state).size(), 5);
        QCOMPARE(seen.size(), 1);
    }

    void aFileIsDownloadedPausedAndResumedFromTheMenu() {
        HttpTestServer server;
        if (!server.Started()) {
            QSKIP("the local HTTP server did not start");
        }
        const std::string body(200000, 'x');
        testing::HttpResponse slow;
        slow.body = body;
        slow.stallAtByte = 1000;
        slow.stallInBody = std::chrono::milliseconds(300);
        server.Serve("/pub/file.bin", slow);

        Window window;
        window.editors.fileAnswers.push_back([&server](std::string& url) {
            url = server.Url("/pub/file.bin");
            return true;
        });
        window.Trigger(CommandId::AddFiles);
        CListPanel* list = window.frame->ListPanel();
        QCOMPARE(list->Rows()->Count(), 1);
        SelectRow(list, 0);
        window.Trigger(CommandId::DownloadSelected);
        window.Trigger(CommandId::StopDownloading);
        QCOMPARE(RowStatus(list, 0), QStringLiteral("Stopped"));
        window.Trigger(CommandId::DownloadSelected);  // resumes the same worker
        QVERIFY(WaitFor([&window] {
            std::lock_guard lock(window.state.mutex);
            return window.state.DownloadedFiles.GetCount() == 1;
        }));
        QCOMPARE(testing::ReadFileBytes(window.folder.Path() / "Files" / "file.bin"), body);
        QCOMPARE(server.ConnectionCount(), 1);
        window.frame->TreePanel()->SelectItem("Downloaded Files");
        QCOMPARE(RowProjects(list),
                 QStringList{QString::fromStdString(server.Url("/pub/file.bin"))});
    }

    void endsRaiseNoticesAndDownloadedFilesOpen() {
        HttpTestServer server;
        if (!server.Started()) {
            QSKIP("the local HTTP server did not start");
        }
        server.Serve("/pub/ok.bin", std::string(5000, 'x'));
        testing::HttpResponse missing;
        missing.status = 404;
        server.Serve("/pub/gone.bin", missing);
        Window window([](SharedState& state) {
            state.DownloadedFiles.AppendUrl("http://h/before.zip");  // no notice for the past
        });
        CListPanel* list = window.frame->ListPanel();
        window.AddAndStart(server, {"/pub/ok.bin", "/pub/gone.bin"});
        QVERIFY(WaitFor([&window] { return window.notices.size() >= 2; }));
        const QString ok = QString::fromStdString(server.Url("/pub/ok.bin"));
        const QString gone = QString::fromStdString(server.Url("/pub/gone.bin"));
        QVERIFY2(window.notices.contains("Download complete: " + ok),
                 qPrintable(window.notices.join('|')));
        QCOMPARE(window.notices.filter(QStringLiteral("!Download failed: ") + gone).size(), 1);
        QTest::qWait(100);
        QCOMPARE(window.notices.size(), 2);  // each ending once

        // The finished file opens, and so does its folder.
        window.frame->TreePanel()->SelectItem("Downloaded Files");
        QCOMPARE(RowProjects(list), (QStringList{ok, "http://h/before.zip"}));
        SelectRow(list, 0);
        emit list->CommandChosen(CListPanel::OpenCommand);
        emit list->CommandChosen(CListPanel::OpenFolderCommand);
        QCOMPARE(window.openedPages.size(), 2);
        QCOMPARE(window.openedPages[0].toLocalFile(),
                 QString::fromStdString((window.folder.Path() / "Files" / "ok.bin").string()));
        QVERIFY(QFile::exists(window.openedPages[0].toLocalFile()));
        QCOMPARE(window.openedPages[1].toLocalFile(),
                 QString::fromStdString((window.folder.Path() / "Files").string()));
    }

    void aSitesEntryOpensItsStartPageAndItsReport() {
        Window window([](SharedState& state) {
            WebProject site = BlankWebProject();
            site.name = "Docs";
            site.startUrl = "http://h/docs/";
            state.DownloadedSites.Append(site);
            site.name = "Old";
            state.DownloadedSites.Append(site);
        });
        WebProjectOptions portable = NewWebProjectOptions();
        portable.portable = true;
        QVERIFY(StoreWebProjectOptions(window.folder.Path(), "Docs", portable));
        const std::filesystem::path sites = window.folder.Path() / "WebSites";
        CListPanel* list = window.frame->ListPanel();
        window.frame->TreePanel()->SelectItem("Downloaded Sites");
        QCOMPARE(RowProjects(list), (QStringList{"Old", "Docs"}));
        list->selectAll();
        emit list->CommandChosen(CListPanel::OpenCommand);
        QCOMPARE(window.openedPages,
                 (QList<QUrl>{QUrl::fromLocalFile(
                                  QString::fromStdString((sites / "Old" / "default.htm").string())),
                              QUrl::fromLocalFile(QString::fromStdString(
                                  (sites / "Docs" / "docs" / "index.html").string()))}));

        // A report opens once a run has written it; before, a message says why it does not.
        window.openedPages.clear();
        SelectShownRow(list, 1);
        QStringList messages;
        AnswerNextMessageBox(messages, QMessageBox::Ok);
        emit list->CommandChosen(CListPanel::OpenReportCommand);
        QCOMPARE(messages.size(), 1);
        QVERIFY(window.openedPages.isEmpty());
        std::filesystem::create_directories(sites / "Docs");
        testing::WriteFileBytes(sites / "Docs" / "tarnwick-report.html", "<p>report</p>");
        emit list->CommandChosen(CListPanel::OpenReportCommand);
        QCOMPARE(window.openedPages, QList<QUrl>{QUrl::fromLocalFile(QString::fromStdString(
                                         (sites / "Docs" / "tarnwick-report.html").string()))});
    }

    void closingToTheTrayHidesOnlyWhereATrayShowsIt() {
        Settings toTray;
        toTray.closeToTray = true;
        Window window(nullptr, toTray);
        // Without a tray to bring it back from, the window must close as it would otherwise.
        const bool tray = QSystemTrayIcon::isSystemTrayAvailable();
        QCOMPARE(window.frame->close(), !tray);
        QVERIFY(!window.frame->isVisible());
    }

    void preferencesTakeEffectAtOnceAndAreKept() {
        HttpTestServer server;
        if (!server.Started()) {
            QSKIP("the local HTTP server did not start");
        }
        testing::HttpResponse slow;
        slow.body = std::string(4000, 'y');
        slow.stallAtByte = 100;
        slow.stallInBody = std::chrono::milliseconds(1500);
        server.Serve("/a.bin", slow);
        server.Serve("/b.bin", slow);
        Settings oneAtATime;
        oneAtATime.maxConcurrent = 1;
        oneAtATime.notify = false;
        Window window(nullptr, oneAtATime);
        CListPanel* list = window.frame->ListPanel();
        window.AddAndStart(server, {"/a.bin", "/b.bin"});
        auto queuedRows = [list] {
            int queued = 0;
            for (int row = 0; row < list->Rows()->Count(); ++row) {
                queued += RowStatus(list, row) == QStringLiteral("Queued") ? 1 : 0;
            }
            return queued;
        };
        QCOMPARE(queuedRows(), 1);

        const std::filesystem::path chosen = window.folder.Path() / "chosen" / "downloads";
        testing::OnModal<CPreferencesDlg> raise([&chosen](CPreferencesDlg* shown) {
            shown->DownloadFolderField()->setText(QString::fromStdString(chosen.string()));
            shown->MaxConcurrentField()->setValue(2);
            shown->UserAgentField()->setText(QStringLiteral("Probe/9"));
            shown->accept();
        });
        window.Trigger(CommandId::Preferences);
        QVERIFY(raise.Fired());
        // The queued transfer starts without waiting for the first to end.
        QVERIFY(WaitFor([&queuedRows] { return queuedRows() == 0; }));
        QVERIFY(server.ConnectionCount() >= 1);
        const Settings stored = LoadSettings(window.folder.Path());
        QCOMPARE(stored.maxConcurrent, 2);
        QCOMPARE(stored.userAgent, std::string("Probe/9"));
        QVERIFY(!stored.notify);
        QCOMPARE(window.frame->CurrentSettings(), stored);

        // A transfer started now goes to the chosen folder, made for it, and opens there;
        // those already running stay where they began.
        server.Serve("/c.bin", "sea");
        window.AddAndStart(server, {"/c.bin"});
        QVERIFY(WaitFor([&chosen] { return std::filesystem::exists(chosen / "c.bin"); }));
        QVERIFY(WaitFor([&window] {
            std::lock_guard lock(window.state.mutex);
            return window.state.DownloadedFiles.GetCount() == 3;
        }));
        QVERIFY(std::filesystem::exists(window.folder.Path() / "Files" / "a.bin"));
        // Each opens where it went, before the change and after.
        window.frame->TreePanel()->SelectItem("Downloaded Files");
        for (const auto& [name, folder] :
             {std::pair{"/c.bin", chosen}, std::pair{"/a.bin", window.folder.Path() / "Files"}}) {
            list->selectionModel()->clearSelection();
            SelectRow(list, static_cast<int>(RowProjects(list).indexOf(
                                QString::fromStdString(server.Url(name)))));
            emit list->CommandChosen(CListPanel::OpenCommand);
            QCOMPARE(window.openedPages.back().toLocalFile(),
                     QString::fromStdString((folder / std::string(name).substr(1)).string()));
        }
    }

    void aSiteIsCrawledIntoItsFolderAndTheTree() {
        HttpTestServer server;
        if (!server.Started()) {
            QSKIP("the local HTTP server did not start");
        }
        server.Serve("/", "<html>\n<a href=\"docs/page.htm\">docs</a>\n</html>\n");
        server.Serve("/docs/page.htm", "<html>\n<img src=\"pic.gif\" >\n</html>\n");
        server.Serve("/docs/pic.gif", "GIF89a");

        Window window;
        window.editors.webAnswers.push_back([&server](WebProject& project) {
            project.name = "Mirror";
            project.startUrl = server.Url("/");
            project.downloadAll = 1;
            return true;
        });
        window.Trigger(CommandId::AddWebSite);
        window.frame->TreePanel()->SelectItem("Web Sites");
        CListPanel* list = window.frame->ListPanel();
        QCOMPARE(RowProjects(list), QStringList{"Mirror"});
        SelectRow(list, 0);
        window.Trigger(CommandId::DownloadSelected);
        QVERIFY(WaitFor([&window] {
            std::lock_guard lock(window.state.mutex);
            return window.state.DownloadedSites.GetCount() == 1;
        }));
        const auto site = window.folder.Path() / "WebSites" / "Mirror";
        // A project added now makes a portable copy: a folder's page is index.html.
        QVERIFY(std::filesystem::exists(site / "index.html"));
        QCOMPARE(testing::ReadFileBytes(site / "docs" / "pic.gif"), std::string("GIF89a"));
        QVERIFY(window.frame->DownloadedFiles()->topLevelItemCount() >= 1);
        QCOMPARE(window.frame->DownloadedFiles()->topLevelItem(0)->text(0),
                 QStringLiteral("Mirror"));
    }

    void aSearchProjectCollectsResultLinks() {
        HttpTestServer server;
        if (!server.Started()) {
            QSKIP("the local HTTP server did not start");
        }
        server.Serve("/query?q=blue+whale&s=0",
                     "<a href=\"http://whales.example/blue.htm\">Blue</a>\n");
        Window window;
        // The project's old flag asks the engine of that name in the folder's file.
        testing::WriteFileBytes(window.folder.Path() / "searchengines.conf",
                                "[Altavista]\nurl=" + server.Url("/query?q={query}&s={start}") +
                                    "\nresults=href=\"([^\"]+)\"\n");
        window.editors.searchAnswers.push_back([](SearchProject& project) {
            project.name = "Whales";
            project.searchString = "blue whale";
            project.useAltavista = 1;
            project.runWhenRequested = 1;
            project.stopWhenRequested = 1;
            return true;
        });
        window.Trigger(CommandId::AddSearchProject);
        window.frame->TreePanel()->SelectItem("Search Projects");
        SelectRow(window.frame->ListPanel(), 0);
        window.Trigger(CommandId::DownloadSelected);
        QVERIFY(WaitFor([&window] {
            std::lock_guard lock(window.state.mutex);
            return window.state.SearchResults.GetCount() >= 1 &&
                   window.state.RunningSearchJobs.GetCount() == 0;
        }));
        std::lock_guard lock(window.state.mutex);
        QCOMPARE(window.state.SearchResults.GetAt(0)->url,
                 std::string("http://whales.example/blue.htm"));
        QCOMPARE(window.state.SearchResults.GetAt(0)->status, std::string("Whales"));
    }
};

QTEST_MAIN(CMainFrameTest)
#include "CMainFrameTest.moc"
