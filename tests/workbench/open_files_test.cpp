// Files given on the command line or dropped on the window load as the menu
// loads them; a drop the program cannot take changes nothing.
#include "editor/editor_text.h"
#include "editor/transcript_edit.h"
#include "support/window_under_test.h"

#include <QMimeData>
#include <QtTest>

using namespace tavrin;
using namespace Qt::StringLiterals;
using tavrin::test::TempFolder;
using tavrin::test::WindowUnderTest;

namespace {

const QString kRecordingLoaded =
    u"加载音视频文件成功！点击保存文稿按钮后，可以通过按快捷键空格（回车）进行播放与暂停边听边整理了。"_s;

// Drops `paths` on the middle of `target`, as a file manager does.
void drop(QWidget* target, const QStringList& paths)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls.append(path.contains(u"://"_s) ? QUrl(path) : QUrl::fromLocalFile(path));
    data.setUrls(urls);
    const QPoint middle = target->rect().center();
    QDragEnterEvent enter(middle, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent dropped(middle, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &dropped);
}

} // namespace

class OpenFilesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void filesGivenAtStart_data();
    void filesGivenAtStart();
    void droppedFiles_data();
    void droppedFiles();
    void missingSettingsNameEveryPlaceLookedIn();
};

void OpenFilesTest::filesGivenAtStart_data()
{
    QTest::addColumn<bool>("recording");
    QTest::addColumn<bool>("transcript");
    QTest::addColumn<QString>("expectedText");
    QTest::newRow("a recording: its transcript comes back") << true << false << u"beside"_s;
    QTest::newRow("a transcript") << false << true << u"given"_s;
    QTest::newRow("both: the transcript given") << true << true << u"given"_s;
}

void OpenFilesTest::filesGivenAtStart()
{
    QFETCH(bool, recording);
    QFETCH(bool, transcript);
    QFETCH(QString, expectedText);
    TempFolder files;
    const QString wav = files.filePath(u"讲话.wav"_s);
    test::writeWav(wav, 5.0);
    files.write(u"讲话.wav.txt"_s, "beside");
    const QString given = files.write(u"given.txt"_s, "given");
    WindowUnderTest window(true, u"Time.ini"_s, QString(), QString(), [&](TMainForm1::Environment& environment) {
        environment.recordingToOpen = recording ? wav : QString();
        environment.transcriptToOpen = transcript ? given : QString();
    });
    QVERIFY(window.show());
    QTRY_COMPARE_WITH_TIMEOUT(editorText(window.ui->Memo1), expectedText, 20000);
    if (recording) {
        QCOMPARE(window.ui->WindowsMediaPlayer1->url(), wav);
        QCOMPARE(window.desktop.texts().first(), kRecordingLoaded);
        QCOMPARE(window.desktop.boxes.size(), transcript ? 1 : 2); // the one beside it is told of only when loaded
        QCOMPARE(window.transcriptController().recording(), wav);
    }
    QCOMPARE(QApplication::focusWidget(), window.ui->Memo1);
}

void OpenFilesTest::droppedFiles_data()
{
    QTest::addColumn<QStringList>("names"); // in the test's folder, or an address
    QTest::addColumn<bool>("onTheText");    // dropped on the text, else on the window around it
    QTest::addColumn<bool>("recordingLoaded");
    QTest::addColumn<QString>("expectedText");
    QTest::addColumn<QString>("message"); // a part of the one message shown, or empty

    // clang-format off
    QTest::newRow("a recording") << QStringList{u"r.wav"_s} << false << true << u"typed"_s << kRecordingLoaded;
    QTest::newRow("a recording on the text") << QStringList{u"r.wav"_s} << true << true << u"typed"_s << kRecordingLoaded;
    QTest::newRow("a transcript on the text") << QStringList{u"t.txt"_s} << true << false << u"from a file"_s << QString();
    QTest::newRow("two files") << QStringList{u"r.wav"_s, u"t.txt"_s} << true << false << u"typed"_s << u"一次只能拖入一个文件"_s;
    QTest::newRow("a missing file") << QStringList{u"gone.wav"_s} << false << false << u"typed"_s << u"无法读取拖入的文件"_s;
    QTest::newRow("a folder") << QStringList{u"sub"_s} << true << false << u"typed"_s << u"无法读取拖入的文件"_s;
    QTest::newRow("a web address") << QStringList{u"https://example.com/a.mp3"_s} << true << false << u"typed"_s
        << u"只能拖入本机上的文件"_s;
    // clang-format on
}

void OpenFilesTest::droppedFiles()
{
    QFETCH(QStringList, names);
    QFETCH(bool, onTheText);
    QFETCH(bool, recordingLoaded);
    QFETCH(QString, expectedText);
    QFETCH(QString, message);
    WindowUnderTest window;
    QVERIFY(window.show());
    TempFolder files;
    test::writeWav(files.filePath(u"r.wav"_s), 5.0);
    files.write(u"t.txt"_s, "from a file");
    QVERIFY(QDir(files.path()).mkdir(u"sub"_s));
    QStringList paths;
    for (const QString& name : names)
        paths.append(name.contains(u"://"_s) ? name : files.filePath(name));
    window.ui->Memo1->setPlainText(u"typed"_s);
    window.ui->Memo1->document()->setModified(false);

    drop(onTheText ? window.ui->Memo1->viewport() : static_cast<QWidget*>(window.window.get()), paths);
    if (message.isEmpty()) {
        QTRY_COMPARE_WITH_TIMEOUT(editorText(window.ui->Memo1), expectedText, 20000);
        QVERIFY(window.desktop.boxes.isEmpty());
    } else {
        QTRY_VERIFY_WITH_TIMEOUT(!window.desktop.boxes.isEmpty(), 20000);
        QCOMPARE(window.desktop.boxes.size(), 1);
        QVERIFY2(window.desktop.boxes.first().text.contains(message), qPrintable(window.desktop.boxes.first().text));
        QCOMPARE(editorText(window.ui->Memo1), expectedText); // no path typed into the text either
    }
    QCOMPARE(window.ui->WindowsMediaPlayer1->url().isEmpty(), !recordingLoaded);
    QCOMPARE(window.transcriptController().recording().isEmpty(), !recordingLoaded);
}

void OpenFilesTest::missingSettingsNameEveryPlaceLookedIn()
{
    const QStringList places{u"/home/someone/.config/tavrin"_s, u"/usr/lib/tavrin"_s};
    WindowUnderTest window(false, u"Time.ini"_s, QString(), QString(),
                           [&](TMainForm1::Environment& environment) { environment.settingsSearched = places; });
    QVERIFY(window.terminationRequested);
    const QString text = window.desktop.boxes.value(0).text;
    QVERIFY2(text.startsWith(u"文件缺失，请重新解压"_s) && text.contains(places[0]) && text.contains(places[1]),
             qPrintable(text));
}

QTEST_MAIN(OpenFilesTest)
#include "open_files_test.moc"
