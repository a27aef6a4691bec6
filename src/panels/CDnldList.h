#pragma once

#include <QTreeWidget>

#include <functional>

#include "model/UiPort.h"

namespace tarnwick {

// The lower left pane: the files saved by site crawls in this run, under their project.
// It starts with the placeholder "No files downloaded". Double-clicking a file item opens
// it in the desktop's program for it. Every port operation may be called from any thread.
class CDnldList : public QTreeWidget, public DownloadedFilesTree {
    Q_OBJECT

public:
    // Opens a local file given by its absolute path.
    using FileOpener = std::function<void(const QString& absolutePath)>;

    explicit CDnldList(QWidget* parent = nullptr);

    // Replaces the desktop opener, so that tests can see what would be opened.
    void SetFileOpener(FileOpener opener) { opener_ = std::move(opener); }

    // Empties the tree when its first top-level item's text contains "No files".
    void ClearPlaceholderItem() override;
    // The first top-level item whose text contains the name (case-sensitive), else a new
    // one at the end; returns its id.
    int FindOrAddProjectItem(const std::string& projectName) override;
    // Appends the path under the project item with that id and expands it; an unknown id,
    // such as one from before the tree was emptied, adds nothing.
    void AddDownloadedFileItem(int projectItem, const std::string& localPath) override;

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QTreeWidgetItem* AddTopLevelItem(const QString& text);
    QTreeWidgetItem* TopLevelItemWithId(int id) const;

    FileOpener opener_;
    // Ids are never reused, so an id outlives nothing but its own item.
    int nextItemId_ = 0;
};

}  // namespace tarnwick
