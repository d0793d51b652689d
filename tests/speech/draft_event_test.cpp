#include "speech/draft_event.h"

#include <QtTest>

using namespace tavrin;
using Kind = DraftEvent::Kind;

Q_DECLARE_METATYPE(DraftEvent)

class DraftEventTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void eachEventSurvivesItsLine_data();
    void eachEventSurvivesItsLine();
    void linesThatAreNoEventAreRefused_data();
    void linesThatAreNoEventAreRefused();
    void wordsThatDoNotLieOnTheTextAreDropped_data();
    void wordsThatDoNotLieOnTheTextAreDropped();
};

void DraftEventTest::eachEventSurvivesItsLine_data()
{
    QTest::addColumn<DraftEvent>("event");
    QTest::newRow("started") << DraftEvent{.kind = Kind::Started, .seconds = 3600.5};
    QTest::newRow("started, length not known") << DraftEvent{.kind = Kind::Started};
    QTest::newRow("progress") << DraftEvent{.kind = Kind::Progress, .seconds = 12.25};
    QTest::newRow("utterance without words") << DraftEvent{.kind = Kind::Utterance, .seconds = 1.5, .endSeconds = 3.75};
    QTest::newRow("utterance with words, quotes and a line feed")
        << DraftEvent{.kind = Kind::Utterance,
                      .seconds = 61.0,
                      .endSeconds = 64.5,
                      .text = QStringLiteral("他说：\"好的。\"\n下一句")};
    QTest::newRow("utterance with each word's time")
        << DraftEvent{.kind = Kind::Utterance,
                      .seconds = 61.0,
                      .endSeconds = 64.5,
                      .text = QStringLiteral("好的 ok"),
                      .words = {{0, 1, 61.25}, {1, 1, 61.5}, {3, 2, 62.0}}};
    QTest::newRow("utterance with times spread over it") << DraftEvent{.kind = Kind::Utterance,
                                                                       .seconds = 2.0,
                                                                       .endSeconds = 3.0,
                                                                       .text = QStringLiteral("好的"),
                                                                       .words = {{0, 1, 2.0}, {1, 1, 2.5}},
                                                                       .wordsEstimated = true};
    QTest::newRow("finished") << DraftEvent{.kind = Kind::Finished};
    QTest::newRow("failed") << DraftEvent{.kind = Kind::Failed, .text = QStringLiteral("找不到语音引擎")};
}

void DraftEventTest::eachEventSurvivesItsLine()
{
    QFETCH(DraftEvent, event);
    const QByteArray line = encodeDraftEvent(event);
    QVERIFY(line.endsWith('\n'));
    QCOMPARE(line.count('\n'), 1); // one event, one line, whatever its words hold
    const std::optional<DraftEvent> decoded = decodeDraftEvent(line);
    QVERIFY(decoded);
    QVERIFY(*decoded == event);
}

void DraftEventTest::linesThatAreNoEventAreRefused_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("the engine's own message") << QByteArray("c-api.cc:Create:698 Errors in config\n");
    QTest::newRow("not an object") << QByteArray("[\"utterance\", 1, 2]\n");
    QTest::newRow("unknown event") << QByteArray(R"({"event":"speaker","seconds":1})");
    QTest::newRow("utterance without a start") << QByteArray(R"({"event":"utterance","end":2})");
    QTest::newRow("utterance ending before it starts") << QByteArray(R"({"event":"utterance","seconds":5,"end":2})");
    QTest::newRow("negative time") << QByteArray(R"({"event":"progress","seconds":-1})");
    QTest::newRow("time as text") << QByteArray(R"({"event":"progress","seconds":"12"})");
    QTest::newRow("cut off") << QByteArray(R"({"event":"utterance","seconds":1,"en)");
}

void DraftEventTest::linesThatAreNoEventAreRefused()
{
    QFETCH(QByteArray, line);
    QVERIFY(!decodeDraftEvent(line));
}

void DraftEventTest::wordsThatDoNotLieOnTheTextAreDropped_data()
{
    QTest::addColumn<QByteArray>("words");
    QTest::newRow("past the text's end") << QByteArray("[[0,1,1],[2,2,1.5]]");
    QTest::newRow("out of order") << QByteArray("[[1,1,1],[0,1,1.5]]");
    QTest::newRow("overlapping") << QByteArray("[[0,2,1],[1,1,1.5]]");
    QTest::newRow("empty word") << QByteArray("[[0,0,1]]");
    QTest::newRow("negative time") << QByteArray("[[0,1,-1]]");
    QTest::newRow("a fraction of a character") << QByteArray("[[0.5,1,1]]");
    QTest::newRow("not a list") << QByteArray(R"("words")");
    QTest::newRow("a word of two numbers") << QByteArray("[[0,1]]");
}

// The utterance still comes, with its text; only its words' times are dropped,
// all of them: a time may be missing, never wrong.
void DraftEventTest::wordsThatDoNotLieOnTheTextAreDropped()
{
    QFETCH(QByteArray, words);
    const QByteArray line =
        R"({"event":"utterance","seconds":1,"end":3,"text":"好的好","estimated":true,"words":)" + words + "}";
    const std::optional<DraftEvent> event = decodeDraftEvent(line);
    QVERIFY(event);
    QCOMPARE(event->text, QStringLiteral("好的好"));
    QVERIFY(event->words.empty());
    QVERIFY(!event->wordsEstimated);
}

QTEST_APPLESS_MAIN(DraftEventTest)
#include "draft_event_test.moc"
