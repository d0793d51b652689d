#include "app/input_method_switcher.h"

#include <QApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QEvent>
#include <QTimer>
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
    if (watchedInputHasFocus())
        requestPinyin();
}

bool InputMethodSwitcher::watchedInputHasFocus() const
{
    QWidget* focused = QApplication::focusWidget();
    return focused && watched_.contains(static_cast<QObject*>(focused));
}

// A window activated again gives its focus widget a focus-in too.
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
    ++request_;
    if (pinyinInstalled_) {
        switchTo(*pinyinInstalled_, 1);
        return;
    }
    if (asking_)
        return;
    asking_ = true;
    auto* watcher =
        new QDBusPendingCallWatcher(bus.asyncCall(controllerCall(QStringLiteral("AvailableInputMethods"))), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
        call->deleteLater();
        asking_ = false;
        const QDBusMessage reply = call->reply();
        if (reply.type() != QDBusMessage::ReplyMessage)
            return; // no controller here: ask again at the next focus, it may have started since
        pinyinInstalled_ = listsPinyin(reply);
        switchTo(*pinyinInstalled_, 1);
    });
}

// The answer is dropped when it comes; until then the call stays a child of the
// switcher, so that it is released with it rather than left pending.
void InputMethodSwitcher::callWithoutAnswer(const QDBusMessage& call)
{
    auto* watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, watcher, &QObject::deleteLater);
}

void InputMethodSwitcher::switchTo(bool pinyinInstalled, int attempt)
{
    if (!pinyinInstalled) {
        callWithoutAnswer(controllerCall(QStringLiteral("Deactivate")));
        return;
    }
    QDBusMessage call = controllerCall(QStringLiteral("SetCurrentIM"));
    call << kPinyin;
    callWithoutAnswer(call);
    confirmPinyin(request_, attempt, 0);
}

// Calls on one connection are answered in order: this answer comes after the switch.
void InputMethodSwitcher::confirmPinyin(int request, int attempt, int heldAnswers)
{
    QDBusPendingCall pending =
        QDBusConnection::sessionBus().asyncCall(controllerCall(QStringLiteral("CurrentInputMethod")));
    auto* watcher = new QDBusPendingCallWatcher(pending, this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [=, this](QDBusPendingCallWatcher* call) {
        call->deleteLater();
        const QDBusMessage reply = call->reply();
        const bool holds = reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()
            && reply.arguments().constFirst().toString() == kPinyin;
        if (holds && heldAnswers + 1 < kHeldAnswers)
            retryLater(request, [=, this] { confirmPinyin(request, attempt, heldAnswers + 1); });
        else if (!holds && attempt < kAttempts)
            retryLater(request, [=, this] { switchTo(true, attempt + 1); });
    });
}

// Only while the request is the newest and a watched input still has the focus.
void InputMethodSwitcher::retryLater(int request, std::function<void()> retry)
{
    QTimer::singleShot(kRetryDelayMs, this, [this, request, retry = std::move(retry)] {
        if (request == request_ && watchedInputHasFocus())
            retry();
    });
}

} // namespace tavrin
