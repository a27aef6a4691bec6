#include "window/CMainFrame.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QSplitter>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include "control/CategoryView.h"
#include "dialogs/CAboutDlg.h"
#include "dialogs/CPreferencesDlg.h"
#include "model/ListChanges.h"
#include "model/UrlsInText.h"
#include "panels/CDnldList.h"
#include "panels/CListPanel.h"
#include "panels/CStatusView.h"
#include "panels/CTreePanel.h"
#include "panels/EntryRowModel.h"
#include "panels/GuiMessageBoxes.h"
#include "panels/GuiThread.h"
#include "toolbar/CToolBarEx.h"
#include "toolbar/ToolBarButtons.h"
#include "window/FreedesktopNotifier.h"
#include "window/LockKeyIndicators.h"

namespace tarnwick {

namespace {

constexpr int kScheduleTimerPeriodMs = 60000;

}  // namespace

CMainFrame::CMainFrame(SharedState& state, std::filesystem::path workingDirectory,
                       EntryEditors& editors, WorkerFunctions workers, PageOpener opener,
                       std::unique_ptr<DesktopNotifier> notifier, QWidget* parent)
    : QMainWindow(parent),
      state_(state),
      workingDirectory_(workingDirectory),
      settings_(LoadSettings(workingDirectory)),
      commands_(state, editors, workingDirectory),
      control_(state, std::move(workingDirectory), std::move(workers)),
      opener_(std::move(opener)),
      notifier_(std::move(notifier)) {
    setWindowTitle(QStringLiteral("Tarnwick"));
    setWindowIcon(QIcon(QStringLiteral(":/pictures/logo.svg")));
    CreatePanes();
    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    CreateTray();
    if (!notifier_) {
        notifier_ = std::make_unique<FreedesktopNotifier>(tray_);
    }
    listPanel_->RestoreColumnLayout(
        QByteArray::fromBase64(QByteArray::fromStdString(settings_.columnLayout)));
    shownLayout_ = listPanel_->ColumnLayout().toBase64().toStdString();

    listPanel_->ShowCategory(ListCategory::RequestedFiles,
                             ViewsOf(state_, ListCategory::RequestedFiles));

    scheduleTimer_ = new QTimer(this);
    connect(scheduleTimer_, &QTimer::timeout, this, &CMainFrame::OnScheduleTimer);
    scheduleTimer_->start(kScheduleTimerPeriodMs);
}

CMainFrame::~CMainFrame() {
    // The panes go with the base class, moving the focus about: this object is gone by then.
    disconnect(qApp, nullptr, this, nullptr);
    state_.ui.AttachStatus(nullptr);
    state_.ui.AttachMessages(nullptr);
    for (EntryEvents* subscriber :
         {static_cast<EntryEvents*>(listPanel_), static_cast<EntryEvents*>(downloadedFiles_),
          static_cast<EntryEvents*>(this)}) {
        state_.ui.Unsubscribe(subscriber);
    }
}

void CMainFrame::CreatePanes() {
    treePanel_ = new CTreePanel;
    listPanel_ = new CListPanel;
    downloadedFiles_ = new CDnldList;
    statusView_ = new CStatusView;
    messageBoxes_ = new GuiMessageBoxes(this);
    messageBoxes_->setParent(this);

    // Two columns, each split in two rows: the rows share the column boundary.
    auto* left = new QSplitter(Qt::Vertical);
    left->addWidget(treePanel_);
    left->addWidget(downloadedFiles_);
    // The filter box narrows the entry list as one types.
    filterField_ = new QLineEdit;
    filterField_->setObjectName(QStringLiteral("entryFilter"));
    filterField_->setPlaceholderText(tr("Filter the list"));
    filterField_->setClearButtonEnabled(true);
    connect(filterField_, &QLineEdit::textChanged, listPanel_, &CListPanel::SetFilterText);
    auto* listPane = new QWidget;
    auto* listLayout = new QVBoxLayout(listPane);
    listLayout->setContentsMargins(0, 0, 0, 0);
    listLayout->setSpacing(2);
    listLayout->addWidget(filterField_);
    listLayout->addWidget(listPanel_, 1);
    auto* right = new QSplitter(Qt::Vertical);
    right->addWidget(listPane);
    right->addWidget(statusView_);
    splitter_ = new QSplitter(Qt::Horizontal);
    splitter_->addWidget(left);
    splitter_->addWidget(right);
    splitter_->setStretchFactor(1, 1);
    left->setSizes({300, 300});
    right->setSizes({300, 300});
    // Moving one row boundary moves the other, as in a two-by-two grid.
    connect(left, &QSplitter::splitterMoved, right,
            [left, right] { right->setSizes(left->sizes()); });
    connect(right, &QSplitter::splitterMoved, left,
            [left, right] { left->setSizes(right->sizes()); });
    splitter_->setSizes({320, 900});
    setCentralWidget(splitter_);

    state_.ui.AttachStatus(statusView_);
    state_.ui.AttachMessages(messageBoxes_);
    state_.ui.Subscribe(listPanel_);
    state_.ui.Subscribe(downloadedFiles_);
    state_.ui.Subscribe(this);

    connect(treePanel_, &CTreePanel::ItemChosen, this, &CMainFrame::ShowCategoryOf);
    setAcceptDrops(true);
    connect(listPanel_, &CListPanel::SelectionTouched, this, [this] {
        EchoSelection(state_, listPanel_->ShownCategory(), listPanel_->SelectedIds());
    });
    connect(listPanel_, &CListPanel::CommandChosen, this, &CMainFrame::OnListPanelCommand);

    activePane_ = treePanel_;
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        for (QWidget* pane :
             {static_cast<QWidget*>(treePanel_), static_cast<QWidget*>(listPanel_),
              static_cast<QWidget*>(downloadedFiles_), static_cast<QWidget*>(statusView_)}) {
            if (now != nullptr && (now == pane || pane->isAncestorOf(now))) {
                activePane_ = pane;
            }
        }
    });
}

