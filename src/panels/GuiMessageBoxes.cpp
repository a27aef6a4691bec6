#include "panels/GuiMessageBoxes.h"

#include <QCoreApplication>
#include <QMessageBox>

#include "panels/GuiThread.h"

namespace tarnwick {

namespace {

// Texts may carry server replies; they are shown as they are, never read as markup.
void PrepareBox(QMessageBox& box, const std::string& text) {
    box.setWindowTitle(QCoreApplication::applicationName());
    box.setTextFormat(Qt::PlainText);
    box.setText(QString::fromStdString(text));
}

}  // namespace

GuiMessageBoxes::GuiMessageBoxes(QWidget* owner) : owner_(owner) {}

void GuiMessageBoxes::ShowMessage(const std::string& text) {
    RunOnGuiThreadAndWait(this, [this, &text] {
        QMessageBox box(owner_);
        PrepareBox(box, text);
        box.setIcon(QMessageBox::Warning);
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
    });
}

bool GuiMessageBoxes::AskYesNo(const std::string& question) {
    return RunOnGuiThreadAndWait(this, [this, &question] {
        QMessageBox box(owner_);
        PrepareBox(box, question);
        box.setIcon(QMessageBox::Question);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes;
    });
}

}  // namespace tarnwick
