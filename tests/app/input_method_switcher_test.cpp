#include "app/input_method_switcher.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusVirtualObject>
#include <QLineEdit>
#include <QtTest>

namespace {

// One item of fcitx5's InputMethodGroupInfo answer, (ss): an input method's
// unique name and its keyboard layout.
struct GroupItem {
    QString name;
};

QDBusArgument& operator<<(QDBusArgument& out, const GroupItem& item)
{
    out.beginStructure();
    out << item.name << QString();
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, GroupItem& item)
{
    QString layout;
    in.beginStructure();
    in >> item.name >> layout;
    in.endStructure();
    return in;
}

} // namespace

Q_DECLARE_METATYPE(GroupItem)

namespace {

// An fcitx5 controller on the test's own session bus that records what it is
// asked. The first `lostSwitches` switches go to no input context, as when the
// window's context has not reached fcitx5 yet.
class FakeFcitxController : public QDBusVirtualObject {
public:
    QStringList group; // the input methods of the group in use
    QStringList calls;
    int lostSwitches = 0;
    // After this many answers to CurrentInputMethod, the input method falls back
    // to the keyboard once, as when the window's own context reaches fcitx5 late.
    int fallBackAfterAnswers = -1;
    QString current = QStringLiteral("keyboard-us");

    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        QString call = message.member();
        for (const QVariant& argument : message.arguments())
            call += u' ' + argument.toString();
        calls.append(call);
        QDBusMessage reply = message.createReply();
        if (message.member() == QStringLiteral("InputMethodGroups"))
            reply << QStringList{QStringLiteral("Default"), QStringLiteral("Other")};
        else if (message.member() == QStringLiteral("InputMethodGroupInfo")) {
            QList<GroupItem> items;
            if (message.arguments().constFirst().toString() == QStringLiteral("Default")) {
                for (const QString& name : group)
                    items.append({name});
            }
            reply << QStringLiteral("us") << QVariant::fromValue(items);
        } else if (message.member() == QStringLiteral("CurrentInputMethod")) {
            reply << current;
            if (--fallBackAfterAnswers == 0)
                current = QStringLiteral("keyboard-us");
        } else if (message.member() == QStringLiteral("SetCurrentIM") && lostSwitches-- <= 0)
            current = message.arguments().constFirst().toString();
        else if (message.member() == QStringLiteral("Deactivate"))
            current = group.value(0);
        connection.send(reply);
        return true;
    }

    qsizetype count(const QString& call) const { return calls.count(call); }
};

// True once every call the switcher made has been answered: a call still
// awaiting its answer when the program ends is never freed.
bool answered(const tavrin::InputMethodSwitcher& switcher)
{
    return switcher.findChildren<QDBusPendingCallWatcher*>().isEmpty();
}

const QString kSwitch = QStringLiteral("SetCurrentIM pinyin");
const QString kConfirm = QStringLiteral("CurrentInputMethod");
// What every request asks first: which input methods the group in use holds.
const QStringList kAskGroup{QStringLiteral("InputMethodGroups"), QStringLiteral("InputMethodGroupInfo Default")};

// Registers the controller for one test.
class ControllerOnBus {
public:
    explicit ControllerOnBus(FakeFcitxController& controller)
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        registered_ = bus.registerService(QStringLiteral("org.fcitx.Fcitx5"))
            && bus.registerVirtualObject(QStringLiteral("/controller"), &controller);
    }
    ~ControllerOnBus()
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.unregisterObject(QStringLiteral("/controller"));
        bus.unregisterService(QStringLiteral("org.fcitx.Fcitx5"));
    }
    bool registered() const { return registered_; }

private:
    bool registered_ = false;
};

} // namespace

// A window of two inputs, one under the other, the first watched by a switcher
// (the second too, when asked), shown.
struct TwoInputs {
    QWidget window;
    QLineEdit* first = new QLineEdit(&window);
    QLineEdit* second = new QLineEdit(&window);
    tavrin::InputMethodSwitcher switcher;

    explicit TwoInputs(bool bothWatched = false)
    {
        second->move(0, 40);
        switcher.watch(first);
        if (bothWatched)
            switcher.watch(second);
        window.show();
    }
};

class InputMethodSwitcherTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void asksOnFocus_data();
    void asksOnFocus();
    void followsTheGroupAsItChanges();
    void asksOnceTheFocusChangeIsDone();
    void repeatsALostSwitch_data();
    void repeatsALostSwitch();
    void asksAgainWhenTheWindowComesBack();
    void nothingWithoutController();
};

