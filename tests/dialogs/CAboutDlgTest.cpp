#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "dialogs/CAboutDlg.h"

using namespace tarnwick;

class CAboutDlgTest : public QObject {
    Q_OBJECT

private slots:
    void productsButtonOpensThePageAndKeepsTheBoxOpen() {
        QList<QUrl> opened;
        CAboutDlg box([&opened](const QUrl& url) { opened.append(url); });
        box.show();
        box.ProductsButton()->click();
        QCOMPARE(opened.size(), 1);
        QVERIFY(opened[0].toLocalFile().endsWith(QStringLiteral("docs/products.html")));
        QVERIFY(QFile::exists(opened[0].toLocalFile()));
        QVERIFY(box.isVisible());
        box.OkButton()->click();
        QVERIFY(!box.isVisible());
        QCOMPARE(box.result(), int(QDialog::Accepted));
    }

    void escapeAndTheCloseButtonCloseWithoutOpeningAnything() {
        QList<QUrl> opened;
        CAboutDlg box([&opened](const QUrl& url) { opened.append(url); });
        box.show();
        QTest::keyClick(&box, Qt::Key_Escape);
        QVERIFY(!box.isVisible());
        box.show();
        box.close();
        QVERIFY(!box.isVisible());
        QVERIFY(opened.isEmpty());
    }

    void showsTheTagLineAndFiveOtherProducts() {
        CAboutDlg box([](const QUrl&) {});
        QStringList texts;
        for (auto* label : box.findChildren<QLabel*>()) {
            texts << label->text();
        }
        QVERIFY(texts.contains(QStringLiteral("The ultimate download tool")));
        auto* group = box.findChild<QGroupBox*>();
        QVERIFY(group != nullptr);
        QCOMPARE(group->title(), QStringLiteral("Other products from this suite"));
        QCOMPARE(group->findChildren<QLabel*>().size(), 5);
    }
};

QTEST_MAIN(CAboutDlgTest)
#include "CAboutDlgTest.moc"
