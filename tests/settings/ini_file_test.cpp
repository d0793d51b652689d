#include "settings/ini_file.h"

#include <QtTest>

#include <stdexcept>

namespace {

const QByteArray kTime("\xCA\xB1\xBC\xE4"); // 时间, the section of the step lengths
const QByteArray kTrailUpperH("\x82\x48");  // two GBK characters whose second
const QByteArray kTrailLowerH("\x82\x68");  // bytes are "H" and "h"
const QByteArray kTrailBracket("\x81\x5D"); // a GBK character whose second byte is "]"
const QByteArray kBom("\xEF\xBB\xBF");

QByteArray timeFile(const QByteArray& body)
{
    return "[" + kTime + "]" + body;
}

} // namespace

class IniFileTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readsValues_data();
    void readsValues();
    void writesValuesPreservingTheRest_data();
    void writesValuesPreservingTheRest();
    void keysWrittenIntoAnEmptyFileKeepTheirOrder();
    void refusesWhatWouldBreakTheFile_data();
    void refusesWhatWouldBreakTheFile();
};

void IniFileTest::readsValues_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<std::optional<QByteArray>>("value");
    const auto row = [](const char* name, const QByteArray& file, const QByteArray& section, const QByteArray& key,
                        std::optional<QByteArray> value) { QTest::newRow(name) << file << section << key << value; };
    const std::optional<QByteArray> missing;
    const QByteArray steps = timeFile("\r\nshijian1=5\r\nshijian2=-3\r\n");

    row("CR LF", steps, kTime, "shijian2", "-3");
    row("lone CR", timeFile("\rshijian1=5\rshijian2=6"), kTime, "shijian1", "5");
    row("missing key", steps, kTime, "shijian3", missing);
    row("missing section", steps, "other", "shijian1", missing);
    row("empty file", {}, kTime, "shijian1", missing);
    row("blanks around everything", "  [ " + kTime + " ]  \r\n \t shijian1 \t=  5 \t\r\n", kTime, "shijian1", "5");
    row("quotes are kept", timeFile("\r\nk=\"5\"\r\n"), kTime, "k", "\"5\"");
    row("second = belongs to the value", timeFile("\r\nk=a=b\r\n"), kTime, "k", "a=b");
    row("key of a foreign section", "[other]\r\nshijian1=9\r\n" + timeFile("\r\n"), kTime, "shijian1", missing);
    row("key before any section", "shijian1=9\r\n" + timeFile("\r\n"), kTime, "shijian1", missing);
    row("commented-out key", timeFile("\r\n;shijian1=9\r\n#shijian1=8\r\n"), kTime, "shijian1", missing);
    row("only the first of repeated sections", timeFile("\r\na=1\r\n") + timeFile("\r\nk=2\r\n"), kTime, "k", missing);
    row("text after the bracket", timeFile(" ; note\r\nk=1\r\n"), kTime, "k", "1");
    row("GBK key, other character", timeFile("\r\n" + kTrailUpperH + "=1\r\n"), kTime, kTrailLowerH, missing);
}

void IniFileTest::readsValues()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, section);
    QFETCH(QByteArray, key);
    QFETCH(std::optional<QByteArray>, value);
    QCOMPARE(tavrin::iniValue(file, section, key), value);
}

