#include <QLineEdit>
#include <QTest>

#include <climits>

#include "TypeText.h"
#include "dialogs/DecimalValue.h"
#include "dialogs/DigitsOnly.h"
#include "dialogs/FieldWidthValidator.h"
#include "model/CompletedFileUrl.h"

using namespace tarnwick;
using tarnwick::testing::TypeText;

// The number read-back, the address completion and the field limits the dialogs share.
class FieldLimitsTest : public QObject {
    Q_OBJECT

private slots:
    void decimalValue_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("letters") << "abc" << 0;
        QTest::newRow("letter first") << "x5" << 0;
        QTest::newRow("plain") << "7" << 7;
        QTest::newRow("leading zeros") << "0018" << 18;
        QTest::newRow("trailing junk") << "12ab" << 12;
        QTest::newRow("leading blanks") << "  5" << 5;
        QTest::newRow("signs") << "-3" << -3;
        QTest::newRow("plus") << "+4" << 4;
        QTest::newRow("int max") << "2147483647" << INT_MAX;
        QTest::newRow("beyond int saturates") << "99999999999999999999" << INT_MAX;
        QTest::newRow("below int saturates") << "-99999999999" << INT_MIN;
    }

    void decimalValue() {
        QFETCH(QString, text);
        QFETCH(int, value);
        QCOMPARE(DecimalValue(text.toStdString()), value);
    }

    void completedFileUrlAddsTheSchemeOnlyWhenNoDoubleSlash() {
        QCOMPARE(CompletedFileUrl("www.example.com/a.zip"),
                 std::string("http://www.example.com/a.zip"));
        QCOMPARE(CompletedFileUrl("ftp://127.0.0.1/a.zip"), std::string("ftp://127.0.0.1/a.zip"));
        QCOMPARE(CompletedFileUrl("host//a"), std::string("host//a"));
        QCOMPARE(CompletedFileUrl("   "), std::string("http://   "));
    }

    void asciiTypingStopsAtTheWidth() {
        QLineEdit field;
        FieldWidthValidator::LimitField(&field, 10);
        TypeText(&field, QStringLiteral("abc"));
        QCOMPARE(field.text(), QStringLiteral("abc"));
        TypeText(&field, QStringLiteral("defghijkl"));
        QCOMPARE(field.text(), QStringLiteral("abcdefghi"));
    }

    void nonAsciiTextIsCountedInBytes() {
        QLineEdit field;
        FieldWidthValidator::LimitField(&field, 10);
        TypeText(&field, QStringLiteral("éééééé"));
        QCOMPARE(field.text(), QStringLiteral("éééé"));
        TypeText(&field, QStringLiteral("aé"));
        QCOMPARE(field.text(), QStringLiteral("ééééa"));
        QCOMPARE(field.text().toUtf8().size(), 9);

        QLineEdit wide;
        FieldWidthValidator::LimitField(&wide, 10);
        TypeText(&wide, QStringLiteral("😀😀😀"));
        QCOMPARE(wide.text(), QStringLiteral("😀😀"));
    }

    void anOverlongInsertionKeepsItsHeadAndTheTextAfterIt() {
        QLineEdit field;
        FieldWidthValidator::LimitField(&field, 10);
        field.setText(QStringLiteral("abc"));
        field.setCursorPosition(1);
        field.insert(QStringLiteral("éééééé"));
        QCOMPARE(field.text(), QStringLiteral("aééébc"));
        QCOMPARE(field.cursorPosition(), 4);
    }

    void textSetByTheProgramIsHeldToTheWidthToo() {
        QLineEdit field;
        FieldWidthValidator::LimitField(&field, 6);
        field.setText(QStringLiteral("ééé"));
        QCOMPARE(field.text(), QStringLiteral("éé"));
    }

    void storedFormCountsWhatTheCallerAdds() {
        QLineEdit field;
        FieldWidthValidator::LimitField(
            &field, 12, [](const QString& text) { return CompletedFileUrl(text.toStdString()); });
        TypeText(&field, QStringLiteral("abcdefgh"));
        QCOMPARE(field.text(), QStringLiteral("abcd"));
        field.clear();
        TypeText(&field, QStringLiteral("f://abcdefgh"));
        QCOMPARE(field.text(), QStringLiteral("f://abcdefg"));
    }

    void digitsOnlyRefusesEverythingElse() {
        QLineEdit field;
        AcceptDigitsOnly(&field);
        TypeText(&field, QStringLiteral("1a2-3 ٣+4"));
        QCOMPARE(field.text(), QStringLiteral("1234"));
    }
};

QTEST_MAIN(FieldLimitsTest)
#include "FieldLimitsTest.moc"
