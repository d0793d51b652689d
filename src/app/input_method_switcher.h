#pragma once

#include <QDBusMessage>
#include <QObject>

#include <functional>
#include <optional>

namespace tavrin {

// Asks for the Pinyin input method whenever one of the watched text inputs gets
// the focus, or its window is activated with the focus in it, where an fcitx5
// controller answers on the session bus; elsewhere it does nothing. Where
// Pinyin is not installed it asks for the keyboard layout.
//
// fcitx5 switches the input context that has its focus at that moment. Right
// after a window appears or comes back, the toolkit's input context may not
// have told fcitx5 yet, and the request would go to no one: so each request is
// confirmed with the controller's current input method and repeated, a few
// times, until it holds. Calls never wait for an answer, so focus changes stay
// instant. A switch that holds is looked at twice more: what answers first may
// be another program's input context, which still had fcitx5's focus.
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
    void requestPinyin();
    void switchTo(bool pinyinInstalled, int attempt);
    void callWithoutAnswer(const QDBusMessage& call);
    void confirmPinyin(int request, int attempt, int heldAnswers);
    void retryLater(int request, std::function<void()> retry);

    std::optional<bool> pinyinInstalled_; // unknown until the controller has answered once
    bool asking_ = false;
    bool armed_ = false;
    int request_ = 0; // a newer request ends the retries of an older one
    QObjectList watched_;
};

} // namespace tavrin