QAction* CMainFrame::AddAction(CommandId id, const QString& text, void (CMainFrame::*handler)()) {
    auto* action = new QAction(text, this);
    action->setObjectName(QStringLiteral("command%1").arg(static_cast<int>(id)));
    action->setData(static_cast<int>(id));
    connect(action, &QAction::triggered, this, handler);
    actions_[id] = action;
    addAction(action);  // its keys work wherever the focus is in the window
    return action;
}

void CMainFrame::CreateActions() {
    AddAction(CommandId::AddFiles, tr("&Add File(s) \tIns"), &CMainFrame::OnAddFiles)
        ->setShortcut(Qt::Key_Insert);
    AddAction(CommandId::AddWebSite, tr("Add &Web Site \t+"), &CMainFrame::OnAddWebSite)
        ->setShortcut(QKeySequence(Qt::KeypadModifier | Qt::Key_Plus));
    AddAction(CommandId::AddSearchProject, tr("Add Search Project\tCtrl+S"),
              &CMainFrame::OnAddSearchProject)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    AddAction(CommandId::DeleteEntry, tr("&Delete Entry \tDel"), &CMainFrame::OnDeleteEntry)
        ->setShortcut(Qt::Key_Delete);
    AddAction(CommandId::Properties, tr("Properties..."), &CMainFrame::OnProperties);
    AddAction(CommandId::SendToRequestedFiles, tr("Requested Files List"),
              &CMainFrame::OnSendToRequestedFiles);
    AddAction(CommandId::SendToRequestedWebSites, tr("Requested Web Sites"),
              &CMainFrame::OnSendToRequestedWebSites);
    AddAction(CommandId::DownloadSelected, tr("&Selected Projects"),
              &CMainFrame::OnDownloadSelected);
    AddAction(CommandId::StopDownloading, tr("Stop Downloading"), &CMainFrame::OnStopDownloading);
    AddAction(CommandId::DeleteAllLists, tr("&Delete All Lists"), &CMainFrame::OnDeleteAllLists);
    AddAction(CommandId::HelpContents, tr("&Table of Contents..."), &CMainFrame::OnHelpContents);
    AddAction(CommandId::About, tr("&About Tarnwick..."), &CMainFrame::OnAbout);
    AddAction(CommandId::Preferences, tr("&Preferences..."), &CMainFrame::OnPreferences);
    AddAction(CommandId::Exit, tr("E&xit"), &CMainFrame::OnExit);

    actions_[CommandId::AddFiles]->setStatusTip(
        tr("Add one or more files in the 'Requested' list"));
    actions_[CommandId::AddWebSite]->setStatusTip(tr("Add a web site to the 'Requested' list"));
    actions_[CommandId::DeleteEntry]->setStatusTip(tr("Delete selected entries"));

    // Ctrl+V in the list adds every address on the clipboard; the filter box pastes as usual.
    auto* paste = new QAction(tr("Paste Addresses"), listPanel_);
    paste->setObjectName(QStringLiteral("pasteUrls"));
    paste->setShortcut(QKeySequence::Paste);
    paste->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(paste, &QAction::triggered, this, [this] {
        if (const QMimeData* data = QApplication::clipboard()->mimeData()) {
            AddUrlsOf(*data);
        }
    });
    listPanel_->addAction(paste);

    auto* nextPane = new QAction(this);
    nextPane->setShortcut(Qt::Key_F6);
    connect(nextPane, &QAction::triggered, this, [this] { MovePaneFocus(1); });
    addAction(nextPane);
    auto* previousPane = new QAction(this);
    previousPane->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6));
    connect(previousPane, &QAction::triggered, this, [this] { MovePaneFocus(-1); });
    addAction(previousPane);
}

