#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include "model/UiPort.h"

namespace tarnwick {

// Modal message boxes titled with the application's name, over `owner` when it still
// exists. Callable from any thread: a worker waits until the user has answered.
class GuiMessageBoxes : public QObject, public MessageBoxes {
    Q_OBJECT

public:
    // Construct it on the interface thread; that is where the boxes appear.
    explicit GuiMessageBoxes(QWidget* owner = nullptr);

    // An OK box.
    void ShowMessage(const std::string& text) override;
    // Yes and No; No is the default and the answer to Esc, so a stray Enter deletes nothing.
    bool AskYesNo(const std::string& question) override;

private:
    QPointer<QWidget> owner_;
};

}  // namespace tarnwick
