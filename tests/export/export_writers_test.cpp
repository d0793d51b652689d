#include "export/quick_deflate.h"
#include "export/timed_writers.h"
#include "export/xml_chunks.h"

#include <zlib.h>

#include <QXmlStreamReader>
#include <QtTest>

using namespace tavrin;

namespace {

// Lines of a subtitle file that a reader takes for a cue's timing line or for its end.
bool opensOrEndsACue(QStringView line)
{
    return line.contains(u"-->") || line.trimmed().isEmpty();
}

// The lines of the single cue's text in `file`, whose cue starts at `firstTextLine`.
QStringList cueTextLines(const QByteArray& file, int firstTextLine)
{
    QStringList lines = QString::fromUtf8(file).split(u'\n');
    QTEST_ASSERT(lines.size() >= firstTextLine + 2 && lines.last().isEmpty() && lines[lines.size() - 2].isEmpty());
    return lines.mid(firstTextLine, lines.size() - firstTextLine - 2);
}

QByteArray inflated(const QByteArray& deflated, qsizetype size)
{
    QByteArray out(size, Qt::Uninitialized);
    z_stream stream{};
    QTEST_ASSERT(inflateInit2(&stream, -15) == Z_OK);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(deflated.constData()));
    stream.avail_in = uInt(deflated.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = uInt(out.size());
    const int result = inflate(&stream, Z_FINISH);
    const bool whole = result == Z_STREAM_END && stream.avail_in == 0 && stream.avail_out == 0;
    inflateEnd(&stream);
    return whole ? out : QByteArray("not one whole deflate stream");
}

} // namespace

class ExportWritersTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void subtitleTextCannotForgeACue_data();
    void subtitleTextCannotForgeACue();
    void tableCellsAreNeverFormulas_data();
    void tableCellsAreNeverFormulas();
    void xmlTextIsWellFormed_data();
    void xmlTextIsWellFormed();
    void deflatedPiecesMakeOneStream_data();
    void deflatedPiecesMakeOneStream();
};

void ExportWritersTest::subtitleTextCannotForgeACue_data()
{
    QTest::addColumn<QString>("speaker");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("subRip"); // the cue's text as written
    QTest::addColumn<QString>("webVtt");
    const auto row = [](const char* name, const QString& speaker, const QString& text, const QString& subRip,
                        const QString& webVtt) { QTest::newRow(name) << speaker << text << subRip << webVtt; };
    row("an arrow", {}, u"x --> y"_qs, u"x -> y"_qs, u"x --&gt; y"_qs);
    row("longer arrows", {}, u"x ---> y ----->z"_qs, u"x -> y ->z"_qs, u"x ---&gt; y -----&gt;z"_qs);
    row("digits, then a timing line", {}, u"甲\n42\n00:00:09,000 ---> 00:00:10,000\n伪造"_qs,
        u"甲\n42\n00:00:09,000 -> 00:00:10,000\n伪造"_qs, u"甲\n42\n00:00:09,000 ---&gt; 00:00:10,000\n伪造"_qs);
    row("carriage returns break lines", {}, u"甲\r\r7\r\n乙"_qs, u"甲\n7\n乙"_qs, u"甲\n7\n乙"_qs);
    row("blank lines", {}, u"甲\n \t\u3000\n\n乙 "_qs, u"甲\n乙"_qs, u"甲\n乙"_qs);
    row("control characters", {}, u"甲\x01\x1b\n\x0c\n\0\n乙"_qs, u"甲\n乙"_qs, u"甲\n乙"_qs);
    row("markup", {}, u"<i>x</i> & y"_qs, u"<i>x</i> & y"_qs, u"&lt;i&gt;x&lt;/i&gt; &amp; y"_qs);
    row("a speaker", u"A-->B\r\nC"_qs, u"话"_qs, u"A->B C：话"_qs, u"<v A--&gt;B C>话"_qs);
    row("a speaker of control characters alone", u"\x01"_qs, u"话"_qs, u"话"_qs, u"话"_qs);
}

// A cue's text never holds a line that opens a cue or ends one, whatever the transcript holds.
void ExportWritersTest::subtitleTextCannotForgeACue()
{
    QFETCH(QString, speaker);
    QFETCH(QString, text);
    QFETCH(QString, subRip);
    QFETCH(QString, webVtt);
    const std::vector<Cue> cues{{1, 2.5, speaker, text}};
    const QByteArray srt = subRipBytes(cues);
    const QByteArray vtt = webVttBytes(cues);
    QCOMPARE(QString::fromUtf8(srt), u"1\n00:00:01,000 --> 00:00:02,500\n"_qs + subRip + u"\n\n"_qs);
    QCOMPARE(QString::fromUtf8(vtt), u"WEBVTT\n\n00:00:01.000 --> 00:00:02.500\n"_qs + webVtt + u"\n\n"_qs);
    for (const QString& line : cueTextLines(srt, 2) + cueTextLines(vtt, 3))
        QVERIFY2(!opensOrEndsACue(line), qPrintable(line));
}

