#include "desktop/error_text.h"

#include <QtTest>

class ErrorTextTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fullStopRule_data();
    void fullStopRule();
};

void ErrorTextTest::fullStopRule_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    // clang-format off
    QTest::newRow("letter") << "'abc' is not a valid integer value" << "'abc' is not a valid integer value.";
    QTest::newRow("apostrophe pair") << "'' is not a valid integer value" << "'' is not a valid integer value.";
    QTest::newRow("full stop") << "Done." << "Done.";
    QTest::newRow("exclamation") << "Stop!" << "Stop!";
    QTest::newRow("closing parenthesis") << "failed (disk)" << "failed (disk)";
    QTest::newRow("digit") << "code 5" << "code 5.";
    QTest::newRow("slash sorts after full stop") << "Unable to write to /a/b/" << "Unable to write to /a/b/.";
    QTest::newRow("Chinese full stop") << QStringLiteral("保存失败。") << QStringLiteral("保存失败。.");
    QTest::newRow("empty") << "" << "";
    // clang-format on
}

void ErrorTextTest::fullStopRule()
{
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QCOMPARE(tavrin::errorBoxText(message), shown);
}

QTEST_GUILESS_MAIN(ErrorTextTest)
#include "error_text_test.moc"
