#include "dialogs/CAddSearchDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QVBoxLayout>

#include <algorithm>
#include <string>

#include "control/SearchEngines.h"
#include "dialogs/DialogUnits.h"
#include "dialogs/FieldWidthValidator.h"
#include "dialogs/ScheduleChoice.h"
#include "model/SearchEngineChoice.h"

namespace tarnwick {

namespace {

constexpr int kEngineColumns = 4;

}  // namespace

CAddSearchDlg::CAddSearchDlg(const SearchEngineChoices& engines, QWidget* parent)
    : QDialog(parent),
      name_(new QLineEdit(this)),
      search_(new QLineEdit(this)),
      problems_(new QLabel(this)),
      start_(new ScheduleChoice(QStringLiteral("Run when requested"),
                                QStringLiteral("Start running at (HH:MM)"), this)),
      stop_(new ScheduleChoice(QStringLiteral("Stop when requested"),
                               QStringLiteral("Stop running at (HH:MM)"), this)),
      buttons_(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this)) {
    setWindowTitle(QStringLiteral("Add a Search Project"));
    FieldWidthValidator::LimitField(name_, kNameWidth);
    FieldWidthValidator::LimitField(search_, kSearchStringWidth);
    search_->setMinimumWidth(DialogUnitsToPixels(*search_, 160, 0).width());

    auto* texts = new QGridLayout;
    auto* nameLabel = new QLabel(QStringLiteral("Project name"), this);
    auto* searchLabel = new QLabel(QStringLiteral("Search for"), this);
    nameLabel->setBuddy(name_);
    searchLabel->setBuddy(search_);
    texts->addWidget(nameLabel, 0, 0);
    texts->addWidget(name_, 0, 1);
    texts->addWidget(searchLabel, 1, 0);
    texts->addWidget(search_, 1, 1);
    texts->addWidget(new QLabel(QStringLiteral("on"), this), 1, 2);

    auto* engineGroup = new QGroupBox(QStringLiteral("Search Engines"), this);
    auto* engineLayout = new QGridLayout(engineGroup);
    for (const std::string& name : engines.names) {
        const int i = EngineCount();
        engineNames_.push_back(name);
        // A '&' in a name is shown, not taken for a shortcut mark.
        const QString label =
            QString::fromStdString(name).replace(QLatin1Char('&'), QStringLiteral("&&"));
        engineBoxes_.push_back(new QCheckBox(label, engineGroup));
        engineLayout->addWidget(engineBoxes_.back(), i / kEngineColumns, i % kEngineColumns);
    }
    QStringList problems;
    for (const std::string& problem : engines.problems) {
        problems << QString::fromStdString(problem);
    }
    problems_->setText(problems.join(QLatin1Char('\n')));
    problems_->setWordWrap(true);
    problems_->setVisible(!problems.isEmpty());

    auto* schedules = new QHBoxLayout;
    schedules->addWidget(start_);
    schedules->addSpacing(DialogUnitsToPixels(*this, 16, 0).width());
    schedules->addWidget(stop_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(texts);
    layout->addWidget(engineGroup);
    layout->addWidget(problems_);
    layout->addLayout(schedules);
    layout->addWidget(buttons_);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(buttons_, &QDialogButtonBox::accepted, this, &CAddSearchDlg::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void CAddSearchDlg::FillFromProject(const SearchProject& project) {
    name_->setText(QString::fromStdString(project.name));
    search_->setText(QString::fromStdString(project.searchString));
    chosen_ = project;
    for (int i = 0; i < EngineCount(); ++i) {
        engineBoxes_[i]->setChecked(ChoosesEngine(project, engineNames_[i]));
    }
    start_->Fill(project.runWhenRequested, project.startHour, project.startMinute);
    stop_->Fill(project.stopWhenRequested, project.stopHour, project.stopMinute);
}

SearchProject CAddSearchDlg::ProjectFromDialog() const {
    // From the project filled in, for the choices of engines the catalog lacks.
    SearchProject project = chosen_;
    project.reservedText1.clear();
    project.reservedText2.clear();
    project.name = name_->text().toStdString();
    project.searchString = search_->text().toStdString();
    for (int i = 0; i < EngineCount(); ++i) {
        ChooseEngine(project, engineNames_[i], engineBoxes_[i]->isChecked());
    }
    project.runWhenRequested = start_->WhenRequested();
    project.startHour = start_->Hour();
    project.startMinute = start_->Minute();
    project.stopWhenRequested = stop_->WhenRequested();
    project.stopHour = stop_->Hour();
    project.stopMinute = stop_->Minute();
    project.status = "Ready for download";
    return project;
}

QString CAddSearchDlg::FirstFailedCheck() const {
    if (name_->text().isEmpty()) {
        return QStringLiteral("Enter the project's name!");
    }
    if (search_->text().isEmpty()) {
        return QStringLiteral("Enter the search string");
    }
    if (std::none_of(engineBoxes_.begin(), engineBoxes_.end(),
                     [](const QCheckBox* box) { return box->isChecked(); })) {
        return QStringLiteral("Select at least one search engine");
    }
    if (start_->TimeIncomplete()) {
        return QStringLiteral("Enter the start time");
    }
    if (stop_->TimeIncomplete()) {
        return QStringLiteral("Enter the stop time");
    }
    return {};
}

void CAddSearchDlg::accept() {
    const QString failure = FirstFailedCheck();
    if (failure.isEmpty()) {
        QDialog::accept();
        return;
    }
    QMessageBox message(QMessageBox::Warning, QApplication::applicationDisplayName(), failure,
                        QMessageBox::Ok, this);
    message.exec();
}

}  // namespace tarnwick
