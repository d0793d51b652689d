#pragma once

#include <QObject>

#include <optional>

namespace tavrin {

// Asks for the Pinyin input method whenever one of the watched text inputs gets
// the focus, where an fcitx5 controller answers on the session bus; elsewhere it
// does nothing. Where Pinyin is not installed it asks for the keyboard layout.
// Calls never wait for an answer, so focus changes stay instant.
class InputMethodSwitcher : public QObject {
    Q_OBJECT
public:
    explicit InputMethodSwitcher(QObject* parent = nullptr);

    void watch(QObject* input);
    // Starts asking. Until then focus changes ask nothing, so that connecting to
    // the session bus does not hold up the window's first appearance; arming
    // asks at once for a watched input that already has the focus.
    void arm();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void requestPinyin();
    void switchTo(bool pinyinInstalled);

    std::optional<bool> pinyinInstalled_; // unknown until the controller has answered once
    bool asking_ = false;
    bool armed_ = false;
    QObjectList watched_;
};

} // namespace tavrin
