#include "app/input_method_switcher.h"

#include <QApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QEvent>
#include <QWidget>

namespace tavrin {

namespace {

const QString kService = QStringLiteral("org.fcitx.Fcitx5");
const QString kPath = QStringLiteral("/controller");
const QString kInterface = QStringLiteral("org.fcitx.Fcitx.Controller1");
const QString kPinyin = QStringLiteral("pinyin");

// Never lets the bus start fcitx5 on our behalf: a desktop without a running
// input method keeps it that way, and the started daemon would outlive us.
QDBusMessage controllerCall(const QString& method)
{
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
    call.setAutoStartService(false);
    return call;
}

// AvailableInputMethods answers a(ssssssb); the first field is the unique name.
bool listsPinyin(const QDBusMessage& reply)
{
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return false;
    const QDBusArgument list = reply.arguments().constFirst().value<QDBusArgument>();
    bool found = false;
    list.beginArray();
    while (!list.atEnd()) {
        QString uniqueName, name, nativeName, icon, label, language;
        bool configurable = false;
        list.beginStructure();
        list >> uniqueName >> name >> nativeName >> icon >> label >> language >> configurable;
        list.endStructure();
        found = found || uniqueName == kPinyin;
    }
    list.endArray();
    return found;
}

} // namespace

InputMethodSwitcher::InputMethodSwitcher(QObject* parent)
    : QObject(parent)
{
}

void InputMethodSwitcher::watch(QObject* input)
{
    input->installEventFilter(this);
    watched_.append(input);
}

void InputMethodSwitcher::arm()
{
    armed_ = true;
    QWidget* focused = QApplication::focusWidget();
    if (focused && watched_.contains(static_cast<QObject*>(focused)))
        requestPinyin();
}

bool InputMethodSwitcher::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn && armed_)
        requestPinyin();
    return QObject::eventFilter(watched, event);
}

void InputMethodSwitcher::requestPinyin()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    if (pinyinInstalled_) {
        switchTo(*pinyinInstalled_);
        return;
    }
    if (asking_)
        return;
    asking_ = true;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(controllerCall(QStringLiteral("AvailableInputMethods"))), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
        call->deleteLater();
        asking_ = false;
        const QDBusMessage reply = call->reply();
        if (reply.type() != QDBusMessage::ReplyMessage)
            return; // no controller here: ask again at the next focus, it may have started since
        pinyinInstalled_ = listsPinyin(reply);
        switchTo(*pinyinInstalled_);
    });
}

void InputMethodSwitcher::switchTo(bool pinyinInstalled)
{
    QDBusMessage call = pinyinInstalled ? controllerCall(QStringLiteral("SetCurrentIM")) : controllerCall(QStringLiteral("Deactivate"));
    if (pinyinInstalled)
        call << kPinyin;
    QDBusConnection::sessionBus().asyncCall(call);
}

} // namespace tavrin
