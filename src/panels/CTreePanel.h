#pragma once

#include <QTreeWidget>

namespace tarnwick {

// The category tree: "Requested Items" and "Downloaded Items" with three categories each.
// A press or a key release reports the text of the selected item; the main window decides
// what choosing it means.
class CTreePanel : public QTreeWidget {
    Q_OBJECT

public:
    explicit CTreePanel(QWidget* parent = nullptr);

    // Selects the item with this text, as a click on it would.
    void SelectItem(const QString& text);

signals:
    void ItemChosen(const QString& text);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void ReportSelectedItem();
};

}  // namespace tarnwick