void InputMethodSwitcherTest::initTestCase()
{
    if (!QDBusConnection::sessionBus().isConnected())
        QSKIP("needs a session bus: run under dbus-run-session");
    qDBusRegisterMetaType<GroupItem>();
    qDBusRegisterMetaType<QList<GroupItem>>();
}

void InputMethodSwitcherTest::asksOnFocus_data()
{
    QTest::addColumn<QStringList>("group");
    QTest::addColumn<QStringList>("requests");
    QTest::newRow("pinyin in the group") << QStringList{QStringLiteral("keyboard-us"), QStringLiteral("pinyin")}
                                         << kAskGroup + QStringList{kSwitch, kConfirm, kConfirm, kConfirm};
    QTest::newRow("pinyin not in the group") << QStringList{QStringLiteral("keyboard-us"), QStringLiteral("mozc")}
                                             << kAskGroup + QStringList{QStringLiteral("Deactivate")};
}

void InputMethodSwitcherTest::asksOnFocus()
{
    QFETCH(QStringList, group);
    QFETCH(QStringList, requests);
    FakeFcitxController controller;
    controller.group = group;
    ControllerOnBus onBus(controller);
    QVERIFY(onBus.registered());

    TwoInputs inputs;
    QVERIFY(QTest::qWaitForWindowActive(&inputs.window));
    QLineEdit* watched = inputs.first;
    QLineEdit* other = inputs.second;
    tavrin::InputMethodSwitcher& switcher = inputs.switcher;
    watched->setFocus();
    other->setFocus();
    watched->setFocus();
    QTest::qWait(50);
    QVERIFY(controller.calls.isEmpty()); // not armed yet: the window's first showing waits for nothing
    switcher.arm();                      // asks at once for the input that has the focus
    QTRY_COMPARE(controller.calls, requests);
    other->setFocus(); // an input that is not watched asks for nothing
    watched->setFocus();
    // Asked again, afresh.
    QTRY_COMPARE(controller.calls, requests + requests);
    QTRY_VERIFY(answered(switcher));
}

// What the group holds is never remembered: an answer given while fcitx5 was
// starting, or before the user added Pinyin, would switch Pinyin off at every
// focus, and undo the user's own switch each time.
void InputMethodSwitcherTest::followsTheGroupAsItChanges()
{
    FakeFcitxController controller;
    controller.group = {QStringLiteral("keyboard-us")};
    ControllerOnBus onBus(controller);
    QVERIFY(onBus.registered());

    TwoInputs inputs;
    QVERIFY(QTest::qWaitForWindowActive(&inputs.window));
    QLineEdit* watched = inputs.first;
    QLineEdit* other = inputs.second;
    tavrin::InputMethodSwitcher& switcher = inputs.switcher;
    watched->setFocus();
    switcher.arm();
    QTRY_COMPARE(controller.count(QStringLiteral("Deactivate")), 1);

    controller.group.append(QStringLiteral("pinyin"));
    controller.current = QStringLiteral("pinyin"); // the user switched on
    other->setFocus();
    watched->setFocus();
    QTRY_COMPARE(controller.count(kConfirm), tavrin::InputMethodSwitcher::kHeldAnswers);
    QCOMPARE(controller.count(QStringLiteral("Deactivate")), 1); // never again
    QCOMPARE(controller.current, QStringLiteral("pinyin"));
    QTRY_VERIFY(answered(switcher));
}

// The toolkit tells fcitx5 of a new focus after the input's focus event: a
// request made within that event would reach the context that had the focus
// before. Several focus changes in one go make one request.
void InputMethodSwitcherTest::asksOnceTheFocusChangeIsDone()
{
    FakeFcitxController controller;
    controller.group = {QStringLiteral("keyboard-us"), QStringLiteral("pinyin")};
    ControllerOnBus onBus(controller);
    QVERIFY(onBus.registered());

    TwoInputs inputs(true);
    QVERIFY(QTest::qWaitForWindowActive(&inputs.window));
    QLineEdit* first = inputs.first;
    QLineEdit* second = inputs.second;
    tavrin::InputMethodSwitcher& switcher = inputs.switcher;
    switcher.arm();
    QTRY_VERIFY(answered(switcher));
    QTest::qWait(5 * tavrin::InputMethodSwitcher::kRetryDelayMs);
    const qsizetype asked = controller.count(kAskGroup.constFirst());

    int callsWhileFocusChanged = 0;
    QObject::connect(qApp, &QGuiApplication::focusObjectChanged, &switcher,
                     [&] { callsWhileFocusChanged += int(switcher.findChildren<QDBusPendingCallWatcher*>().size()); });
    first->setFocus();
    second->setFocus();
    first->setFocus();
    QCOMPARE(callsWhileFocusChanged, 0); // nothing sent while the focus was still changing
    QTRY_COMPARE(controller.count(kAskGroup.constFirst()), asked + 1);
    QTRY_VERIFY(answered(switcher));
    QTest::qWait(5 * tavrin::InputMethodSwitcher::kRetryDelayMs);
    QCOMPARE(controller.count(kAskGroup.constFirst()), asked + 1);
}

