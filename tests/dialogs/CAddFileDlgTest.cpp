#include <algorithm>

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "OnModal.h"
#include "TypeText.h"
#include "dialogs/CAddFileDlg.h"
#include "model/CompletedFileUrl.h"
#include "model/Records.h"

using namespace tarnwick;
using tarnwick::testing::OnModal;
using tarnwick::testing::TypeText;

// The Add File(s) dialog: the address it hands over on Add and nothing on Cancel.
class CAddFileDlgTest : public QObject {
    Q_OBJECT

private:
    // Shows the dialog modally, types `typed` and ends it with `key`.
    static int TypeAndPress(CAddFileDlg& dialog, const QString& typed, Qt::Key key) {
        OnModal<CAddFileDlg> type([&typed, key](CAddFileDlg* shown) {
            TypeText(shown->UrlField(), typed);
            QTest::keyClick(shown->UrlField(), key);
        });
        const int result = dialog.exec();
        return type.Fired() ? result : -1;
    }

private slots:
    void controlsCarryTheirTexts() {
        CAddFileDlg dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Add File(s)"));
        QCOMPARE(dialog.AddButton()->text(), QStringLiteral("Add"));
        QCOMPARE(dialog.CancelButton()->text(), QStringLiteral("Cancel"));
        QVERIFY(dialog.AddButton()->isDefault());
        const auto labels = dialog.findChildren<QLabel*>();
        QVERIFY(std::any_of(labels.begin(), labels.end(), [](const QLabel* label) {
            return label->text() == QStringLiteral("URL") && label->buddy() != nullptr;
        }));
        QVERIFY(dialog.Url().isEmpty());
    }

    void addHandsOverTheFieldAsTyped_data() {
        QTest::addColumn<QString>("typed");
        QTest::newRow("empty") << "";
        QTest::newRow("only blanks") << "   ";
        QTest::newRow("address") << "127.0.0.1/files/a.zip";
    }

    void addHandsOverTheFieldAsTyped() {
        QFETCH(QString, typed);
        CAddFileDlg dialog;
        QCOMPARE(TypeAndPress(dialog, typed, Qt::Key_Return), int(QDialog::Accepted));
        QCOMPARE(dialog.Url(), typed);
    }

    void cancelAndEscLeaveTheAddressUnread() {
        CAddFileDlg dialog;
        QCOMPARE(TypeAndPress(dialog, QStringLiteral("http://127.0.0.1/a"), Qt::Key_Escape),
                 int(QDialog::Rejected));
        QVERIFY(dialog.Url().isEmpty());

        CAddFileDlg clicked;
        OnModal<CAddFileDlg> cancel([](CAddFileDlg* shown) {
            shown->UrlField()->setText(QStringLiteral("http://127.0.0.1/b"));
            QTest::mouseClick(shown->CancelButton(), Qt::LeftButton);
        });
        QCOMPARE(clicked.exec(), int(QDialog::Rejected));
        QVERIFY(cancel.Fired());
        QVERIFY(clicked.Url().isEmpty());
    }

    void addTakesAChecksumAndALimitOnlyWhenUsable() {
        CAddFileDlg dialog;
        bool refused = false;
        OnModal<CAddFileDlg> fill([&refused](CAddFileDlg* shown) {
            shown->UrlField()->setText(QStringLiteral("http://127.0.0.1/a.iso"));
            shown->ChecksumField()->setText(QStringLiteral("sha256=123"));
            QTest::mouseClick(shown->AddButton(), Qt::LeftButton);
            shown->ChecksumField()->setText(QStringLiteral(" md5=") +
                                            QString(32, QLatin1Char('A')));
            shown->LimitField()->setText(QStringLiteral("fast"));
            QTest::mouseClick(shown->AddButton(), Qt::LeftButton);
            refused = shown->isVisible();
            shown->LimitField()->setText(QStringLiteral("1.5M"));
            QTest::mouseClick(shown->AddButton(), Qt::LeftButton);
        });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QVERIFY(refused);
        QCOMPARE(dialog.Options().checksum, "md5=" + std::string(32, 'A'));
        QCOMPARE(dialog.Options().limitBytesPerSecond, std::uint64_t{1572864});
    }

    void moreAddressesFollowTheFieldAndRefuseASharedChecksum() {
        CAddFileDlg dialog;
        bool refused = false;
        OnModal<CAddFileDlg> fill([&refused](CAddFileDlg* shown) {
            shown->UrlField()->setText(QStringLiteral("127.0.0.1/a.iso"));
            shown->MoreUrlsField()->setPlainText(QStringLiteral("127.0.0.1/b.iso\n\n"));
            shown->ChecksumField()->setText(QStringLiteral("md5=") + QString(32, QLatin1Char('a')));
            QTest::mouseClick(shown->AddButton(), Qt::LeftButton);
            refused = shown->isVisible();
            shown->ChecksumField()->clear();
            shown->LimitField()->setText(QStringLiteral("2M"));
            QTest::mouseClick(shown->AddButton(), Qt::LeftButton);
        });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QVERIFY(refused);
        QCOMPARE(dialog.Url(), QStringLiteral("127.0.0.1/a.iso\n127.0.0.1/b.iso\n\n"));
        QCOMPARE(dialog.Options().limitBytesPerSecond, std::uint64_t{2 * 1024 * 1024});

        // One address in the box alone may carry a checksum.
        CAddFileDlg single;
        OnModal<CAddFileDlg> one([](CAddFileDlg* shown) {
            shown->MoreUrlsField()->setPlainText(QStringLiteral("127.0.0.1/c.iso"));
            shown->ChecksumField()->setText(QStringLiteral("md5=") + QString(32, QLatin1Char('b')));
            QTest::mouseClick(shown->AddButton(), Qt::LeftButton);
        });
        QCOMPARE(single.exec(), int(QDialog::Accepted));
        QCOMPARE(single.Url(), QStringLiteral("\n127.0.0.1/c.iso"));
    }

    void fieldLeavesRoomForTheSchemeTheCallerAdds() {
        CAddFileDlg bare;
        TypeText(bare.UrlField(), QString(300, QLatin1Char('a')));
        QCOMPARE(CompletedFileUrl(bare.UrlField()->text().toStdString()).size(), kUrlWidth - 1);

        CAddFileDlg full;
        TypeText(full.UrlField(), QStringLiteral("ftp://127.0.0.1/") + QString(300, QChar(0x00E9)));
        const std::string stored = CompletedFileUrl(full.UrlField()->text().toStdString());
        QVERIFY(stored.size() <= kUrlWidth - 1);
        QVERIFY(stored.size() >= kUrlWidth - 2);
        QVERIFY(stored.starts_with("ftp://127.0.0.1/"));
    }
};

QTEST_MAIN(CAddFileDlgTest)
#include "CAddFileDlgTest.moc"
