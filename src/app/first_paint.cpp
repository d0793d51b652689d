#include "app/first_paint.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <ctime>

namespace tavrin {

namespace {

class FirstPaintWatcher : public QObject {
public:
    FirstPaintWatcher(QWidget* window, std::function<void()> action)
        : QObject(window)
        , action_(std::move(action))
    {
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            // The children are painted and the frame is flushed after this
            // event returns; the action runs once that is done.
            QTimer::singleShot(0, this, [this] {
                action_();
                deleteLater();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> action_;
    bool seen_ = false;
};

} // namespace

void whenFirstPainted(QWidget* window, std::function<void()> action)
{
    window->installEventFilter(new FirstPaintWatcher(window, std::move(action)));
}

void reportFirstPaint(QWidget* window)
{
    whenFirstPainted(window, [] {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        std::printf("first-paint %lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
        std::fflush(stdout);
    });
}

} // namespace tavrin
