#pragma once

#include <QMainWindow>

#include <filesystem>
#include <map>
#include <memory>

#include "control/DownloadControl.h"
#include "control/EntryCommands.h"
#include "control/EntryEditors.h"
#include "control/LocalCopies.h"
#include "control/WorkerFunctions.h"
#include "dialogs/HelpPages.h"
#include "model/SharedState.h"
#include "window/CommandId.h"
#include "window/DesktopNotifier.h"

class QAction;
class QLineEdit;
class QMimeData;
class QSplitter;
class QSystemTrayIcon;
class QTimer;

namespace tarnwick {

class CDnldList;
class CListPanel;
class CStatusView;
class CTreePanel;
class GuiMessageBoxes;

// The program's only top-level window: menus, toolbar, status bar and the four panes (the
// category tree, the entry list, the downloaded files and the status panel). It turns the
// user's commands into calls of the entry commands and the download control.
class CMainFrame : public QMainWindow, public EntryEvents {
    Q_OBJECT

public:
    // The lists are expected to be read already: the entry list shows the requested files.
    // Without a notifier, notices go to the desktop's notification service.
    CMainFrame(SharedState& state, std::filesystem::path workingDirectory, EntryEditors& editors,
               WorkerFunctions workers, PageOpener opener = DesktopPageOpener(),
               std::unique_ptr<DesktopNotifier> notifier = nullptr, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // "Start a New Project", as the window opens.
    void RunStartDialog();
    // At exit, after the port is closed: cancels the workers and waits for them, keeping the
    // interface responsive so that a worker inside a call to it can finish.
    void ShutdownWorkers();
    // At exit: keeps the entry list's column layout in the settings file.
    void SaveWindowState();
    // Takes new settings at once: stored, applied to the transfers and to the window. False,
    // with a message, when the file could not be written (they still apply for this run).
    bool ApplyPreferences(const Settings& settings);
    const Settings& CurrentSettings() const { return settings_; }

    QAction* Action(CommandId id) const { return actions_.at(id); }
    CTreePanel* TreePanel() const { return treePanel_; }
    CListPanel* ListPanel() const { return listPanel_; }
    CDnldList* DownloadedFiles() const { return downloadedFiles_; }
    CStatusView* StatusView() const { return statusView_; }
    QLineEdit* FilterField() const { return filterField_; }
    QSystemTrayIcon* TrayIcon() const { return tray_; }
    DownloadControl& Control() { return control_; }

    // Adds a requested file for every address in the text or links of pasted or dropped data.
    void AddUrlsOf(const QMimeData& data);

public slots:
    // The minute timer's tick.
    void OnScheduleTimer();

public:
    // A notice for each transfer or crawl that ends, and the tray's progress.
    void EntryChanged(const EntryChange& change) override;
    void EntryEnded(const EntryView& entry, const Outcome& outcome) override;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CreatePanes();
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    void CreateTray();
    void UpdateTray();
    // Opens what the selected entries hold on disk: a file or a site's start page, its folder,
    // or a site's report.
    void OpenSelected(LocalCopy what);
    // The category tree chose the item of this text.
    void ShowCategoryOf(const QString& itemText);
    QAction* AddAction(CommandId id, const QString& text, void (CMainFrame::*handler)());
    void MovePaneFocus(int step);
    // The pane that last had the focus decides whose handlers run.
    CommandSource Source() const;
    void UpdateSendToItems();

    void OnAddFiles();
    void OnAddWebSite();
    void OnAddSearchProject();
    void OnDeleteEntry();
    void OnProperties();
    void OnSendToRequestedFiles();
    void OnSendToRequestedWebSites();
    void OnDownloadSelected();
    void OnStopDownloading();
    void OnDeleteAllLists();
    void OnHelpContents();
    void OnAbout();
    void OnPreferences();
    void OnExit();
    void OnListPanelCommand(int command);

    SharedState& state_;
    std::filesystem::path workingDirectory_;
    Settings settings_;
    EntryCommands commands_;
    DownloadControl control_;
    PageOpener opener_;
    std::map<CommandId, QAction*> actions_;
    QSplitter* splitter_ = nullptr;
    CTreePanel* treePanel_ = nullptr;
    CListPanel* listPanel_ = nullptr;
    QLineEdit* filterField_ = nullptr;
    CDnldList* downloadedFiles_ = nullptr;
    CStatusView* statusView_ = nullptr;
    GuiMessageBoxes* messageBoxes_ = nullptr;
    QWidget* activePane_ = nullptr;
    QTimer* scheduleTimer_ = nullptr;
    QSystemTrayIcon* tray_ = nullptr;
    std::unique_ptr<DesktopNotifier> notifier_;
    bool exiting_ = false;
    std::string shownLayout_;  // the column layout as the window opened, base64
};

}  // namespace tarnwick
