#include "files/transcript_codec.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using tavrin::TranscriptEncoding;

class TranscriptCodecTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void encodesEditorText_data();
    void encodesEditorText();
    void decodesFileBytes_data();
    void decodesFileBytes();
    void normalizesLineBreaks_data();
    void normalizesLineBreaks();
};

void TranscriptCodecTest::encodesEditorText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("empty") << QString() << QByteArray();
    QTest::newRow("no line break added") << u"abc"_s << "abc"_ba;
    QTest::newRow("chinese lines") << u"中文\nabc\n"_s << QByteArray::fromHex("D6D0CEC40D0A6162630D0A");
    QTest::newRow("empty lines") << u"\n\n"_s << QByteArray::fromHex("0D0A0D0A");
    QTest::newRow("time mark") << u"-00:12:34-中"_s << QByteArray::fromHex("2D30303A31323A33342DD6D0");
    QTest::newRow("outside GBK") << QString::fromUtf8("\U00020000\n😀") << QByteArray::fromHex("953282360D0A9439FC36");
}

void TranscriptCodecTest::encodesEditorText()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);

    QCOMPARE(tavrin::encodeTranscript(text).toHex(' '), bytes.toHex(' '));
    const tavrin::DecodedTranscript back = tavrin::decodeTranscript(bytes);
    QCOMPARE(back.text, text);
    QCOMPARE(back.unreadableBytes, 0);
}

void TranscriptCodecTest::decodesFileBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<TranscriptEncoding>("encoding");
    QTest::addColumn<int>("unreadable");
    QTest::addColumn<bool>("alsoUtf8"); // read as GBK, though valid UTF-8 as well

    const QString bad = QString(QChar(0xFFFD));
    QTest::newRow("empty") << QByteArray() << QString() << TranscriptEncoding::Gbk << 0 << false;
    QTest::newRow("ascii is read as GBK") << "a\nb"_ba << u"a\nb"_s << TranscriptEncoding::Gbk << 0 << false;
    QTest::newRow("GBK with CR LF") << QByteArray::fromHex("D6D0CEC40D0A616263") << u"中文\nabc"_s
                                    << TranscriptEncoding::Gbk << 0 << false;
    QTest::newRow("GBK with LF only") << QByteArray::fromHex("D6D00A0ACEC4") << u"中\n\n文"_s << TranscriptEncoding::Gbk
                                      << 0 << false;
    QTest::newRow("NUL bytes kept") << QByteArray::fromHex("610062") << u"a"_s + QChar(0) + u"b"_s
                                    << TranscriptEncoding::Gbk << 0 << false;
    QTest::newRow("GBK with bad bytes") << QByteArray::fromHex("61FFD6D0") << u"a"_s + bad + u"中"_s
                                        << TranscriptEncoding::Gbk << 1 << false;
    // E4 BD A0 E5 A5 BD is also well-formed GB18030 (浣犲ソ); UTF-8 is taken first.
    QTest::newRow("UTF-8 without mark") << QByteArray::fromHex("E4BDA0E5A5BD0D0A") << u"你好\n"_s
                                        << TranscriptEncoding::Utf8 << 0 << false;
    // Valid two-byte UTF-8 is always well-formed GBK too; GBK wins, so a saved 说 reads back.
    QTest::newRow("GBK that is also two-byte UTF-8")
        << QByteArray::fromHex("CBB5C3A9") << u"说茅"_s << TranscriptEncoding::Gbk << 0 << true;
    QTest::newRow("café in UTF-8 reads as GBK, and says it may be UTF-8")
        << "caf\xC3\xA9"_ba << u"caf茅"_s << TranscriptEncoding::Gbk << 0 << true;
    QTest::newRow("overlong UTF-8 is GBK")
        << QByteArray::fromHex("C080") << u"纮"_s << TranscriptEncoding::Gbk << 0 << false;
    QTest::newRow("UTF-8 mark") << QByteArray::fromHex("EFBBBFE4BDA00A") << u"你\n"_s << TranscriptEncoding::Utf8Bom
                                << 0 << false;
    QTest::newRow("UTF-8 mark only") << QByteArray::fromHex("EFBBBF") << QString() << TranscriptEncoding::Utf8Bom << 0
                                     << false;
    QTest::newRow("UTF-8 mark, bad byte")
        << QByteArray::fromHex("EFBBBF61FF62") << u"a"_s + bad + u"b"_s << TranscriptEncoding::Utf8Bom << 1 << false;
    QTest::newRow("UTF-16 LE mark") << QByteArray::fromHex("FFFE604F7D590D000A000D00") << u"你好\n\n"_s
                                    << TranscriptEncoding::Utf16LeBom << 0 << false;
    QTest::newRow("UTF-16 BE mark") << QByteArray::fromHex("FEFF4F60000A597D") << u"你\n好"_s
                                    << TranscriptEncoding::Utf16BeBom << 0 << false;
}

void TranscriptCodecTest::decodesFileBytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(TranscriptEncoding, encoding);
    QFETCH(int, unreadable);
    QFETCH(bool, alsoUtf8);

    const tavrin::DecodedTranscript decoded = tavrin::decodeTranscript(bytes);
    QCOMPARE(decoded.text, text);
    QCOMPARE(decoded.encoding, encoding);
    QCOMPARE(decoded.unreadableBytes, unreadable);
    QCOMPARE(decoded.readableAsUtf8Too, alsoUtf8);
}

void TranscriptCodecTest::normalizesLineBreaks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("normalized");

    QTest::newRow("CR LF") << u"a\r\nb"_s << u"a\nb"_s;
    QTest::newRow("LF") << u"a\nb"_s << u"a\nb"_s;
    QTest::newRow("CR") << u"a\rb"_s << u"a\nb"_s;
    QTest::newRow("LF CR is two") << u"a\n\rb"_s << u"a\n\nb"_s;
    QTest::newRow("CR CR LF") << u"a\r\r\nb"_s << u"a\n\nb"_s;
    QTest::newRow("trailing CR") << u"a\r"_s << u"a\n"_s;
    QTest::newRow("mixed") << u"\r\n\n\r\r"_s << u"\n\n\n\n"_s;
    QTest::newRow("none") << u"中文"_s << u"中文"_s;
}

void TranscriptCodecTest::normalizesLineBreaks()
{
    QFETCH(QString, text);
    QFETCH(QString, normalized);

    QCOMPARE(tavrin::normalizeLineBreaks(text), normalized);
}

QTEST_GUILESS_MAIN(TranscriptCodecTest)
#include "transcript_codec_test.moc"
