#pragma once

#include <QDialog>

#include <string>
#include <vector>

#include "model/Records.h"

class QCheckBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;

namespace tarnwick {

class ScheduleChoice;
struct SearchEngineChoices;

// "Add a Search Project": creates and edits a search project. It reads and writes no list;
// OK closes it only when the fields pass their checks. The engines offered are those of the
// catalog, in its order; its bad entries are listed beneath them.
class CAddSearchDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAddSearchDlg(const SearchEngineChoices& engines, QWidget* parent = nullptr);

    void FillFromProject(const SearchProject& project);
    // The project the fields describe, ready for the search projects list. Engines the
    // project chose that the catalog lacks stay chosen.
    SearchProject ProjectFromDialog() const;

    // The message of the first check the fields fail, in the order OK runs them; empty when
    // they all pass.
    QString FirstFailedCheck() const;
    // OK: shows the first failed check's message and stays open, or closes with OK.
    void accept() override;

    QLineEdit* NameField() const { return name_; }
    QLineEdit* SearchField() const { return search_; }
    int EngineCount() const { return static_cast<int>(engineBoxes_.size()); }
    QCheckBox* EngineBox(int index) const { return engineBoxes_.at(index); }
    // The catalog's bad entries, hidden when it has none.
    QLabel* EngineProblems() const { return problems_; }
    ScheduleChoice* StartSchedule() const { return start_; }
    ScheduleChoice* StopSchedule() const { return stop_; }
    QDialogButtonBox* Buttons() const { return buttons_; }

private:
    QLineEdit* name_;
    QLineEdit* search_;
    std::vector<std::string> engineNames_;
    std::vector<QCheckBox*> engineBoxes_;
    QLabel* problems_;
    // The engine choices as filled in, which boxes then change.
    SearchProject chosen_;
    ScheduleChoice* start_;
    ScheduleChoice* stop_;
    QDialogButtonBox* buttons_;
};

}  // namespace tarnwick
