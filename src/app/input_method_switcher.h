#pragma once

#include <QDBusMessage>
#include <QObject>

#include <functional>

namespace tavrin {

// Asks for the Pinyin input method whenever one of the watched text inputs gets
// the focus, or its window is activated with the focus in it, where an fcitx5
// controller answers on the session bus; elsewhere it does nothing. Where
// Pinyin is not among the user's input methods it asks for the keyboard layout.
//
// Which input methods the user has is asked afresh at every request, never
// remembered: an answer given while fcitx5 was starting, or before the user
// added Pinyin, would otherwise switch Pinyin off at every focus for the rest
// of the run, and undo the user's own switch each time.
//
// fcitx5 switches the input context that has its focus at that moment. The
// toolkit tells fcitx5 of a focus change just after the input's focus event:
// the request is sent once that focus change is done. A window that appears or
// comes back may still reach fcitx5 late, and the request go to no one: so each
// request is confirmed with the controller's current input method and repeated,
// a few times, until it holds. Calls never wait for an answer, so focus changes
// stay instant. A switch that holds is looked at twice more: what answers first
// may be another program's input context, which still had fcitx5's focus.
class InputMethodSwitcher : public QObject {
    Q_OBJECT
public:
    explicit InputMethodSwitcher(QObject* parent = nullptr);

    void watch(QObject* input);
    // Starts asking. Until then focus changes ask nothing, so that connecting to
    // the session bus does not hold up the window's first appearance; arming
    // asks at once for a watched input that already has the focus.
    void arm();

    // How many times one request is made before it is given up, and how long
    // apart (milliseconds).
    static constexpr int kAttempts = 10;
    static constexpr int kRetryDelayMs = 100;
    // How many answers in a row must name Pinyin before a switch counts as held.
    static constexpr int kHeldAnswers = 3;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool watchedInputHasFocus() const;
    bool current(int request) const;
    void requestPinyin();
    void askGroupOfInputMethods(int request);
    void switchTo(bool pinyinAvailable, int request, int attempt);
    void callWithoutAnswer(const QDBusMessage& call);
    void callWithAnswer(const QDBusMessage& call, std::function<void(const QDBusMessage&)> answered);
    void confirmPinyin(int request, int attempt, int heldAnswers);
    void retryLater(int request, std::function<void()> retry);

    bool armed_ = false;
    bool requestQueued_ = false;
    int request_ = 0; // a newer request ends the retries of an older one
    QObjectList watched_;
};

} // namespace tavrin
