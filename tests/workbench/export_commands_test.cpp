#include "editor/transcript_edit.h"
#include "export/transcript_export.h"
#include "support/window_under_test.h"

#include <QAction>
#include <QtTest>

#include <unistd.h>

using namespace tavrin;
using tavrin::test::TempFolder;
using tavrin::test::WindowUnderTest;

namespace {

const QString kText = u"-00:00:05- 张三：你好\n-00:00:09-再见"_qs;

} // namespace

class ExportCommandsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void exportsInTheFormatChosen_data();
    void exportsInTheFormatChosen();
    void anExistingFileIsReplacedOnlyWhenTheUserSaysSo();
    void aLinkPickedIsFollowedButNeverToTheTranscript_data();
    void aLinkPickedIsFollowedButNeverToTheTranscript();
};

void ExportCommandsTest::exportsInTheFormatChosen_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("filter"); // chosen in the dialog
    QTest::addColumn<int>("format"); // written
    QTest::addColumn<QString>("typedName");
    QTest::addColumn<QString>("writtenName"); // empty: nothing written
    QTest::addColumn<QString>("told");        // a part of what the user is told
    const int table = int(ExportFormat::Table);
    const int word = int(ExportFormat::Word);
    const int subRip = int(ExportFormat::SubRip);
    QTest::newRow("a table, the last row to the recording's end")
        << kText << table << table << u"表.csv"_qs << u"表.csv"_qs << u"已导出到"_qs;
    QTest::newRow("the filter's extension added")
        << kText << word << word << u"稿"_qs << u"稿.docx"_qs << u"已导出到"_qs;
    QTest::newRow("the extension typed wins")
        << kText << word << int(ExportFormat::WebVtt) << u"字幕.VTT"_qs << u"字幕.VTT"_qs << u"已导出到"_qs;
    QTest::newRow("subtitles of a text without marks")
        << u"没有标记"_qs << subRip << subRip << u"字幕.srt"_qs << QString() << u"时间标记"_qs;
    QTest::newRow("into a folder that is not there")
        << kText << subRip << subRip << u"无此文件夹/字幕.srt"_qs << QString() << u"导出失败"_qs;
}

void ExportCommandsTest::exportsInTheFormatChosen()
{
    QFETCH(QString, text);
    QFETCH(int, filter);
    QFETCH(int, format);
    QFETCH(QString, typedName);
    QFETCH(QString, writtenName);
    QFETCH(QString, told);
    WindowUnderTest window;
    QVERIFY(window.show());
    const QString recording = window.loadRecording(20.0);
    window.ui->Memo1->setPlainText(text);
    window.desktop.filesToSave = {{window.recordings.filePath(typedName), exportFormatFilter(ExportFormat(filter))}};
    window.ui->exportAction->trigger();

    QCOMPARE(window.desktop.suggestedSavePaths, QStringList{recording + u".docx"_qs});
    QCOMPARE(window.desktop.boxes.size(), 1);
    QVERIFY2(window.desktop.boxes.first().text.contains(told), qPrintable(window.desktop.boxes.first().text));
    QVERIFY(window.ui->Memo1->hasFocus());
    if (writtenName.isEmpty()) {
        QVERIFY(!QFileInfo::exists(window.recordings.filePath(typedName)));
        return;
    }
    const QByteArray written = TempFolder::read(window.recordings.filePath(writtenName));
    const ExportSource source{text, u"recording.wav"_qs, 20.0};
    QCOMPARE(written.size(), exportBytes(ExportFormat(format), source).size());
    QCOMPARE(written.left(6), exportBytes(ExportFormat(format), source).left(6));
    if (ExportFormat(format) == ExportFormat::Table)
        QVERIFY(written.endsWith("00:00:09.000,00:00:20.000,,再见\r\n"));
}

void ExportCommandsTest::anExistingFileIsReplacedOnlyWhenTheUserSaysSo()
{
    WindowUnderTest window;
    QVERIFY(window.show());
    window.loadRecording(20.0);
    window.ui->Memo1->setPlainText(kText);
    const QString there = window.recordings.write(u"已有.vtt"_qs, "old");
    const std::pair<QString, QString> choice{there, exportFormatFilter(ExportFormat::WebVtt)};
    window.desktop.filesToSave = {choice, choice};
    window.desktop.answers = {false, true};
    window.ui->exportAction->trigger();
    QCOMPARE(TempFolder::read(there), QByteArray("old"));
    QCOMPARE(window.desktop.boxes.size(), 1);
    QVERIFY(window.desktop.boxes.first().question);
    window.ui->exportAction->trigger();
    QVERIFY(TempFolder::read(there).startsWith("WEBVTT\n\n00:00:05.000 --> 00:00:09.000\n<v 张三>你好"));
}

void ExportCommandsTest::aLinkPickedIsFollowedButNeverToTheTranscript_data()
{
    QTest::addColumn<QString>("pointsTo"); // "file", "nowhere" or "transcript"
    QTest::addColumn<bool>("asked");
    QTest::addColumn<QString>("told");

    QTest::newRow("a link to a file, picked: followed once the user says so") << u"file"_qs << true << u"已导出到"_qs;
    QTest::newRow("a link that leads nowhere: asked about, then refused") << u"nowhere"_qs << true << u"符号链接"_qs;
    QTest::newRow("a link to the recording's transcript: refused at once")
        << u"transcript"_qs << false << u"文稿本身"_qs;
}

// The path picked in the dialog is the user's: a link there is followed, but one
// that leads nowhere is not, and the transcript beside the recording is never
// replaced by an export, whatever path leads to it.
void ExportCommandsTest::aLinkPickedIsFollowedButNeverToTheTranscript()
{
    QFETCH(QString, pointsTo);
    QFETCH(bool, asked);
    QFETCH(QString, told);
    WindowUnderTest window;
    QVERIFY(window.show());
    const QString recording = window.loadRecording(20.0);
    window.ui->Memo1->setPlainText(kText);
    const QByteArray transcriptBytes("-00:00:01-\xD4\xAD\xCE\xC4");
    const QString transcript = window.recordings.write(u"recording.wav.txt"_qs, transcriptBytes);
    const QString target = pointsTo == u"transcript"_qs ? transcript : window.recordings.filePath(u"真的.srt"_qs);
    if (pointsTo == u"file"_qs)
        TempFolder::writeAt(target, "old");
    const QString link = window.recordings.filePath(u"链接.srt"_qs);
    QCOMPARE(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(link).constData()), 0);
    window.desktop.filesToSave = {{link, exportFormatFilter(ExportFormat::SubRip)}};
    window.desktop.answers = {true};
    window.ui->exportAction->trigger();

    QCOMPARE(!window.desktop.boxes.isEmpty() && window.desktop.boxes.first().question, asked);
    QVERIFY2(window.desktop.boxes.last().text.contains(told), qPrintable(window.desktop.boxes.last().text));
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(TempFolder::read(transcript), transcriptBytes);
    bool exists = false;
    const QByteArray there = TempFolder::read(target, &exists);
    if (pointsTo == u"file"_qs)
        QVERIFY(there.startsWith("1\n00:00:05,000 --> 00:00:09,000"));
    QCOMPARE(exists, pointsTo != u"nowhere"_qs);
    QVERIFY(window.ui->Memo1->hasFocus());
}

QTEST_MAIN(ExportCommandsTest)
#include "export_commands_test.moc"