void ExportWritersTest::tableCellsAreNeverFormulas_data()
{
    QTest::addColumn<QString>("speaker");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("row"); // as written, after the times
    const auto row = [](const char* name, const QString& speaker, const QString& text, const QString& written) {
        QTest::newRow(name) << speaker << text << written;
    };
    row("a link", {}, uR"(=HYPERLINK("http://example.com/","点我"))"_qs,
        uR"row(,"'=HYPERLINK(""http://example.com/"",""点我"")")row"_qs);
    row("a plus", {}, u"+1+2"_qs, u",'+1+2"_qs);
    row("a minus", {}, u"-1 分"_qs, u",'-1 分"_qs);
    row("something like a mark", {}, u"-00:00:05-后"_qs, u",'-00:00:05-后"_qs);
    row("an at sign", {}, u"@SUM(1)"_qs, u",'@SUM(1)"_qs);
    row("a tab", {}, u"\t=1"_qs, u",'\t=1"_qs);
    row("a carriage return", {}, u"\r=1"_qs, u",\"'\r=1\""_qs);
    row("a speaker", u"=张三"_qs, u"话"_qs, u"'=张三,话"_qs);
    row("an equals sign inside", u"张三"_qs, u"a=b, c"_qs, u"张三,\"a=b, c\""_qs);
    row("nothing", {}, {}, u","_qs);
}

void ExportWritersTest::tableCellsAreNeverFormulas()
{
    QFETCH(QString, speaker);
    QFETCH(QString, text);
    QFETCH(QString, row);
    QCOMPARE(QString::fromUtf8(cueTableBytes({{3601, 3602.5, speaker, text}})),
             u"start,end,speaker,text\r\n01:00:01.000,01:00:02.500,"_qs + row + u"\r\n"_qs);
}

void ExportWritersTest::xmlTextIsWellFormed_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("openDocument");
    QTest::addColumn<QString>("xml");
    const auto row = [](const char* name, const QString& text, bool openDocument, const QString& xml) {
        QTest::newRow(name) << text << openDocument << xml;
    };
    row("markup characters", u"a&b<c>d\"'"_qs, false, u"a&amp;b&lt;c&gt;d\"'"_qs);
    row("noncharacters", u"甲\uFFFE\uFFFF乙"_qs, false, u"甲\uFFFD\uFFFD乙"_qs);
    row("half a pair",
        u"a\xD800"
        "b\xDC00"_qs,
        false, u"a\uFFFDb\uFFFD"_qs);
    row("a pair", u"a😀b"_qs, false, u"a😀b"_qs);
    row("a pair across slices", QString(16383, u'a') + u"😀"_qs, false, QString(16383, u'a') + u"😀"_qs);
    row("control characters", u"a\x01\r\n\x1f b\tc"_qs, false, u"a b\tc"_qs);
    row("blanks as they are", u"  a  b\t "_qs, false, u"  a  b\t "_qs);
    row("OpenDocument blanks", u"  a  b\t c"_qs, true, u"<text:s/><text:s/>a <text:s/>b<text:tab/><text:s/>c"_qs);
    row("OpenDocument markup", u"<&>"_qs, true, u"&lt;&amp;&gt;"_qs);
}

// What any text becomes in a document's XML: escaped, and only characters XML 1.0 allows.
void ExportWritersTest::xmlTextIsWellFormed()
{
    QFETCH(QString, text);
    QFETCH(bool, openDocument);
    QFETCH(QString, xml);
    XmlChunks chunks(openDocument ? XmlChunks::Blanks::OpenDocument : XmlChunks::Blanks::AsIs);
    chunks.appendMarkup(R"(<p xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0">)");
    chunks.appendText(text);
    chunks.appendMarkup("</p>");
    const QByteArray written = joined(chunks.take());
    QCOMPARE(QString::fromUtf8(written),
             uR"(<p xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0">)"_qs + xml + u"</p>"_qs);
    QXmlStreamReader reader(written);
    while (!reader.atEnd())
        reader.readNext();
    QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));
}

void ExportWritersTest::deflatedPiecesMakeOneStream_data()
{
    QTest::addColumn<int>("chunks");
    QTest::addColumn<int>("chunkBytes");
    QTest::newRow("nothing") << 0 << 0;
    QTest::newRow("one small chunk") << 1 << 1000;
    QTest::newRow("pieces deflated at once") << 12 << (1 << 20);
    QTest::newRow("empty chunks among them") << 30 << (1 << 19);
}

// However the part is cut into pieces, they inflate as one stream to the bytes given, with their CRC.
void ExportWritersTest::deflatedPiecesMakeOneStream()
{
    QFETCH(int, chunks);
    QFETCH(int, chunkBytes);
    std::vector<QByteArray> parts;
    QByteArray whole;
    for (int i = 0; i < chunks; ++i) {
        QByteArray chunk;
        if (i % 7 != 3) {
            for (int at = 0; chunk.size() < chunkBytes; ++at)
                chunk += QStringLiteral("<w:t>第%1段，%2</w:t>").arg(i).arg(at * 7919 % 10007).toUtf8();
        }
        parts.push_back(chunk);
        whole += chunk;
    }
    const DeflatedPart part = deflateQuickly(parts);
    QCOMPARE(part.size, std::uint64_t(whole.size()));
    QCOMPARE(part.crc, std::uint32_t(crc32_z(0, reinterpret_cast<const Bytef*>(whole.constData()), whole.size())));
    QVERIFY(inflated(part.deflated, whole.size()) == whole);
    QVERIFY(whole.size() < 100 || part.deflated.size() < whole.size() / 2);
}

QTEST_MAIN(ExportWritersTest)
#include "export_writers_test.moc"
