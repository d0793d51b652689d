#include "pedals/known_pedals.h"

#include <QFile>
#include <QRegularExpression>
#include <QtTest>

using namespace Qt::StringLiterals;

// The udev rule file grants the seat's user each known pedal, and nothing else.
class PedalRulesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void everyKnownPedalHasItsLine();
    void everyLineIsAKnownPedal();

private:
    QStringList ruleLines_; // without comments and blank lines
};

void PedalRulesTest::initTestCase()
{
    QFile rules(QStringLiteral(TAVRIN_PEDAL_RULES));
    QVERIFY2(rules.open(QIODevice::ReadOnly | QIODevice::Text), qPrintable(rules.fileName()));
    for (const QString& line : QString::fromUtf8(rules.readAll()).split(u'\n')) {
        if (!line.trimmed().isEmpty() && !line.startsWith(u'#')) {
            ruleLines_.append(line);
        }
    }
}

void PedalRulesTest::everyKnownPedalHasItsLine()
{
    for (const tavrin::KnownPedal& pedal : tavrin::knownPedals()) {
        const auto id = tavrin::parseUsbId(QString::fromLatin1(pedal.usbId));
        QVERIFY(id.has_value());
        const QString line =
            QStringLiteral("SUBSYSTEM==\"input\", ATTRS{idVendor}==\"%1\", ATTRS{idProduct}==\"%2\", TAG+=\"uaccess\"")
                .arg(tavrin::usbIdText(*id).first(4), tavrin::usbIdText(*id).sliced(5));
        QVERIFY2(ruleLines_.contains(line), qPrintable(u"no line: "_s + line));
    }
}

void PedalRulesTest::everyLineIsAKnownPedal()
{
    // The ID is the two groups of four hexadecimal digits, as udev compares them.
    static const QRegularExpression rule(
        QStringLiteral("^SUBSYSTEM==\"input\", ATTRS\\{idVendor\\}==\"([0-9a-f]{4})\", "
                       "ATTRS\\{idProduct\\}==\"([0-9a-f]{4})\", TAG\\+=\"uaccess\"$"));
    QCOMPARE(ruleLines_.size(), tavrin::knownPedals().size());
    for (const QString& line : ruleLines_) {
        const QRegularExpressionMatch match = rule.match(line);
        QVERIFY2(match.hasMatch(), qPrintable(line));
        const auto id = tavrin::parseUsbId(match.captured(1) + u':' + match.captured(2));
        QVERIFY2(tavrin::knownPedalModel(*id).has_value(), qPrintable(line));
    }
}

QTEST_GUILESS_MAIN(PedalRulesTest)
#include "pedal_rules_test.moc"
