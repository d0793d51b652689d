#include "files/recovery_journal.h"

#include <QAbstractTextDocumentLayout>
#include <QRandomGenerator>
#include <QTextCursor>
#include <QTextDocument>
#include <QtEndian>
#include <QtTest>

using tavrin::JournalEdit;
using tavrin::ReplayedJournal;
using Ending = tavrin::ReplayedJournal::Ending;

namespace {

// Records every change of a document as the journal would, and keeps the journal.
class DocumentRecorder {
public:
    explicit DocumentRecorder(QTextDocument& document)
        : document_(document)
    {
        journal = tavrin::journalHeader() + tavrin::journalSnapshot(document.toRawText());
        QObject::connect(&document, &QTextDocument::contentsChange, [this](int position, int removed, int added) {
            journal += tavrin::journalEdit({position, removed, document_.toRawText().mid(position, added)});
        });
    }
    QByteArray journal;

private:
    QTextDocument& document_;
};

QString randomText(QRandomGenerator& random, int length)
{
    static const QString letters = QStringLiteral("abc 听打整理\n，。𠀀");
    QString text;
    while (text.size() < length)
        text += letters.at(int(random.bounded(letters.size())));
    return text;
}

// One random edit of the kinds a typist makes.
void editAtRandom(QTextDocument& document, QRandomGenerator& random)
{
    QTextCursor cursor(&document);
    const int size = document.characterCount() - 1;
    cursor.setPosition(int(random.bounded(size + 1)));
    switch (random.bounded(7)) {
    case 0: // typing
        cursor.insertText(randomText(random, 1));
        break;
    case 1: // deleting
        cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor, int(random.bounded(4)));
        cursor.removeSelectedText();
        break;
    case 2: // replacing a selection
        cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor, int(random.bounded(20)));
        cursor.insertText(randomText(random, int(random.bounded(10))));
        break;
    case 3: // select all, then type
        cursor.select(QTextCursor::Document);
        cursor.insertText(randomText(random, int(random.bounded(30))));
        break;
    case 4: // a large paste
        cursor.insertText(randomText(random, 5000));
        break;
    case 5:
        document.undo();
        break;
    default:
        document.redo();
        break;
    }
}

} // namespace

class RecoveryJournalTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void lastRecordCutAnywhereKeepsWhatCameBefore_data();
    void lastRecordCutAnywhereKeepsWhatCameBefore();
    void damagedRecordInTheMiddleIsReported();
    void recordingAndClosing();
    void notAJournal_data();
    void notAJournal();
    void checksumIsTheStandardCrc32_data();
    void checksumIsTheStandardCrc32();
    void randomEditsReplayToTheDocument_data();
    void randomEditsReplayToTheDocument();
};

void RecoveryJournalTest::lastRecordCutAnywhereKeepsWhatCameBefore_data()
{
    QTest::addColumn<QByteArray>("last");
    QTest::addColumn<QString>("whole");
    QTest::newRow("typing") << tavrin::journalEdit({3, 0, QStringLiteral("，第二句")})
                            << QStringLiteral("第一句，第二句");
    QTest::newRow("deleting") << tavrin::journalEdit({1, 2, QString()}) << QStringLiteral("第");
    QTest::newRow("snapshot") << tavrin::journalSnapshot(QStringLiteral("新的文稿")) << QStringLiteral("新的文稿");
}

void RecoveryJournalTest::lastRecordCutAnywhereKeepsWhatCameBefore()
{
    QFETCH(QByteArray, last);
    QFETCH(QString, whole);
    const QByteArray before = tavrin::journalHeader() + tavrin::journalSnapshot(QStringLiteral("第一"))
        + tavrin::journalEdit({2, 0, QStringLiteral("句")});
    const QByteArray journal = before + last;
    const ReplayedJournal full = tavrin::replayJournal(journal);
    QCOMPARE(full.text, whole);
    QCOMPARE(full.ending, Ending::Complete);
    QCOMPARE(full.records, 3);
    for (qsizetype cut = before.size(); cut < journal.size(); ++cut) {
        const ReplayedJournal replayed = tavrin::replayJournal(QByteArrayView(journal).first(cut));
        QCOMPARE(replayed.text, QStringLiteral("第一句"));
        QCOMPARE(replayed.records, 2);
        QCOMPARE(replayed.goodBytes, before.size());
        QCOMPARE(replayed.ending, cut == before.size() ? Ending::Complete : Ending::TornTail);
    }
    // Half written: the right length, its bytes not all there yet.
    QByteArray halfWritten = journal;
    halfWritten[journal.size() - 1] = char(halfWritten.back() ^ 0x55);
    QCOMPARE(tavrin::replayJournal(halfWritten).ending, Ending::TornTail);
    QCOMPARE(tavrin::replayJournal(halfWritten).text, QStringLiteral("第一句"));
}

