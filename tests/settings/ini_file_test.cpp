#include "settings/ini_file.h"

#include <QtTest>

#include <stdexcept>

namespace {

// GBK bytes of 时间, the section of the step lengths.
const QByteArray kTime("\xCA\xB1\xBC\xE4");
// Two different GBK characters whose second bytes are "H" and "h".
const QByteArray kTrailUpperH("\x82\x48");
const QByteArray kTrailLowerH("\x82\x68");
// A GBK character whose second byte is "]".
const QByteArray kTrailBracket("\x81\x5D");

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
    void rewritingTheSameValuesChangesNothing();
    void refusesWhatWouldBreakTheFile_data();
    void refusesWhatWouldBreakTheFile();
};

void IniFileTest::readsValues_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<bool>("present");
    QTest::addColumn<QByteArray>("value");

    const QByteArray steps = timeFile("\r\nshijian1=5\r\nshijian2=-3\r\n");
    QTest::newRow("CR LF") << steps << kTime << QByteArray("shijian2") << true << QByteArray("-3");
    QTest::newRow("LF") << timeFile("\nshijian1=5\n") << kTime << QByteArray("shijian1") << true << QByteArray("5");
    QTest::newRow("lone CR") << timeFile("\rshijian1=5\rshijian2=6") << kTime << QByteArray("shijian1") << true
                             << QByteArray("5");
    QTest::newRow("no line break at the end") << timeFile("\r\nshijian1=5") << kTime << QByteArray("shijian1")
                                              << true << QByteArray("5");
    QTest::newRow("missing key") << steps << kTime << QByteArray("shijian3") << false << QByteArray();
    QTest::newRow("missing section") << steps << QByteArray("other") << QByteArray("shijian1") << false
                                     << QByteArray();
    QTest::newRow("empty file") << QByteArray() << kTime << QByteArray("shijian1") << false << QByteArray();
    QTest::newRow("empty value") << timeFile("\r\nshijian2=\r\n") << kTime << QByteArray("shijian2") << true
                                 << QByteArray();
    QTest::newRow("blanks around everything")
        << QByteArray("  [ " + kTime + " ]  \r\n \t shijian1 \t=  5 \t\r\n") << kTime << QByteArray("shijian1")
        << true << QByteArray("5");
    QTest::newRow("quotes are kept") << timeFile("\r\nshijian1=\"5\"\r\n") << kTime << QByteArray("shijian1")
                                     << true << QByteArray("\"5\"");
    QTest::newRow("second = belongs to the value") << timeFile("\r\nk=a=b\r\n") << kTime << QByteArray("k") << true
                                                   << QByteArray("a=b");
    QTest::newRow("other letter case")
        << QByteArray("[Steps]\r\nShiJian1=4\r\n") << QByteArray("sTEPS") << QByteArray("SHIJIAN1") << true
        << QByteArray("4");
    QTest::newRow("key of a foreign section")
        << QByteArray("[other]\r\nshijian1=9\r\n") + timeFile("\r\nshijian2=1\r\n") << kTime
        << QByteArray("shijian1") << false << QByteArray();
    QTest::newRow("key before any section") << QByteArray("shijian1=9\r\n") + timeFile("\r\n") << kTime
                                            << QByteArray("shijian1") << false << QByteArray();
    QTest::newRow("commented-out key") << timeFile("\r\n;shijian1=9\r\n#shijian1=8\r\n") << kTime
                                       << QByteArray("shijian1") << false << QByteArray();
    QTest::newRow("first of repeated keys") << timeFile("\r\nk=1\r\nk=2\r\n") << kTime << QByteArray("k") << true
                                            << QByteArray("1");
    QTest::newRow("only the first of repeated sections")
        << timeFile("\r\na=1\r\n") + timeFile("\r\nk=2\r\n") << kTime << QByteArray("k") << false << QByteArray();
    QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF") + timeFile("\r\nk=1\r\n") << kTime
                                     << QByteArray("k") << true << QByteArray("1");
    QTest::newRow("section name ends at its bracket") << timeFile(" ; note\r\nk=1\r\n") << kTime << QByteArray("k")
                                                      << true << QByteArray("1");
    QTest::newRow("GBK second byte that is a letter, same character")
        << QByteArray("[" + kTrailUpperH + "]\r\nk=1\r\n") << kTrailUpperH << QByteArray("k") << true
        << QByteArray("1");
    QTest::newRow("GBK second byte that is a letter, other character")
        << QByteArray("[" + kTrailUpperH + "]\r\nk=1\r\n") << kTrailLowerH << QByteArray("k") << false
        << QByteArray();
    QTest::newRow("GBK key with a letter as second byte")
        << timeFile("\r\n" + kTrailUpperH + "=1\r\n") << kTime << kTrailLowerH << false << QByteArray();
    QTest::newRow("GBK second byte that is a bracket")
        << QByteArray("[" + kTrailBracket + "]\r\nk=1\r\n") << kTrailBracket << QByteArray("k") << true
        << QByteArray("1");
    QTest::newRow("GBK value bytes unchanged") << timeFile("\r\nk=" + kTime + "\r\n") << kTime << QByteArray("k")
                                               << true << kTime;
}

