#include "pedals/pedal_messages.h"

#include <QtTest>

#include <cerrno>
#include <cstring>

using namespace Qt::StringLiterals;

class PedalMessagesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void explainsWhyAPedalCannotBeRead_data();
    void explainsWhyAPedalCannotBeRead();
};

void PedalMessagesTest::explainsWhyAPedalCannotBeRead_data()
{
    QTest::addColumn<int>("errnoValue");
    QTest::addColumn<QStringList>("parts"); // besides the path
    const QStringList noRight{u"没有权限"_s, u"70-tavrin-pedals.rules"_s, u"input 组"_s, u"重新登录"_s};
    const QStringList absent{u"设备不存在"_s, u"重新插上"_s};
    QTest::newRow("no right to read") << EACCES << noRight;
    QTest::newRow("not permitted") << EPERM << noRight;
    QTest::newRow("no such file") << ENOENT << absent;
    QTest::newRow("unplugged") << ENODEV << absent;
    QTest::newRow("no input device") << ENOTTY << QStringList{u"不是输入设备"_s, u"/dev/input/event"_s};
    QTest::newRow("anything else") << EIO << QStringList{QString::fromLocal8Bit(std::strerror(EIO))};
}

void PedalMessagesTest::explainsWhyAPedalCannotBeRead()
{
    QFETCH(int, errnoValue);
    QFETCH(QStringList, parts);
    const QString path = u"/dev/input/event7"_s;
    const QString text = tavrin::cannotOpenPedalText(path, errnoValue);
    QVERIFY2(text.startsWith(u"无法读取脚踏板 /dev/input/event7："_s), qPrintable(text));
    for (const QString& part : parts) {
        QVERIFY2(text.contains(part), qPrintable(text + u" lacks "_s + part));
    }
}

QTEST_GUILESS_MAIN(PedalMessagesTest)
#include "pedal_messages_test.moc"
