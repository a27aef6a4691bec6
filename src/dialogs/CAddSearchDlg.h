#pragma once

#include <QDialog>

#include <array>

#include "model/Records.h"

class QCheckBox;
class QDialogButtonBox;
class QLineEdit;

namespace tarnwick {

class ScheduleChoice;

// "Add a Search Project": creates and edits a search project. It reads and writes no list;
// OK closes it only when the fields pass their checks.
class CAddSearchDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int kEngineCount = 7;

    explicit CAddSearchDlg(QWidget* parent = nullptr);

    void FillFromProject(const SearchProject& project);
    // The project the fields describe, ready for the search projects list.
    SearchProject ProjectFromDialog() const;

    // The message of the first check the fields fail, in the order OK runs them; empty when
    // they all pass.
    QString FirstFailedCheck() const;
    // OK: shows the first failed check's message and stays open, or closes with OK.
    void accept() override;

    QLineEdit* NameField() const { return name_; }
    QLineEdit* SearchField() const { return search_; }
    // Altavista, HotBot, Yahoo, Northern Light, WebCrawler, MSN, Go2Net, in this order.
    QCheckBox* EngineBox(int index) const { return engineBoxes_.at(index); }
    ScheduleChoice* StartSchedule() const { return start_; }
    ScheduleChoice* StopSchedule() const { return stop_; }
    QDialogButtonBox* Buttons() const { return buttons_; }

private:
    QLineEdit* name_;
    QLineEdit* search_;
    std::array<QCheckBox*, kEngineCount> engineBoxes_{};
    ScheduleChoice* start_;
    ScheduleChoice* stop_;
    QDialogButtonBox* buttons_;
};

}  // namespace tarnwick
