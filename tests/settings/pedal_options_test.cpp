#include "settings/pedal_options.h"
#include "support/temp_folder.h"

#include <QFile>
#include <QtTest>

using namespace tavrin;
using tavrin::test::TempFolder;

Q_DECLARE_METATYPE(tavrin::PedalOptions)

namespace {

constexpr int KeyA = 30;
constexpr int KeyB = 48;

QByteArray gbk(const QByteArray& utf8)
{
    // 脚踏板 and every other section name are stored in GBK.
    QByteArray text(utf8);
    return text.replace("[脚踏板]", "[\xBD\xC5\xCC\xA4\xB0\xE5]");
}

void writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

PedalOptions withRoles(PedalRole left, PedalRole middle, PedalRole right,
                       PedalPlayMode mode = PedalPlayMode::HoldToPlay)
{
    PedalOptions options;
    options.roles = {left, middle, right};
    options.playMode = mode;
    return options;
}

} // namespace

class PedalOptionsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void reading_data();
    void reading();
    void writingKeepsTheRestOfTheFile();
};

void PedalOptionsTest::reading_data()
{
    using R = PedalRole;
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<PedalOptions>("expected");
    QTest::addColumn<QStringList>("problemKeys"); // the keys the messages name, in order
    const PedalOptions defaults;
    PedalOptions byPath = defaults;
    byPath.devicePath = QStringLiteral("/dev/input/by-id/usb-pedal-event-kbd");
    // clang-format off
    QTest::newRow("no section") << QByteArray("[x]\r\na=1\r\n") << defaults << QStringList();
    QTest::newRow("toggle, roles swapped")
        << gbk("[脚踏板]\r\nplayMode=toggle\r\nleftPedal=forward\r\nmiddlePedal=none\r\nrightPedal=back\r\n")
        << withRoles(R::Forward, R::None, R::Back, PedalPlayMode::Toggle) << QStringList();
    QTest::newRow("two play pedals, blanks around")
        << gbk("[脚踏板]\r\nleftPedal= play \r\nplayMode= hold\r\n") << withRoles(R::Play, R::Play, R::Forward)
        << QStringList();
    QTest::newRow("a device by path") << gbk("[脚踏板]\r\ndevice=/dev/input/by-id/usb-pedal-event-kbd\r\n") << byPath
                                      << QStringList();
    PedalOptions keyboardLike = defaults;
    keyboardLike.pedalKeys = {48, 30, 46};
    QTest::newRow("keys of a keyboard-like pedal") << gbk("[脚踏板]\r\npedalKeys= 48, 30,46\r\n") << keyboardLike
                                                   << QStringList();
    for (const char* keys : {"30,x", "0", "30,30", "1,2,3,4", "768"}) {
        QTest::addRow("damaged keys %s", keys) << gbk(QByteArray("[脚踏板]\r\npedalKeys=") + keys + "\r\n")
                                               << defaults << QStringList{u"pedalKeys"_qs};
    }
    QTest::newRow("damaged mode and role keep their defaults")
        << gbk("[脚踏板]\r\nplayMode=press\r\nmiddlePedal=Play\r\nrightPedal=back\r\n")
        << withRoles(R::Back, R::Play, R::Back) << QStringList{u"playMode"_qs, u"middlePedal"_qs};
    QTest::newRow("empty values are damaged") << gbk("[脚踏板]\r\nleftPedal=\r\nplayMode=\r\n") << defaults
                                              << QStringList{u"playMode"_qs, u"leftPedal"_qs};
    // clang-format on
}

void PedalOptionsTest::reading()
{
    QFETCH(QByteArray, content);
    QFETCH(PedalOptions, expected);
    QFETCH(QStringList, problemKeys);
    TempFolder folder;
    writeFile(folder.filePath(QStringLiteral("Time.ini")), content);
    const StoredPedalOptions stored = readPedalOptions(folder.path());
    QCOMPARE(stored.options, expected);
    QCOMPARE(stored.problems.size(), problemKeys.size());
    for (qsizetype i = 0; i < problemKeys.size(); ++i) {
        QVERIFY2(stored.problems[i].contains(QStringLiteral("[脚踏板]中，%1 的值").arg(problemKeys[i])),
                 qPrintable(stored.problems[i]));
    }
}

void PedalOptionsTest::writingKeepsTheRestOfTheFile()
{
    TempFolder folder;
    const QString path = folder.filePath(QStringLiteral("Time.ini"));
    const QByteArray steps("[\xCA\xB1\xBC\xE4]\r\nshijian1=5\r\nshijian2=3\r\nshijian3=10\r\n");
    writeFile(path, steps);
    PedalOptions options = withRoles(PedalRole::None, PedalRole::Forward, PedalRole::Play, PedalPlayMode::Toggle);
    options.devicePath = QStringLiteral("/dev/input/event7");
    options.pedalKeys = {KeyA, KeyB};
    writePedalOptions(folder.path(), options);
    QCOMPARE(readPedalOptions(folder.path()).options, options);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().startsWith(steps));

    writePedalOptions(folder.path(), PedalOptions{});
    const StoredPedalOptions stored = readPedalOptions(folder.path());
    QCOMPARE(stored.options, PedalOptions{});
    QVERIFY(stored.problems.isEmpty());
}

QTEST_GUILESS_MAIN(PedalOptionsTest)
#include "pedal_options_test.moc"
