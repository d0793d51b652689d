#include "app/input_method_switcher.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVirtualObject>
#include <QLineEdit>
#include <QtTest>

namespace {

// One entry of fcitx5's AvailableInputMethods answer, a(ssssssb).
struct InputMethodEntry {
    QString uniqueName;
};

QDBusArgument& operator<<(QDBusArgument& out, const InputMethodEntry& entry)
{
    out.beginStructure();
    out << entry.uniqueName << entry.uniqueName << entry.uniqueName << QString() << QString()
        << QStringLiteral("zh_CN") << false;
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, InputMethodEntry& entry)
{
    QString ignored;
    bool configurable = false;
    in.beginStructure();
    in >> entry.uniqueName >> ignored >> ignored >> ignored >> ignored >> ignored >> configurable;
    in.endStructure();
    return in;
}

} // namespace

Q_DECLARE_METATYPE(InputMethodEntry)

namespace {

// An fcitx5 controller on the test's own session bus that records what it is asked.
class FakeFcitxController : public QDBusVirtualObject {
public:
    QList<InputMethodEntry> installed;
    QStringList calls;

    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        QString call = message.member();
        for (const QVariant& argument : message.arguments())
            call += u' ' + argument.toString();
        calls.append(call);
        QDBusMessage reply = message.createReply();
        if (message.member() == QStringLiteral("AvailableInputMethods"))
            reply << QVariant::fromValue(installed);
        connection.send(reply);
        return true;
    }
};

} // namespace

class InputMethodSwitcherTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void asksOnFocus_data();
    void asksOnFocus();
    void nothingWithoutController();
};

void InputMethodSwitcherTest::initTestCase()
{
    if (!QDBusConnection::sessionBus().isConnected())
        QSKIP("needs a session bus: run under dbus-run-session");
    qDBusRegisterMetaType<InputMethodEntry>();
    qDBusRegisterMetaType<QList<InputMethodEntry>>();
}

void InputMethodSwitcherTest::asksOnFocus_data()
{
    QTest::addColumn<QStringList>("installed");
    QTest::addColumn<QString>("request");
    QTest::newRow("pinyin installed") << QStringList{QStringLiteral("keyboard-us"), QStringLiteral("pinyin")}
                                      << "SetCurrentIM pinyin";
    QTest::newRow("pinyin missing") << QStringList{QStringLiteral("keyboard-us"), QStringLiteral("mozc")}
                                    << "Deactivate";
}

void InputMethodSwitcherTest::asksOnFocus()
{
    QFETCH(QStringList, installed);
    QFETCH(QString, request);
    QDBusConnection bus = QDBusConnection::sessionBus();
    FakeFcitxController controller;
    for (const QString& name : installed)
        controller.installed.append({name});
    QVERIFY(bus.registerService(QStringLiteral("org.fcitx.Fcitx5")));
    QVERIFY(bus.registerVirtualObject(QStringLiteral("/controller"), &controller));

    QWidget window;
    auto* watched = new QLineEdit(&window);
    auto* other = new QLineEdit(&window);
    other->move(0, 40);
    tavrin::InputMethodSwitcher switcher;
    switcher.watch(watched);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    watched->setFocus();
    other->setFocus();
    watched->setFocus();
    QVERIFY(controller.calls.isEmpty()); // not armed yet: the window's first showing waits for nothing
    switcher.arm(); // asks at once for the input that has the focus
    QTRY_COMPARE(controller.calls, (QStringList{QStringLiteral("AvailableInputMethods"), request}));
    other->setFocus(); // an input that is not watched asks for nothing
    watched->setFocus();
    QTRY_COMPARE(controller.calls.size(), 3);
    QCOMPARE(controller.calls.last(), request); // the installed list is asked for once

    bus.unregisterObject(QStringLiteral("/controller"));
    QVERIFY(bus.unregisterService(QStringLiteral("org.fcitx.Fcitx5")));
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
}

QTEST_MAIN(InputMethodSwitcherTest)
#include "input_method_switcher_test.moc"
