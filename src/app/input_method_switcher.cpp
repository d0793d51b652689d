#include "app/input_method_switcher.h"

#include <QApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
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

bool isAnswer(const QDBusMessage& reply)
{
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty();
}

// InputMethodGroups answers `as`, the group in use first.
QString groupInUse(const QDBusMessage& reply)
{
    const QStringList groups = isAnswer(reply) ? reply.arguments().constFirst().toStringList() : QStringList();
    return groups.isEmpty() ? QString() : groups.constFirst();
}

// InputMethodGroupInfo answers (s layout, a(ss) items); each item's first field
// is an input method's unique name. These are the input methods the user can
// switch to: one that is installed but not in the group cannot be.
bool groupHoldsPinyin(const QDBusMessage& reply)
{
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() < 2)
        return false;
    const QDBusArgument items = reply.arguments().at(1).value<QDBusArgument>();
    if (items.currentType() != QDBusArgument::ArrayType)
        return false;
    bool found = false;
    items.beginArray();
    while (!items.atEnd()) {
        QString name, layout;
        items.beginStructure();
        items >> name >> layout;
        items.endStructure();
        found = found || name == kPinyin;
    }
    items.endArray();
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

bool InputMethodSwitcher::current(int request) const
{
    return request == request_ && watchedInputHasFocus();
}

// A window activated again gives its focus widget a focus-in too. The input's
// focus event comes before the toolkit tells fcitx5 of the new focus: the
// request waits until that is done, so that it reaches the input's own context.
bool InputMethodSwitcher::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn && armed_ && !requestQueued_) {
        requestQueued_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                requestQueued_ = false;
                if (watchedInputHasFocus())
                    requestPinyin();
            },
            Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}

void InputMethodSwitcher::requestPinyin()
{
    if (!QDBusConnection::sessionBus().isConnected())
        return;
    askGroupOfInputMethods(++request_);
}

// Two small questions, asked at every request: the group in use, then what it holds.
void InputMethodSwitcher::askGroupOfInputMethods(int request)
{
    callWithAnswer(controllerCall(QStringLiteral("InputMethodGroups")), [this, request](const QDBusMessage& reply) {
        const QString group = groupInUse(reply);
        if (group.isEmpty() || !current(request))
            return; // no controller here: the next focus asks again, it may have started since
        QDBusMessage info = controllerCall(QStringLiteral("InputMethodGroupInfo"));
        info << group;
        callWithAnswer(info, [this, request](const QDBusMessage& items) {
            if (items.type() == QDBusMessage::ReplyMessage && current(request))
                switchTo(groupHoldsPinyin(items), request, 1);
        });
    });
}

// The answer is dropped when it comes; until then the call stays a child of the
// switcher, so that it is released with it rather than left pending.
void InputMethodSwitcher::callWithoutAnswer(const QDBusMessage& call)
{
    auto* watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, watcher, &QObject::deleteLater);
}

void InputMethodSwitcher::callWithAnswer(const QDBusMessage& call, std::function<void(const QDBusMessage&)> answered)
{
    auto* watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [answered = std::move(answered)](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                answered(finished->reply());
            });
}

// Without Pinyin, the keyboard layout, asked for once: Deactivate is not
// repeated, as it would undo a switch the user makes meanwhile.
void InputMethodSwitcher::switchTo(bool pinyinAvailable, int request, int attempt)
{
    if (!pinyinAvailable) {
        callWithoutAnswer(controllerCall(QStringLiteral("Deactivate")));
        return;
    }
    QDBusMessage call = controllerCall(QStringLiteral("SetCurrentIM"));
    call << kPinyin;
    callWithoutAnswer(call);
    confirmPinyin(request, attempt, 0);
}

// Calls on one connection are answered in order: this answer comes after the switch.
void InputMethodSwitcher::confirmPinyin(int request, int attempt, int heldAnswers)
{
    callWithAnswer(controllerCall(QStringLiteral("CurrentInputMethod")), [=, this](const QDBusMessage& reply) {
        const bool holds = isAnswer(reply) && reply.arguments().constFirst().toString() == kPinyin;
        if (holds && heldAnswers + 1 < kHeldAnswers)
            retryLater(request, [=, this] { confirmPinyin(request, attempt, heldAnswers + 1); });
        else if (!holds && attempt < kAttempts)
            retryLater(request, [=, this] { switchTo(true, request, attempt + 1); });
    });
}

// Only while the request is the newest and a watched input still has the focus.
void InputMethodSwitcher::retryLater(int request, std::function<void()> retry)
{
    QTimer::singleShot(kRetryDelayMs, this, [this, request, retry = std::move(retry)] {
        if (current(request))
            retry();
    });
}

} // namespace tavrin
