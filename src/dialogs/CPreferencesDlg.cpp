#include "dialogs/CPreferencesDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

#include "model/ByteRate.h"

namespace tarnwick {

namespace {

QSpinBox* NumberField(int lowest, int highest, int value, const QString& suffix, QWidget* parent) {
    auto* field = new QSpinBox(parent);
    field->setRange(lowest, highest);
    field->setValue(value);
    field->setSuffix(suffix);
    return field;
}

}  // namespace

CPreferencesDlg::CPreferencesDlg(const Settings& settings, const QString& defaultFolder,
                                 QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      downloadFolder_(new QLineEdit(QString::fromStdString(settings.downloadFolder), this)),
      maxConcurrent_(NumberField(1, 100, settings.maxConcurrent, {}, this)),
      limit_(
          new QLineEdit(QString::fromStdString(ByteRateText(settings.limitBytesPerSecond)), this)),
      retries_(NumberField(0, 100, settings.retries, {}, this)),
      stall_(NumberField(1, 3600, settings.stallSeconds, QStringLiteral(" s"), this)),
      userAgent_(new QLineEdit(QString::fromStdString(settings.userAgent), this)),
      webDelay_(NumberField(0, 60000, settings.webDelayMs, QStringLiteral(" ms"), this)),
      ignoreRobots_(new QCheckBox(QStringLiteral("Ignore robots.txt"), this)),
      notify_(new QCheckBox(QStringLiteral("Notify when a download ends or fails"), this)),
      closeToTray_(
          new QCheckBox(QStringLiteral("Closing the window keeps Tarnwick in the tray"), this)),
      problem_(new QLabel(this)) {
    setWindowTitle(QStringLiteral("Preferences"));
    setObjectName(QStringLiteral("preferences"));
    limit_->setPlaceholderText(QStringLiteral("0 for none, or e.g. 500k, 2M"));
    userAgent_->setPlaceholderText(QString::fromStdString(DefaultUserAgent()));
    ignoreRobots_->setChecked(settings.webIgnoreRobots);
    notify_->setChecked(settings.notify);
    closeToTray_->setChecked(settings.closeToTray);

    auto* transfers = new QGroupBox(QStringLiteral("Transfers"), this);
    auto* transferForm = new QFormLayout(transfers);
    downloadFolder_->setPlaceholderText(defaultFolder);
    downloadFolder_->setMinimumWidth(
        std::max(240, fontMetrics().horizontalAdvance(defaultFolder) + 24));
    auto* choose = new QPushButton(QStringLiteral("Choose..."), transfers);
    connect(choose, &QPushButton::clicked, this, [this, defaultFolder] {
        const QString current = downloadFolder_->text().trimmed();
        const QString chosen = QFileDialog::getExistingDirectory(
            this, QStringLiteral("Download folder"), current.isEmpty() ? defaultFolder : current);
        if (!chosen.isEmpty()) {
            downloadFolder_->setText(chosen);
        }
    });
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(downloadFolder_);
    folderRow->addWidget(choose);
    transferForm->addRow(QStringLiteral("Download folder"), folderRow);
    transferForm->addRow(QStringLiteral("Transfers at once"), maxConcurrent_);
    transferForm->addRow(QStringLiteral("Speed limit (all together)"), limit_);
    transferForm->addRow(QStringLiteral("Retries"), retries_);
    transferForm->addRow(QStringLiteral("Retry a transfer stalled for"), stall_);
    transferForm->addRow(QStringLiteral("User-Agent"), userAgent_);

    auto* web = new QGroupBox(QStringLiteral("New web projects"), this);
    auto* webForm = new QFormLayout(web);
    webForm->addRow(QStringLiteral("Wait between requests"), webDelay_);
    webForm->addRow(ignoreRobots_);

    auto* window = new QGroupBox(QStringLiteral("Window"), this);
    auto* windowLayout = new QVBoxLayout(window);
    windowLayout->addWidget(notify_);
    windowLayout->addWidget(closeToTray_);

    problem_->setStyleSheet(QStringLiteral("color: #b00020"));
    problem_->setWordWrap(true);
    problem_->hide();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CPreferencesDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(transfers);
    layout->addWidget(web);
    layout->addWidget(window);
    layout->addWidget(problem_);
    layout->addWidget(buttons);
}

void CPreferencesDlg::accept() {
    const std::string limit = limit_->text().trimmed().toStdString();
    const std::optional<std::uint64_t> rate = limit.empty() ? 0 : ParseByteRate(limit);
    std::string agent = userAgent_->text().trimmed().toStdString();
    if (agent.empty()) {
        agent = DefaultUserAgent();
    }
    const std::string folder = downloadFolder_->text().trimmed().toStdString();
    if (!folder.empty() && !IsUsableDownloadFolder(folder)) {
        problem_->setText(QStringLiteral(
            "The download folder is a full path, such as /home/me/Downloads; empty for Files "
            "in the working folder."));
    } else if (!rate) {
        problem_->setText(QStringLiteral(
            "The speed limit is a number of bytes a second, with k or M: 500k, 2M; 0 for none."));
    } else if (!IsUsableUserAgent(agent)) {
        problem_->setText(QStringLiteral(
            "The User-Agent is up to 200 printable ASCII characters, without line breaks."));
    } else {
        Settings read = settings_;
        read.downloadFolder = folder;
        read.userAgent = agent;
        read.maxConcurrent = maxConcurrent_->value();
        read.limitBytesPerSecond = *rate;
        read.retries = retries_->value();
        read.stallSeconds = stall_->value();
        read.webDelayMs = webDelay_->value();
        read.webIgnoreRobots = ignoreRobots_->isChecked();
        read.notify = notify_->isChecked();
        read.closeToTray = closeToTray_->isChecked();
        settings_ = read;
        QDialog::accept();
        return;
    }
    problem_->show();
}

}  // namespace tarnwick
