#include "transcript/text_times.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace tavrin;
using Stretch = TextTimes::Stretch;

Q_DECLARE_METATYPE(std::vector<TextTimes::Stretch>)

class TextTimesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void editsKeepTheTimesOfWhatTheyLeaveAlone_data();
    void editsKeepTheTimesOfWhatTheyLeaveAlone();
    void anyEditsKeepEveryUntouchedCharactersTime();
    void untimedTextPlaysFromTheTimeBeforeIt_data();
    void untimedTextPlaysFromTheTimeBeforeIt();
    void addingNeverTimesATimedCharacterAgain();
    void theWordHeardIsTheLatestWhoseTimeHasCome_data();
    void theWordHeardIsTheLatestWhoseTimeHasCome();
};

namespace {

// "好的今天": two words of a character, then one of two.
const std::vector<Stretch> kDrafted{{0, 1, 1.0}, {1, 1, 1.2}, {2, 2, 2.0}};

struct Edit {
    qint32 position, removed, added;
};

} // namespace

Q_DECLARE_METATYPE(std::vector<Edit>)

void TextTimesTest::editsKeepTheTimesOfWhatTheyLeaveAlone_data()
{
    QTest::addColumn<std::vector<Edit>>("edits");
    QTest::addColumn<std::vector<Stretch>>("after");
    const auto row = [](const char* name, std::vector<Edit> edits, std::vector<Stretch> after) {
        QTest::newRow(name) << edits << after;
    };
    row("typing before", {{0, 0, 3}}, {{3, 1, 1.0}, {4, 1, 1.2}, {5, 2, 2.0}});
    row("typing after", {{4, 0, 2}}, kDrafted);
    row("typing between words", {{1, 0, 1}}, {{0, 1, 1.0}, {2, 1, 1.2}, {3, 2, 2.0}});
    row("typing inside a word cuts it in two", {{3, 0, 1}}, {{0, 1, 1.0}, {1, 1, 1.2}, {2, 1, 2.0}, {4, 1, 2.0}});
    row("deleting a word", {{1, 1, 0}}, {{0, 1, 1.0}, {1, 2, 2.0}});
    row("deleting inside a word keeps the rest of it", {{3, 1, 0}}, {{0, 1, 1.0}, {1, 1, 1.2}, {2, 1, 2.0}});
    row("a selection across words replaced", {{1, 2, 1}}, {{0, 1, 1.0}, {2, 1, 2.0}});
    row("everything deleted", {{0, 4, 0}}, {});
    row("everything pasted over", {{0, 4, 10}}, {});
    // An undone deletion brings the characters back without their time: missing, never wrong.
    row("a deletion undone", {{1, 1, 0}, {1, 0, 1}}, {{0, 1, 1.0}, {2, 2, 2.0}});
    row("a speaker label written at a paragraph's start", {{0, 0, 4}}, {{4, 1, 1.0}, {5, 1, 1.2}, {6, 2, 2.0}});
}

void TextTimesTest::editsKeepTheTimesOfWhatTheyLeaveAlone()
{
    QFETCH(std::vector<Edit>, edits);
    QFETCH(std::vector<Stretch>, after);
    TextTimes times;
    times.add(kDrafted);
    for (const Edit& edit : edits)
        times.change(edit.position, edit.removed, edit.added);
    QCOMPARE(times.stretches(), after);
}

// Against the plainest account there is, a time or none for each character,
// through thousands of edits of every kind.
void TextTimesTest::anyEditsKeepEveryUntouchedCharactersTime()
{
    QRandomGenerator random(35);
    std::vector<std::optional<double>> characters;
    TextTimes times;
    std::vector<Stretch> words;
    for (qint32 at = 0; at < 400; at += 4) {
        words.push_back({at, 3, at * 0.25});
        for (int i = 0; i < 4; ++i)
            characters.push_back(i < 3 ? std::optional<double>(at * 0.25) : std::nullopt);
    }
    times.add(words);
    for (int edit = 0; edit < 3000; ++edit) {
        const auto size = qint32(characters.size());
        const qint32 position = qint32(random.bounded(size + 1));
        const qint32 removed = qint32(random.bounded(std::min(size - position, 6) + 1));
        const qint32 added = qint32(random.bounded(4));
        times.change(position, removed, added);
        characters.erase(characters.begin() + position, characters.begin() + position + removed);
        characters.insert(characters.begin() + position, std::size_t(added), std::nullopt);
        if (characters.size() < 100) { // a draft comes again at the end
            const auto end = qint32(characters.size());
            times.add({{end, 2, edit * 1.0}});
            characters.insert(characters.end(), 2, std::optional<double>(edit * 1.0));
        }
    }
    for (qint32 at = 0; at < qint32(characters.size()); ++at)
        QCOMPARE(times.timeAt(at), characters[std::size_t(at)]);
}

