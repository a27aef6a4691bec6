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

#include "dialogs/DialogUnits.h"
#include "dialogs/FieldWidthValidator.h"
#include "dialogs/ScheduleChoice.h"

namespace tarnwick {

namespace {

struct Engine {
    const char* label;
    int SearchProject::*flag;
    bool offered;  // only these can be ticked; the others are kept for the record's sake
};

constexpr std::array<Engine, CAddSearchDlg::kEngineCount> kEngines = {{
    {"Altavista", &SearchProject::useAltavista, true},
    {"HotBot", &SearchProject::useHotBot, true},
    {"Yahoo", &SearchProject::useYahoo, true},
    {"Northern Light", &SearchProject::useNorthernLight, false},
    {"WebCrawler", &SearchProject::useWebCrawler, false},
    {"MSN", &SearchProject::useMsn, false},
    {"Go2Net", &SearchProject::useGo2Net, false},
}};
constexpr int kEngineColumns = 4;

}  // namespace

CAddSearchDlg::CAddSearchDlg(QWidget* parent)
    : QDialog(parent),
      name_(new QLineEdit(this)),
      search_(new QLineEdit(this)),
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

    auto* engines = new QGroupBox(QStringLiteral("Search Engines"), this);
    auto* engineLayout = new QGridLayout(engines);
    for (int i = 0; i < kEngineCount; ++i) {
        engineBoxes_[i] = new QCheckBox(QString::fromLatin1(kEngines[i].label), engines);
        engineBoxes_[i]->setEnabled(kEngines[i].offered);
        engineLayout->addWidget(engineBoxes_[i], i / kEngineColumns, i % kEngineColumns);
    }

    auto* schedules = new QHBoxLayout;
    schedules->addWidget(start_);
    schedules->addSpacing(DialogUnitsToPixels(*this, 16, 0).width());
    schedules->addWidget(stop_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(texts);
    layout->addWidget(engines);
    layout->addLayout(schedules);
    layout->addWidget(buttons_);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(buttons_, &QDialogButtonBox::accepted, this, &CAddSearchDlg::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void CAddSearchDlg::FillFromProject(const SearchProject& project) {
    name_->setText(QString::fromStdString(project.name));
    search_->setText(QString::fromStdString(project.searchString));
    for (int i = 0; i < kEngineCount; ++i) {
        engineBoxes_[i]->setChecked(project.*kEngines[i].flag != 0);
    }
    start_->Fill(project.runWhenRequested, project.startHour, project.startMinute);
    stop_->Fill(project.stopWhenRequested, project.stopHour, project.stopMinute);
}

SearchProject CAddSearchDlg::ProjectFromDialog() const {
    SearchProject project;
    project.name = name_->text().toStdString();
    project.searchString = search_->text().toStdString();
    for (int i = 0; i < kEngineCount; ++i) {
        project.*kEngines[i].flag = engineBoxes_[i]->isChecked() ? 1 : 0;
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
