#include "dialogs/CAboutDlg.h"

#include "dialogs/ScaledPicture.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarnwick {

namespace {

constexpr const char* kSiblingProducts[] = {"Quillmark Notes", "Brindle Backup",
                                            "Ferrow FTP Server", "Lanternfish Clipboard",
                                            "Oakum Archiver"};

}  // namespace

CAboutDlg::CAboutDlg(PageOpener opener, QWidget* parent)
    : QDialog(parent),
      opener_(std::move(opener)),
      okButton_(new QPushButton(tr("OK"))),
      productsButton_(new QPushButton(tr("Check out other products"))) {
    setWindowTitle(tr("About Tarnwick"));

    auto* picture = new ScaledPicture(QStringLiteral(":/pictures/logo.svg"), 60);

    auto* title = new QLabel(QStringLiteral("<b>Tarnwick</b> %1").arg(TARNWICK_VERSION));
    auto* tagLine = new QLabel(tr("The ultimate download tool"));

    auto* products = new QGroupBox(tr("Other products from this suite"));
    auto* productList = new QVBoxLayout(products);
    for (const char* name : kSiblingProducts) {
        productList->addWidget(new QLabel(QString::fromUtf8(name)));
    }

    auto* text = new QVBoxLayout;
    text->addWidget(title);
    text->addWidget(tagLine);
    text->addWidget(products);

    auto* top = new QHBoxLayout;
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addLayout(text, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(okButton_);
    buttons->addWidget(productsButton_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);

    okButton_->setDefault(true);
    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
    // Opening the page leaves the box open, so the user can read on.
    connect(productsButton_, &QPushButton::clicked, this,
            [this] { opener_(GuidePage(QStringLiteral("products.html"))); });
}

}  // namespace tarnwick