void TextTimesTest::untimedTextPlaysFromTheTimeBeforeIt_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("passageStart");
    QTest::addColumn<double>("start");
    // A passage from 0 whose mark stands at 5 s, its words at 7.5 s (3 and 4) and 9 s (6).
    QTest::newRow("a word: its time, the lead before it") << 3 << 0 << 7.0;
    QTest::newRow("a word's second character") << 4 << 0 << 7.0;
    QTest::newRow("typed after a word: that word") << 5 << 0 << 7.0;
    QTest::newRow("the last word") << 6 << 0 << 8.5;
    QTest::newRow("typed far after") << 40 << 0 << 8.5;
    QTest::newRow("nothing timed before it: the mark") << 1 << 0 << 5.0;
    QTest::newRow("the timed word before is another passage's: the mark") << 20 << 10 << 5.0;
}

void TextTimesTest::untimedTextPlaysFromTheTimeBeforeIt()
{
    QFETCH(int, position);
    QFETCH(int, passageStart);
    QFETCH(double, start);
    TextTimes times;
    times.add({{3, 2, 7.5}, {6, 1, 9.0}});
    QCOMPARE(hearingStart(times, position, passageStart, 5.0, 0.5), start);
    QCOMPARE(hearingStart(times, 3, 0, 5.0, 30.0), 0.0); // never before the start
}

void TextTimesTest::addingNeverTimesATimedCharacterAgain()
{
    TextTimes times;
    times.add(kDrafted);
    times.add({{1, 2, 50.0}, {4, 1, 60.0}, {-1, 2, 70.0}, {5, 0, 80.0}});
    QCOMPARE(times.stretches(), (std::vector<Stretch>{{0, 1, 1.0}, {1, 1, 1.2}, {2, 2, 2.0}, {4, 1, 60.0}}));
}

void TextTimesTest::theWordHeardIsTheLatestWhoseTimeHasCome_data()
{
    constexpr double kForever = std::numeric_limits<double>::infinity();
    QTest::addColumn<double>("seconds");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("word"); // where, -1: none
    QTest::addColumn<double>("heardFrom");
    QTest::addColumn<double>("heardUntil");
    // Words at 3 (7.5 s), 6 (9 s) and 8 (8 s: an edit left it after a later one).
    QTest::newRow("before the first") << 7.0 << 0 << -1 << -kForever << 7.5;
    QTest::newRow("the first") << 7.5 << 0 << 3 << 7.5 << 8.0;
    QTest::newRow("by time, not by place") << 8.5 << 0 << 8 << 8.0 << 9.0;
    QTest::newRow("the last") << 9.5 << 0 << 6 << 9.0 << kForever;
    QTest::newRow("only the passage's own words") << 7.6 << 5 << -1 << -kForever << 8.0;
}

void TextTimesTest::theWordHeardIsTheLatestWhoseTimeHasCome()
{
    QFETCH(double, seconds);
    QFETCH(int, from);
    QFETCH(int, word);
    QFETCH(double, heardFrom);
    QFETCH(double, heardUntil);
    TextTimes times;
    times.add({{3, 2, 7.5}, {6, 1, 9.0}, {8, 1, 8.0}});
    const TextTimes::Heard heard = times.heardAt(seconds, from, 10);
    QCOMPARE(heard.word ? heard.word->at : -1, word);
    QCOMPARE(heard.from, heardFrom);
    QCOMPARE(heard.until, heardUntil);
}

QTEST_GUILESS_MAIN(TextTimesTest)
#include "text_times_test.moc"