void CMainFrame::CreateMenus() {
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->addAction(actions_[CommandId::DeleteAllLists]);
    file->addSeparator();
    file->addAction(actions_[CommandId::Preferences]);
    file->addSeparator();
    file->addAction(actions_[CommandId::Exit]);

    QMenu* entry = menuBar()->addMenu(tr("&Entry"));
    entry->addAction(actions_[CommandId::AddFiles]);
    entry->addAction(actions_[CommandId::AddWebSite]);
    entry->addAction(actions_[CommandId::AddSearchProject]);
    entry->addSeparator();
    entry->addAction(actions_[CommandId::DeleteEntry]);
    entry->addSeparator();
    QMenu* sendTo = entry->addMenu(tr("Send To"));
    sendTo->addAction(actions_[CommandId::SendToRequestedFiles]);
    sendTo->addAction(actions_[CommandId::SendToRequestedWebSites]);
    entry->addSeparator();
    entry->addAction(actions_[CommandId::Properties]);
    connect(entry, &QMenu::aboutToShow, this, &CMainFrame::UpdateSendToItems);

    QMenu* download = menuBar()->addMenu(tr("&Download"));
    download->addAction(actions_[CommandId::DownloadSelected]);
    download->addSeparator();
    download->addAction(actions_[CommandId::StopDownloading]);

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->addAction(actions_[CommandId::HelpContents]);
    help->addSeparator();
    help->addAction(actions_[CommandId::About]);
}

void CMainFrame::CreateToolBar() {
    auto* bar = new CToolBarEx(tr("Toolbar"), this);
    bar->setObjectName(QStringLiteral("toolBar"));
    bar->AddButtons(kMainToolBarButtons, [this](int commandId) -> QAction* {
        const auto found = actions_.find(static_cast<CommandId>(commandId));
        return found != actions_.end() ? found->second : nullptr;
    });
    addToolBar(Qt::TopToolBarArea, bar);
}

void CMainFrame::CreateStatusBar() {
    statusBar()->showMessage(tr("Ready"));
    statusBar()->addPermanentWidget(new LockKeyIndicators);
}

void CMainFrame::CreateTray() {
    tray_ = new QSystemTrayIcon(windowIcon(), this);
    tray_->setToolTip(QStringLiteral("Tarnwick"));
    auto* menu = new QMenu(this);
    menu->addAction(tr("Show Tarnwick"), this, [this] {
        showNormal();
        raise();
        activateWindow();
    });
    menu->addAction(actions_[CommandId::Exit]);
    tray_->setContextMenu(menu);
    connect(tray_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason why) {
                if (why == QSystemTrayIcon::Trigger) {
                    setVisible(!isVisible());
                }
            });
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        tray_->show();
    }
}

void CMainFrame::ShowCategoryOf(const QString& itemText) {
    const std::optional<ListCategory> chosen =
        CategoryToShow(itemText.toStdString(), listPanel_->ShownCategory());
    if (!chosen) {
        return;
    }
    {
        std::lock_guard lock(state_.mutex);
        state_.CurrentCategory = *chosen;
    }
    const std::vector<EntryView> entries = ViewsOf(state_, *chosen);
    listPanel_->ShowCategory(*chosen, entries);
    EchoCategoryShown(state_, *chosen, entries.size());
    listPanel_->SetSearchResultsShown(*chosen == ListCategory::SearchResults);
    listPanel_->SetOpenCommandsShown(
        *chosen == ListCategory::DownloadedFiles || *chosen == ListCategory::DownloadedSites,
        *chosen == ListCategory::RequestedWebSites || *chosen == ListCategory::DownloadedSites);
}