void IniFileTest::readsValues()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, section);
    QFETCH(QByteArray, key);
    QFETCH(bool, present);
    QFETCH(QByteArray, value);
    const std::optional<QByteArray> read = tavrin::iniValue(file, section, key);
    QCOMPARE(read.has_value(), present);
    if (present)
        QCOMPARE(*read, value);
}

void IniFileTest::writesValuesPreservingTheRest_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray k1("shijian1");
    const QByteArray k2("shijian2");
    QTest::newRow("replace in place, CR LF")
        << timeFile("\r\nshijian1=5\r\nshijian2=3\r\n") << kTime << k1 << QByteArray("10")
        << timeFile("\r\nshijian1=10\r\nshijian2=3\r\n");
    QTest::newRow("replace in place, LF") << timeFile("\nshijian1=5\nshijian2=3\n") << kTime << k2
                                          << QByteArray("") << timeFile("\nshijian1=5\nshijian2=\n");
    QTest::newRow("replace keeps the key as written")
        << timeFile("\r\n  ShiJian1 = 5 \r\n") << kTime << k1 << QByteArray("7") << timeFile("\r\n  ShiJian1 =7\r\n");
    QTest::newRow("replace in the last line without a break") << timeFile("\r\nshijian1=5") << kTime << k1
                                                               << QByteArray("6") << timeFile("\r\nshijian1=6");
    QTest::newRow("replace the first of repeated keys") << timeFile("\r\nk=1\r\nk=2\r\n") << kTime
                                                        << QByteArray("k") << QByteArray("9")
                                                        << timeFile("\r\nk=9\r\nk=2\r\n");
    QTest::newRow("other letter case of section and key")
        << QByteArray("[Steps]\r\nShiJian1=4\r\n") << QByteArray("STEPS") << QByteArray("shijian1")
        << QByteArray("5") << QByteArray("[Steps]\r\nShiJian1=5\r\n");
    QTest::newRow("append key to a section in the middle")
        << QByteArray("[a]\r\nx=1\r\n") + timeFile("\r\nshijian1=5\r\n\r\n; about b\r\n[b]\r\ny=2\r\n") << kTime
        << k2 << QByteArray("3")
        << QByteArray("[a]\r\nx=1\r\n") + timeFile("\r\nshijian1=5\r\nshijian2=3\r\n\r\n; about b\r\n[b]\r\ny=2\r\n");
    QTest::newRow("append key to an empty section") << timeFile("\r\n[b]\r\ny=2\r\n") << kTime << k1
                                                    << QByteArray("5") << timeFile("\r\nshijian1=5\r\n[b]\r\ny=2\r\n");
    QTest::newRow("append key after a line without =")
        << timeFile("\r\nnote\r\n\r\n") << kTime << k1 << QByteArray("5") << timeFile("\r\nnote\r\nshijian1=5\r\n\r\n");
    QTest::newRow("append key to a header without a break") << timeFile("") << kTime << k1 << QByteArray("5")
                                                             << timeFile("\r\nshijian1=5\r\n");
    QTest::newRow("append key after a last LF line without a break")
        << timeFile("\nshijian1=5") << kTime << k2 << QByteArray("3") << timeFile("\nshijian1=5\nshijian2=3\n");
    QTest::newRow("append key to the first of repeated sections")
        << timeFile("\r\na=1\r\n") + timeFile("\r\n") << kTime << k1 << QByteArray("5")
        << timeFile("\r\na=1\r\nshijian1=5\r\n") + timeFile("\r\n");
    QTest::newRow("append section after a last line without a break")
        << QByteArray("[a]\r\nx=1") << kTime << k1 << QByteArray("5")
        << QByteArray("[a]\r\nx=1\r\n") + timeFile("\r\nshijian1=5\r\n");
    QTest::newRow("append section to an LF file") << QByteArray("[a]\nx=1\n") << kTime << k1 << QByteArray("5")
                                                   << QByteArray("[a]\nx=1\n") + timeFile("\nshijian1=5\n");
    QTest::newRow("append section to a lone CR file") << QByteArray("[a]\rx=1\r") << kTime << k1
                                                       << QByteArray("5")
                                                       << QByteArray("[a]\rx=1\r") + timeFile("\rshijian1=5\r");
    QTest::newRow("append section to a file without any break") << QByteArray("; steps") << kTime << k1
                                                                 << QByteArray("5")
                                                                 << QByteArray("; steps\r\n") + timeFile("\r\nshijian1=5\r\n");
    QTest::newRow("create from empty") << QByteArray() << kTime << k2 << QByteArray("3")
                                       << timeFile("\r\nshijian2=3\r\n");
    QTest::newRow("byte-order mark only") << QByteArray("\xEF\xBB\xBF") << kTime << k1 << QByteArray("5")
                                          << QByteArray("\xEF\xBB\xBF") + timeFile("\r\nshijian1=5\r\n");
    QTest::newRow("byte-order mark kept on replace") << QByteArray("\xEF\xBB\xBF") + timeFile("\r\nshijian1=5\r\n")
                                                     << kTime << k1 << QByteArray("6")
                                                     << QByteArray("\xEF\xBB\xBF") + timeFile("\r\nshijian1=6\r\n");
    QTest::newRow("foreign sections and comments untouched")
        << QByteArray("; steps\r\n[other]\r\nshijian1=9\r\n") + timeFile("\r\n#shijian1=8\r\nshijian1=5\r\n")
               + "[tail]\r\nshijian1=7"
        << kTime << k1 << QByteArray("1")
        << QByteArray("; steps\r\n[other]\r\nshijian1=9\r\n") + timeFile("\r\n#shijian1=8\r\nshijian1=1\r\n")
               + "[tail]\r\nshijian1=7";
    QTest::newRow("GBK section with a letter as second byte, same character")
        << QByteArray("[" + kTrailUpperH + "]\r\nk=1\r\n") << kTrailUpperH << QByteArray("k") << QByteArray("2")
        << QByteArray("[" + kTrailUpperH + "]\r\nk=2\r\n");
    QTest::newRow("GBK section with a letter as second byte, other character")
        << QByteArray("[" + kTrailUpperH + "]\r\nk=1\r\n") << kTrailLowerH << QByteArray("k") << QByteArray("2")
        << QByteArray("[" + kTrailUpperH + "]\r\nk=1\r\n[" + kTrailLowerH + "]\r\nk=2\r\n");
    QTest::newRow("GBK section with a bracket as second byte")
        << QByteArray("[" + kTrailBracket + "]\r\nk=1\r\n") << kTrailBracket << QByteArray("k") << QByteArray("2")
        << QByteArray("[" + kTrailBracket + "]\r\nk=2\r\n");
    QTest::newRow("GBK value written as bytes") << timeFile("\r\nk=1\r\n") << kTime << QByteArray("k") << kTime
                                                << timeFile("\r\nk=" + kTime + "\r\n");
    QTest::newRow("value kept exactly as given") << timeFile("\r\nk=1\r\n") << kTime << QByteArray("k")
                                                 << QByteArray(" 5s ") << timeFile("\r\nk= 5s \r\n");
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
    QCOMPARE(tavrin::iniValue(written, section, key), std::optional<QByteArray>(value.trimmed()));
}

