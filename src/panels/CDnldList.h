#pragma once

#include <QTreeWidget>

#include <functional>

#include <QHash>

#include "model/EntryEvents.h"

namespace tarnwick {

// The lower left pane: the files saved by site crawls in this run, under their project.
// It starts with the placeholder "No files downloaded", which the first crawl's start takes
// away. Double-clicking a file item opens it in the desktop's program for it. The entry events
// may come from any thread.
class CDnldList : public QTreeWidget, public EntryEvents {
    Q_OBJECT

public:
    // Opens a local file given by its absolute path.
    using FileOpener = std::function<void(const QString& absolutePath)>;

    explicit CDnldList(QWidget* parent = nullptr);

    // Replaces the desktop opener, so that tests can see what would be opened.
    void SetFileOpener(FileOpener opener) { opener_ = std::move(opener); }

    // The project's item: the first top-level item whose text contains its name
    // (case-sensitive), else a new one at the end.
    void CrawlBegan(EntryId project, const std::string& name) override;
    // Appends the path under the item of the crawl's start and expands it; a crawl whose
    // start it has not seen adds nothing.
    void FileStored(EntryId project, const std::string& name,
                    const std::string& localPath) override;

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    FileOpener opener_;
    // The item of each crawl's project. Items are never removed, so the pointers hold.
    QHash<EntryId, QTreeWidgetItem*> projectItems_;
};

}  // namespace tarnwick