void CMainFrame::UpdateTray() {
    std::vector<EntryId> files;
    std::size_t count = 0;
    {
        std::lock_guard lock(state_.mutex);
        for (const auto& [id, job] : state_.RunningFileJobs.WithIds()) {
            files.push_back(id);
        }
        count = files.size() + static_cast<std::size_t>(state_.RunningSiteJobs.GetCount());
    }
    const int percent = listPanel_->Rows()->OverallPercent(files);
    QString tip = count == 0 ? tr("Tarnwick: nothing running")
                             : tr("Tarnwick: %n running", nullptr, static_cast<int>(count));
    if (percent >= 0) {
        tip += tr(", %1% of the files").arg(percent);
    }
    tray_->setToolTip(tip);
}

void CMainFrame::EntryChanged(const EntryChange& change) {
    if (change.progress) {
        RunOnGuiThreadAndWait(this, [this] { UpdateTray(); });
    }
}

void CMainFrame::EntryEnded(const EntryView& entry, const Outcome& outcome) {
    RunOnGuiThreadAndWait(this, [this, entry, outcome] {
        const bool noticed = entry.list == ListCategory::RequestedFiles ||
                             entry.list == ListCategory::RequestedWebSites;
        // A job stopped at exit, or whose entry was deleted, has nothing to tell.
        const bool told =
            outcome.kind != OutcomeKind::Interrupted && outcome.kind != OutcomeKind::Cancelled;
        if (settings_.notify && noticed && told) {
            const bool done = outcome.IsDone();
            notifier_->Notify(done ? tr("Download complete") : tr("Download failed"),
                              done ? QString::fromStdString(entry.key)
                                   : QString::fromStdString(entry.key + "\n" + outcome.text),
                              !done);
        }
        UpdateTray();
    });
}

bool CMainFrame::ApplyPreferences(const Settings& settings) {
    settings_ = settings;
    control_.ApplySettings(settings_);
    if (!StoreSettings(workingDirectory_, settings_)) {
        messageBoxes_->ShowMessage("Error saving the settings");
        return false;
    }
    return true;
}

void CMainFrame::SaveWindowState() {
    // Only a layout the user changed is written: an untouched folder gets no new file.
    const std::string layout = listPanel_->ColumnLayout().toBase64().toStdString();
    if (layout != shownLayout_) {
        settings_.columnLayout = layout;
        StoreSettings(workingDirectory_, settings_);
    }
}

void CMainFrame::OpenSelected(LocalCopy what) {
    for (const std::filesystem::path& path :
         LocalCopiesOf(state_, workingDirectory_, settings_, listPanel_->ShownCategory(),
                       listPanel_->SelectedIds(), what)) {
        if (what == LocalCopy::Report && !std::filesystem::exists(path)) {
            messageBoxes_->ShowMessage("No report yet: " + path.string() +
                                       " is written when a run of a portable copy ends.");
            continue;
        }
        opener_(QUrl::fromLocalFile(QString::fromStdString(path.string())));
    }
}

void CMainFrame::MovePaneFocus(int step) {
    const QList<QWidget*> panes = {treePanel_, listPanel_, downloadedFiles_, statusView_};
    const int current = static_cast<int>(panes.indexOf(activePane_));
    const int next = (current + step + panes.size()) % static_cast<int>(panes.size());
    panes[next]->setFocus(Qt::ShortcutFocusReason);
    activePane_ = panes[next];
}

CommandSource CMainFrame::Source() const {
    return activePane_ == listPanel_ ? CommandSource::ListPanel : CommandSource::MainWindow;
}

void CMainFrame::UpdateSendToItems() {
    const bool enabled = Source() != CommandSource::ListPanel || listPanel_->SendToEnabled();
    actions_[CommandId::SendToRequestedFiles]->setEnabled(enabled);
    actions_[CommandId::SendToRequestedWebSites]->setEnabled(enabled);
}

void CMainFrame::OnScheduleTimer() {
    control_.OnScheduleTimer(LocalMinuteNow());
}

void CMainFrame::RunStartDialog() {
    commands_.RunStartDialog();
}