void IniFileTest::keysWrittenIntoAnEmptyFileKeepTheirOrder()
{
    QByteArray file;
    file = tavrin::iniWithValue(file, kTime, "shijian2", "5");
    file = tavrin::iniWithValue(file, kTime, "shijian3", "shijian3");
    file = tavrin::iniWithValue(file, kTime, "shijian1", "10");
    QCOMPARE(file, timeFile("\r\nshijian2=5\r\nshijian3=shijian3\r\nshijian1=10\r\n"));
}

void IniFileTest::rewritingTheSameValuesChangesNothing()
{
    const QByteArray original = "; steps\n" + timeFile("\n shijian2=5\nshijian3=x\n\n[b]\ny=1\n");
    QByteArray file = original;
    file = tavrin::iniWithValue(file, kTime, "SHIJIAN2", "5");
    file = tavrin::iniWithValue(file, kTime, "shijian3", "x");
    QCOMPARE(file, original);
}

void IniFileTest::refusesWhatWouldBreakTheFile_data()
{
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("value");
    QTest::newRow("LF in value") << kTime << QByteArray("k") << QByteArray("1\n[x]");
    QTest::newRow("CR in value") << kTime << QByteArray("k") << QByteArray("1\r");
    QTest::newRow("empty key") << kTime << QByteArray() << QByteArray("1");
    QTest::newRow("blank key") << kTime << QByteArray("  ") << QByteArray("1");
    QTest::newRow("= in key") << kTime << QByteArray("a=b") << QByteArray("1");
    QTest::newRow("LF in key") << kTime << QByteArray("a\nb") << QByteArray("1");
    QTest::newRow("key read as a comment") << kTime << QByteArray(";k") << QByteArray("1");
    QTest::newRow("key read as a hash comment") << kTime << QByteArray("#k") << QByteArray("1");
    QTest::newRow("key read as a section") << kTime << QByteArray("[k") << QByteArray("1");
    QTest::newRow("] in section") << QByteArray("a]b") << QByteArray("k") << QByteArray("1");
    QTest::newRow("CR in section") << QByteArray("a\rb") << QByteArray("k") << QByteArray("1");
    QTest::newRow("section ending in half a character") << QByteArray("a\x81") << QByteArray("k")
                                                        << QByteArray("1");
}

void IniFileTest::refusesWhatWouldBreakTheFile()
{
    QFETCH(QByteArray, section);
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, value);
    const QByteArray file = timeFile("\r\nk=0\r\n");
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, tavrin::iniWithValue(file, section, key, value));
}

QTEST_GUILESS_MAIN(IniFileTest)
#include "ini_file_test.moc"
