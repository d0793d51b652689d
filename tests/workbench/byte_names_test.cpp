// A recording whose name is not UTF-8 (GBK bytes, as names unpacked from a Windows
// zip archive are) plays, brings its transcript back, is saved beside, remembered,
// exported and drafted, all under its own bytes.
#include "editor/editor_text.h"
#include "editor/transcript_edit.h"
#include "export/transcript_export.h"
#include "files/path_bytes.h"
#include "files/transcript_codec.h"
#include "support/spoken_phrases.h"
#include "support/window_under_test.h"

#include <QAction>
#include <QDir>
#include <QtTest>

#include <algorithm>
#include <cstdio>
#include <dirent.h>

using namespace tavrin;
using namespace Qt::StringLiterals;
using tavrin::test::TempFolder;
using tavrin::test::WindowUnderTest;

namespace {

constexpr int kDraftWaitMs = 120000;
// "访谈" in GBK.
const QByteArray kGbkName = "\xB7\xC3\xCC\xB8";

// The file written at `written` (a plain name) moved to a name of exactly `bytes`.
QString moveToBytes(const QString& written, const QByteArray& bytes)
{
    if (std::rename(QFile::encodeName(written).constData(), bytes.constData()) != 0)
        qFatal("cannot rename %s", bytes.constData());
    return decodePath(bytes);
}

// The names in `folder` as the file system holds them, sorted.
QByteArrayList namesIn(const QString& folder)
{
    QByteArrayList names;
    if (DIR* dir = ::opendir(QFile::encodeName(folder).constData())) {
        while (const dirent* entry = ::readdir(dir)) {
            if (entry->d_name[0] != '.')
                names.append(entry->d_name);
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

QByteArray readBytes(const QByteArray& path)
{
    std::FILE* stream = std::fopen(path.constData(), "rb");
    QByteArray content;
    if (stream) {
        char buffer[4096];
        for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, stream)) > 0;)
            content.append(buffer, qsizetype(got));
        std::fclose(stream);
    }
    return content;
}

} // namespace

class ByteNamesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void aRecordingNamedInGbkIsWorkedOnUnderItsOwnName();
    void theDraftReadsARecordingNamedInGbk();
};

void ByteNamesTest::aRecordingNamedInGbkIsWorkedOnUnderItsOwnName()
{
    TempFolder state;
    WindowUnderTest window(true, u"Time.ini"_s, QString(), state.path());
    QVERIFY(window.show());
    const QByteArray base = QFile::encodeName(window.recordings.path()) + '/' + kGbkName + ".wav";
    tavrin::test::writeWav(window.recordings.filePath(u"plain.wav"_s), 20.0);
    const QString recording = moveToBytes(window.recordings.filePath(u"plain.wav"_s), base);
    const QByteArray yesterday = encodeTranscript(u"-00:00:02-昨天的文字"_s);
    TempFolder::writeAt(window.recordings.filePath(u"plain.txt"_s), yesterday);
    moveToBytes(window.recordings.filePath(u"plain.txt"_s), base + ".txt");

    // As the file dialog (or a drop, or the command line) gives it: by its bytes.
    window.desktop.filesToChoose = {recording};
    window.ui->N8->trigger();
    QCOMPARE(window.ui->WindowsMediaPlayer1->url(), recording);
    QVERIFY2(window.ui->WindowsMediaPlayer1->duration() > 19.0, "the player opened the file");
    QCOMPARE(editorText(window.ui->Memo1), u"-00:00:02-昨天的文字"_s);

    window.ui->Memo1->moveCursor(QTextCursor::End);
    QTest::keyClicks(window.ui->Memo1, u",today"_s);
    window.desktop.boxes.clear();
    window.ui->BitBtn10->click();
    QVERIFY(window.desktop.boxes.isEmpty()); // remembered as saved here: no question
    QCOMPARE(readBytes(base + ".txt"), encodeTranscript(u"-00:00:02-昨天的文字,today"_s));
    QTest::keyClicks(window.ui->Memo1, u"."_s);
    window.ui->BitBtn10->click();
    QVERIFY2(window.desktop.boxes.isEmpty(), "the memory of files knows the name's bytes");

    window.desktop.filesToSave = {{decodePath(base + ".srt"), exportFormatFilter(ExportFormat::SubRip)}};
    window.ui->exportAction->trigger();
    QVERIFY(readBytes(base + ".srt").startsWith("1\n00:00:02,000 --> 00:00:20,000\n"));
    QCOMPARE(namesIn(window.recordings.path()),
             (QByteArrayList{kGbkName + ".wav", kGbkName + ".wav.srt", kGbkName + ".wav.txt"}));
}

void ByteNamesTest::theDraftReadsARecordingNamedInGbk()
{
    WindowUnderTest window(true, u"Time.ini"_s, QString(), QString(), [](TMainForm1::Environment& environment) {
        environment.draft = {QStringLiteral(TAVRIN_DRAFT_HELPER), QStringLiteral(TAVRIN_SPEECH_ENGINE)};
    });
    QVERIFY(window.show());
    const QString written = window.recordings.filePath(u"phrases.wav"_s);
    tavrin::test::writeSpokenPhrases(written, {u"今天我们讨论一下项目的进度。"_s, u"好的，我先说。"_s}, 1.5);
    const QString recording =
        moveToBytes(written, QFile::encodeName(window.recordings.path()) + '/' + kGbkName + ".wav");
    window.desktop.filesToChoose = {recording};
    window.ui->N8->trigger();
    window.desktop.boxes.clear();
    window.ui->draftAction->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(!window.desktop.boxes.isEmpty() && !window.desktop.boxes.last().question, kDraftWaitMs);
    QCOMPARE(window.desktop.boxes.last().text, u"自动初稿已完成：共 2 段。"_s);
}

QTEST_MAIN(ByteNamesTest)
#include "byte_names_test.moc"