void CMainFrame::ShutdownWorkers() {
    control_.Shutdown([] {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(2);
    });
}

void CMainFrame::OnAddFiles() {
    commands_.OnAddFiles();
}
void CMainFrame::OnAddWebSite() {
    commands_.OnAddWebSite();
}
void CMainFrame::OnAddSearchProject() {
    commands_.OnAddSearchProject();
}
void CMainFrame::OnDeleteEntry() {
    commands_.OnDeleteEntry(listPanel_->ShownCategory(), listPanel_->SelectedIds());
}
void CMainFrame::OnProperties() {
    commands_.OnProperties(listPanel_->ShownCategory(), listPanel_->SelectedIds(), Source());
}
void CMainFrame::OnSendToRequestedFiles() {
    commands_.OnSendToRequestedFiles(listPanel_->ShownCategory(), listPanel_->SelectedIds());
}
void CMainFrame::OnSendToRequestedWebSites() {
    commands_.OnSendToRequestedWebSites(listPanel_->ShownCategory(), listPanel_->SelectedIds(),
                                        Source());
}
void CMainFrame::OnDownloadSelected() {
    control_.StartSelected(listPanel_->ShownCategory(), listPanel_->SelectedIds());
    UpdateTray();
}
void CMainFrame::OnStopDownloading() {
    control_.StopSelected(listPanel_->ShownCategory(), listPanel_->SelectedIds());
}
void CMainFrame::OnDeleteAllLists() {
    commands_.OnDeleteAllLists();
}
void CMainFrame::OnHelpContents() {
    opener_(GuidePage(QStringLiteral("index.html")));
}

void CMainFrame::OnExit() {
    exiting_ = true;
    close();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    // Closing to the tray hides the window; Exit, or the tray's Exit, ends the program.
    if (!exiting_ && settings_.closeToTray && tray_->isVisible()) {
        hide();
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

void CMainFrame::OnPreferences() {
    CPreferencesDlg dialog(
        settings_,
        QString::fromStdString(DownloadFolder::Of(workingDirectory_, {}).Path().string()), this);
    if (dialog.exec() == QDialog::Accepted) {
        ApplyPreferences(dialog.SettingsFromDialog());
    }
}

void CMainFrame::OnAbout() {
    CAboutDlg about(opener_, this);
    about.exec();
}

void CMainFrame::AddUrlsOf(const QMimeData& data) {
    // Links dragged from a browser come as URLs, often with their text beside them: the
    // URLs alone then, so each address is taken once.
    QString text;
    if (data.hasUrls()) {
        for (const QUrl& url : data.urls()) {
            text += url.toString() + QLatin1Char('\n');
        }
    } else {
        text = data.text();
    }
    const std::vector<std::string> urls = UrlsInText(text.toStdString());
    if (urls.empty()) {
        statusBar()->showMessage(tr("No http, https or ftp address to add"), 5000);
        return;
    }
    commands_.AddFileUrls(urls);
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls() || event->mimeData()->hasText()) {
        event->acceptProposedAction();
    }
}

void CMainFrame::dropEvent(QDropEvent* event) {
    AddUrlsOf(*event->mimeData());
    event->acceptProposedAction();
}

void CMainFrame::OnListPanelCommand(int command) {
    switch (command) {
        case CListPanel::DeleteCommand:
            commands_.OnDeleteEntry(listPanel_->ShownCategory(), listPanel_->SelectedIds());
            break;
        case CListPanel::PropertiesCommand:
            commands_.OnProperties(listPanel_->ShownCategory(), listPanel_->SelectedIds(),
                                   CommandSource::ListPanel);
            break;
        case CListPanel::SendToFilesCommand:
            OnSendToRequestedFiles();
            break;
        case CListPanel::SendToWebSitesCommand:
            commands_.OnSendToRequestedWebSites(
                listPanel_->ShownCategory(), listPanel_->SelectedIds(), CommandSource::ListPanel);
            break;
        case CListPanel::OpenCommand:
            OpenSelected(LocalCopy::Entry);
            break;
        case CListPanel::OpenFolderCommand:
            OpenSelected(LocalCopy::ContainingFolder);
            break;
        case CListPanel::OpenReportCommand:
            OpenSelected(LocalCopy::Report);
            break;
        default:
            break;
    }
}

}  // namespace tarnwick