void InputMethodSwitcherTest::repeatsALostSwitch_data()
{
    using tavrin::InputMethodSwitcher;
    const int held = InputMethodSwitcher::kHeldAnswers;
    const int attempts = InputMethodSwitcher::kAttempts;
    QTest::addColumn<int>("lost");
    QTest::addColumn<int>("fallBackAfter");
    QTest::addColumn<int>("switches");
    QTest::addColumn<int>("answers");
    QTest::newRow("none lost") << 0 << -1 << 1 << held;
    QTest::newRow("two lost") << 2 << -1 << 3 << 2 + held;
    QTest::newRow("all but the last lost") << attempts - 1 << -1 << attempts << attempts - 1 + held;
    QTest::newRow("all lost") << 1000 << -1 << attempts << attempts;
    QTest::newRow("held, then the window's context arrives") << 0 << 1 << 2 << 2 + held;
}

void InputMethodSwitcherTest::repeatsALostSwitch()
{
    QFETCH(int, lost);
    QFETCH(int, fallBackAfter);
    QFETCH(int, switches);
    QFETCH(int, answers);
    FakeFcitxController controller;
    controller.group = {QStringLiteral("keyboard-us"), QStringLiteral("pinyin")};
    controller.lostSwitches = lost;
    controller.fallBackAfterAnswers = fallBackAfter;
    ControllerOnBus onBus(controller);
    QVERIFY(onBus.registered());

    QLineEdit watched;
    tavrin::InputMethodSwitcher switcher;
    switcher.watch(&watched);
    watched.show();
    QVERIFY(QTest::qWaitForWindowActive(&watched));
    switcher.arm();
    // Every switch is confirmed; answers naming Pinyin a few times in a row, or
    // the last attempt, end the retries.
    QTRY_COMPARE_WITH_TIMEOUT(controller.count(kConfirm), answers, 10000);
    QCOMPARE(controller.count(kSwitch), switches);
    QCOMPARE(controller.calls.constLast(), kConfirm);
    const bool more = QTest::qWaitFor([&] { return controller.calls.size() > kAskGroup.size() + switches + answers; },
                                      5 * tavrin::InputMethodSwitcher::kRetryDelayMs);
    QVERIFY2(!more, "asked again after the switch held or the attempts ran out");
    QCOMPARE(controller.current, lost < switches ? QStringLiteral("pinyin") : QStringLiteral("keyboard-us"));
    QTRY_VERIFY(answered(switcher));
}

void InputMethodSwitcherTest::asksAgainWhenTheWindowComesBack()
{
    FakeFcitxController controller;
    controller.group = {QStringLiteral("pinyin")};
    ControllerOnBus onBus(controller);
    QVERIFY(onBus.registered());

    QLineEdit watched;
    QLineEdit elsewhere; // another window
    tavrin::InputMethodSwitcher switcher;
    switcher.watch(&watched);
    watched.show();
    QVERIFY(QTest::qWaitForWindowActive(&watched));
    switcher.arm();
    const int held = tavrin::InputMethodSwitcher::kHeldAnswers;
    QTRY_COMPARE(controller.count(kConfirm), held);
    elsewhere.show();
    elsewhere.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&elsewhere));
    QCOMPARE(controller.count(kSwitch), 1); // the other window's input is not watched
    watched.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&watched));
    QTRY_COMPARE(controller.count(kConfirm), 2 * held);
    QCOMPARE(controller.count(kSwitch), 2);
    QTRY_VERIFY(answered(switcher));
}

void InputMethodSwitcherTest::nothingWithoutController()
{
    QWidget window;
    auto* watched = new QLineEdit(&window);
    tavrin::InputMethodSwitcher switcher;
    switcher.watch(watched);
    switcher.arm();
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    watched->setFocus();
    QVERIFY(watched->hasFocus()); // no controller: focus works as ever, nothing waits
    QTRY_VERIFY(answered(switcher));
}

QTEST_MAIN(InputMethodSwitcherTest)
#include "input_method_switcher_test.moc"
