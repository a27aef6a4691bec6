#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>

#include <chrono>
#include <cstdlib>
#include <functional>

#include "control/ScriptedEditors.h"
#include "engine/Workers.h"
#include "model/ListFiles.h"
#include "panels/CDnldList.h"
#include "panels/CListPanel.h"
#include "panels/CStatusView.h"
#include "panels/CTreePanel.h"
#include "support/HttpTestServer.h"
#include "support/TempFolder.h"
#include "window/CMainFrame.h"

using namespace tarnwick;
using testing::HttpTestServer;
using testing::ScriptedEditors;
using testing::TempFolder;

namespace {

WorkerFunctions RealWorkers() {
    return {RunFileDownload, RunFtpDownload, RunSiteCrawl, RunSearchProject};
}

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
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        texts << list->topLevelItem(row)->text(0);
    }
    return texts;
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

        explicit Window(const std::function<void(SharedState&)>& fill = nullptr) {
            if (fill) {
                fill(state);
            }
            frame = std::make_unique<CMainFrame>(state, folder.Path(), editors, RealWorkers(),
                                                 [this](const QUrl& url) { openedPages << url; });
            frame->show();
            QApplication::setActiveWindow(frame.get());
        }
        ~Window() {
            state.ui.Close();
            frame->ShutdownWorkers();
        }
        void Trigger(CommandId id) { frame->Action(id)->trigger(); }
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
        QCOMPARE(window.state.CurrentCategory, ListCategory::SearchProjects);
        QCOMPARE(StatusField(window.frame->StatusView(), "statusField"),
                 QStringLiteral(" 1 search projects ready for download"));
        // Down from the last requested category lands on the "Downloaded Items" group.
        CTreePanel* tree = window.frame->TreePanel();
        tree->setFocus();
        QTest::keyClick(tree, Qt::Key_Down);
        QCOMPARE(tree->currentItem()->text(0), QStringLiteral("Downloaded Items"));
        QCOMPARE(window.state.CurrentCategory, ListCategory::SearchProjects);
        QCOMPARE(list->topLevelItemCount(), 1);
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
        list->topLevelItem(0)->setSelected(true);
        list->topLevelItem(1)->setSelected(true);
        emit list->SelectionTouched();
        QCOMPARE(window.state.SelectedRow, 1);
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
        QCOMPARE(list->topLevelItemCount(), 1);
        list->topLevelItem(0)->setSelected(true);
        window.Trigger(CommandId::DownloadSelected);
        window.Trigger(CommandId::StopDownloading);
        QCOMPARE(list->topLevelItem(0)->text(1), QStringLiteral("Stopped"));
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
        list->topLevelItem(0)->setSelected(true);
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
        const std::string host = "127.0.0.1:" + std::to_string(server.Port());
        ::setenv("TARNWICK_ALTAVISTA_HOST", host.c_str(), 1);
        server.Serve("/cgi-bin/query?pg=q&kl=XX&stype=stext&q=blue+whale&search.x=19&search.y=9",
                     "<a href=\"http://whales.example/blue.htm\">Blue</a>\n");
        Window window;
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
        window.frame->ListPanel()->topLevelItem(0)->setSelected(true);
        window.Trigger(CommandId::DownloadSelected);
        QVERIFY(WaitFor([&window] {
            std::lock_guard lock(window.state.mutex);
            return window.state.SearchResults.GetCount() >= 1 &&
                   window.state.RunningSearchJobs.GetCount() == 0;
        }));
        ::unsetenv("TARNWICK_ALTAVISTA_HOST");
        std::lock_guard lock(window.state.mutex);
        QCOMPARE(window.state.SearchResults.GetAt(0)->url,
                 std::string("http://whales.example/blue.htm"));
        QCOMPARE(window.state.SearchResults.GetAt(0)->status, std::string("Whales"));
    }
};

QTEST_MAIN(CMainFrameTest)
#include "CMainFrameTest.moc"