void RecoveryJournalTest::damagedRecordInTheMiddleIsReported()
{
    const QByteArray start = tavrin::journalHeader() + tavrin::journalSnapshot(QStringLiteral("开头"));
    const QByteArray damaged = tavrin::journalEdit({2, 0, QStringLiteral("中间")});
    QByteArray journal = start + damaged + tavrin::journalEdit({0, 0, QStringLiteral("后来")});
    journal[start.size() + damaged.size() - 2] ^= 0x01;
    const ReplayedJournal replayed = tavrin::replayJournal(journal);
    QCOMPARE(replayed.ending, Ending::Corrupt);
    QCOMPARE(replayed.text, QStringLiteral("开头"));
    QCOMPARE(replayed.goodBytes, start.size());
}

void RecoveryJournalTest::recordingAndClosing()
{
    const QByteArray start = tavrin::journalHeader() + tavrin::journalSnapshot(QStringLiteral("文"))
        + tavrin::journalRecording(QStringLiteral("/录音/一.wav"), 1500);
    ReplayedJournal replayed = tavrin::replayJournal(start + tavrin::journalRecording(QStringLiteral("/b.mp3"), 62000));
    QCOMPARE(replayed.recording, QStringLiteral("/b.mp3"));
    QCOMPARE(replayed.positionMs, 62000);
    QVERIFY(!replayed.closed); // a crash: no closing record
    replayed = tavrin::replayJournal(start + tavrin::journalClosed());
    QVERIFY(replayed.closed);
    QCOMPARE(replayed.recording, QStringLiteral("/录音/一.wav"));
    QCOMPARE(replayed.positionMs, 1500);
    // Typing after a recovered close: the journal is a crash's again.
    replayed =
        tavrin::replayJournal(start + tavrin::journalClosed() + tavrin::journalEdit({1, 0, QStringLiteral("稿")}));
    QVERIFY(!replayed.closed);
    QCOMPARE(replayed.text, QStringLiteral("文稿"));
}

void RecoveryJournalTest::notAJournal_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QByteArray otherVersion = tavrin::journalHeader();
    otherVersion[4] = 2;
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("a transcript") << QByteArray("\xce\xc4\xb8\xe5 text");
    QTest::newRow("another version") << otherVersion + tavrin::journalSnapshot(QStringLiteral("x"));
}

void RecoveryJournalTest::notAJournal()
{
    QFETCH(QByteArray, bytes);
    const ReplayedJournal replayed = tavrin::replayJournal(bytes);
    QCOMPARE(replayed.ending, Ending::WrongHeader);
    QVERIFY(replayed.text.isEmpty());
}

// Journals left by earlier runs must stay readable: each record's checksum is
// the CRC-32 of zip and PNG, here as zlib computes it for the same payload.
void RecoveryJournalTest::checksumIsTheStandardCrc32_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<quint32>("zlibCrc");
    QTest::newRow("shorter than a step of 8 bytes") << QStringLiteral("听打") << quint32(0x0AEADA0F);
    QTest::newRow("many steps and a tail")
        << QStringLiteral("第1行，听打整理的文字。").repeated(7) << quint32(0xDB48E1B4);
}

void RecoveryJournalTest::checksumIsTheStandardCrc32()
{
    QFETCH(QString, text);
    QFETCH(quint32, zlibCrc);
    const QByteArray record = tavrin::journalSnapshot(text);
    QCOMPARE(qFromLittleEndian<quint32>(record.constData()), quint32(1 + 2 * text.size()));
    QCOMPARE(qFromLittleEndian<quint32>(record.constData() + 4), zlibCrc);
}

void RecoveryJournalTest::randomEditsReplayToTheDocument_data()
{
    QTest::addColumn<quint32>("seed");
    for (const quint32 seed : {1u, 2u, 3u, 42u, 2026u})
        QTest::addRow("seed %u", seed) << seed;
}

void RecoveryJournalTest::randomEditsReplayToTheDocument()
{
    QFETCH(quint32, seed);
    QRandomGenerator random(seed);
    QTextDocument document;
    document.documentLayout(); // changes are reported once the document has a layout
    document.setPlainText(QStringLiteral("录音整理\n第二行"));
    DocumentRecorder recorder(document);
    for (int step = 0; step < 400; ++step) {
        editAtRandom(document, random);
        if (step % 50 == 49) {
            const ReplayedJournal replayed = tavrin::replayJournal(recorder.journal);
            QCOMPARE(replayed.ending, Ending::Complete);
            QCOMPARE(replayed.text, document.toRawText());
        }
    }
}

QTEST_MAIN(RecoveryJournalTest)
#include "recovery_journal_test.moc"