void IniFileTest::writesValuesPreservingTheRest_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QByteArray>("expected");
    const auto row = [](const char* name, const QByteArray& file, const QByteArray& section, const QByteArray& key,
                        const QByteArray& value, const QByteArray& expected) {
        QTest::newRow(name) << file << section << key << value << expected;
    };
    const QByteArray k1("shijian1");

    row("replace in place, CR LF", timeFile("\r\nshijian1=5\r\nshijian2=3\r\n"), kTime, k1, "10",
        timeFile("\r\nshijian1=10\r\nshijian2=3\r\n"));
    row("replace in place, LF", timeFile("\nshijian1=5\nshijian2=3\n"), kTime, "shijian2", "",
        timeFile("\nshijian1=5\nshijian2=\n"));
    row("replace keeps the key as written", timeFile("\r\n  ShiJian1 = 5 \r\n"), kTime, k1, "7",
        timeFile("\r\n  ShiJian1 =7\r\n"));
    row("replace in a last line without a break", timeFile("\r\nshijian1=5"), kTime, k1, "6",
        timeFile("\r\nshijian1=6"));
    row("replace the first of repeated keys", timeFile("\r\nk=1\r\nk=2\r\n"), kTime, "k", "9",
        timeFile("\r\nk=9\r\nk=2\r\n"));
    row("other letter case of section and key", "[Steps]\r\nShiJian1=4\r\n", "STEPS", k1, "5",
        "[Steps]\r\nShiJian1=5\r\n");
    row("append key to a section in the middle",
        "[a]\r\nx=1\r\n" + timeFile("\r\nshijian2=5\r\n\r\n; about b\r\n[b]\r\ny=2\r\n"), kTime, k1, "3",
        "[a]\r\nx=1\r\n" + timeFile("\r\nshijian2=5\r\nshijian1=3\r\n\r\n; about b\r\n[b]\r\ny=2\r\n"));
    row("append key to an empty section", timeFile("\r\n[b]\r\n"), kTime, k1, "5",
        timeFile("\r\nshijian1=5\r\n[b]\r\n"));
    row("append key after a line without =", timeFile("\r\nnote\r\n\r\n"), kTime, k1, "5",
        timeFile("\r\nnote\r\nshijian1=5\r\n\r\n"));
    row("append key after a last line without a break", timeFile("\nshijian2=5"), kTime, k1, "3",
        timeFile("\nshijian2=5\nshijian1=3\n"));
    row("append key to the first of repeated sections", timeFile("\r\n") + timeFile("\r\n"), kTime, k1, "5",
        timeFile("\r\nshijian1=5\r\n") + timeFile("\r\n"));
    row("append section after a last line without a break", "[a]\r\nx=1", kTime, k1, "5",
        "[a]\r\nx=1\r\n" + timeFile("\r\nshijian1=5\r\n"));
    row("append section to an LF file", "[a]\nx=1\n", kTime, k1, "5", "[a]\nx=1\n" + timeFile("\nshijian1=5\n"));
    row("append section to a lone CR file", "[a]\rx=1\r", kTime, k1, "5", "[a]\rx=1\r" + timeFile("\rshijian1=5\r"));
    row("append section to a file without any break", "; steps", kTime, k1, "5",
        "; steps\r\n" + timeFile("\r\nshijian1=5\r\n"));
    row("create from empty", {}, kTime, k1, "3", timeFile("\r\nshijian1=3\r\n"));
    row("byte-order mark only", kBom, kTime, k1, "5", kBom + timeFile("\r\nshijian1=5\r\n"));
    row("byte-order mark kept", kBom + timeFile("\r\nshijian1=5\r\n"), kTime, k1, "6",
        kBom + timeFile("\r\nshijian1=6\r\n"));
    row("foreign sections and comments untouched",
        "; steps\r\n[other]\r\nshijian1=9\r\n" + timeFile("\r\n#shijian1=8\r\nshijian1=5\r\n") + "[tail]\r\nshijian1=7",
        kTime, k1, "1",
        "; steps\r\n[other]\r\nshijian1=9\r\n" + timeFile("\r\n#shijian1=8\r\nshijian1=1\r\n")
            + "[tail]\r\nshijian1=7");
    row("GBK section with a letter as second byte, same character", "[" + kTrailUpperH + "]\r\nk=1\r\n", kTrailUpperH,
        "k", "2", "[" + kTrailUpperH + "]\r\nk=2\r\n");
    row("GBK section with a letter as second byte, other character", "[" + kTrailUpperH + "]\r\nk=1\r\n", kTrailLowerH,
        "k", "2", "[" + kTrailUpperH + "]\r\nk=1\r\n[" + kTrailLowerH + "]\r\nk=2\r\n");
    row("GBK section with a bracket as second byte", "[" + kTrailBracket + "]\r\nk=1\r\n", kTrailBracket, "k", kTime,
        "[" + kTrailBracket + "]\r\nk=" + kTime + "\r\n");
    row("value kept exactly as given", timeFile("\r\nk=1\r\n"), kTime, "k", " 5s ", timeFile("\r\nk= 5s \r\n"));
}

void IniFileTest::writesValuesPreservingTheRest()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, section);
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, value);
    QFETCH(QByteArray, expected);
    const QByteArray written = tavrin::iniWithValue(file, section, key, value);
    QCOMPARE(written, expected);
    // The next read sees the write, and writing the same again changes nothing.
    QCOMPARE(tavrin::iniValue(written, section, key), std::optional<QByteArray>(value.trimmed()));
    QCOMPARE(tavrin::iniWithValue(written, section, key, value), written);
}

void IniFileTest::keysWrittenIntoAnEmptyFileKeepTheirOrder()
{
    QByteArray file;
    file = tavrin::iniWithValue(file, kTime, "shijian2", "5");
    file = tavrin::iniWithValue(file, kTime, "shijian3", "shijian3");
    file = tavrin::iniWithValue(file, kTime, "shijian1", "10");
    QCOMPARE(file, timeFile("\r\nshijian2=5\r\nshijian3=shijian3\r\nshijian1=10\r\n"));
}

void IniFileTest::refusesWhatWouldBreakTheFile_data()
{
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("value");
    QTest::newRow("LF in value") << kTime << QByteArray("k") << QByteArray("1\n[x]");
    QTest::newRow("CR in value") << kTime << QByteArray("k") << QByteArray("1\r");
    QTest::newRow("blank key") << kTime << QByteArray("  ") << QByteArray("1");
    QTest::newRow("= in key") << kTime << QByteArray("a=b") << QByteArray("1");
    QTest::newRow("LF in key") << kTime << QByteArray("a\nb") << QByteArray("1");
    QTest::newRow("key read as a comment") << kTime << QByteArray(";k") << QByteArray("1");
    QTest::newRow("key read as a hash comment") << kTime << QByteArray("#k") << QByteArray("1");
    QTest::newRow("key read as a section") << kTime << QByteArray("[k") << QByteArray("1");
    QTest::newRow("] in section") << QByteArray("a]b") << QByteArray("k") << QByteArray("1");
    QTest::newRow("CR in section") << QByteArray("a\rb") << QByteArray("k") << QByteArray("1");
    QTest::newRow("section ending in half a character") << QByteArray("a\x81") << QByteArray("k") << QByteArray("1");
}

void IniFileTest::refusesWhatWouldBreakTheFile()
{
    QFETCH(QByteArray, section);
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, value);
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, tavrin::iniWithValue(timeFile("\r\nk=0\r\n"), section, key, value));
}

QTEST_GUILESS_MAIN(IniFileTest)
#include "ini_file_test.moc"
