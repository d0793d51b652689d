#include "playback/seek_bar.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>

namespace tavrin {

namespace {

const QColor kLoopColour(0xE0, 0x60, 0x20);

} // namespace

SeekBar::SeekBar(QWidget* parent)
    : QSlider(Qt::Horizontal, parent)
{
}

void SeekBar::setLoopEnds(std::optional<int> start, std::optional<int> end)
{
    if (start == loopStart_ && end == loopEnd_)
        return;
    loopStart_ = start;
    loopEnd_ = end;
    update();
}

int SeekBar::pixelOf(int value) const
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect groove = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
    const QRect handle = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    // The handle's centre travels between the groove's ends less half a handle on each side.
    const int span = groove.width() - handle.width();
    return groove.left() + handle.width() / 2
        + QStyle::sliderPositionFromValue(minimum(), maximum(), value, span, option.upsideDown);
}

void SeekBar::paintEvent(QPaintEvent* event)
{
    if (loopStart_ && loopEnd_) {
        // Under the handle, so the position stays in sight.
        QPainter painter(this);
        QColor shade = kLoopColour;
        shade.setAlpha(90);
        const int left = pixelOf(*loopStart_);
        painter.fillRect(QRect(left, 0, pixelOf(*loopEnd_) - left + 1, height()), shade);
    }
    QSlider::paintEvent(event);
    QPainter painter(this);
    painter.setPen(QPen(kLoopColour, 2));
    for (const std::optional<int>& end : {loopStart_, loopEnd_}) {
        if (end)
            painter.drawLine(pixelOf(*end), 0, pixelOf(*end), height());
    }
}

} // namespace tavrin
