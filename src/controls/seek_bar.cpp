#include "controls/seek_bar.h"

#include "transcript/time_text.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace tavrin {

namespace {

const QColor kLoopColour(0xE0, 0x60, 0x20);
const QColor kMarkColour(0x20, 0x70, 0xC0);
constexpr int kTickHeight = 5;

// The tooltip's time: always with the hours, as the time box takes it.
QString hoursMinutesSeconds(int seconds)
{
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

SeekBar::SeekBar(QWidget* parent)
    : QSlider(Qt::Horizontal, parent)
{
    setMouseTracking(true); // for the time under the mouse
}

void SeekBar::setLoopEnds(std::optional<int> start, std::optional<int> end)
{
    if (start == loopStart_ && end == loopEnd_)
        return;
    loopStart_ = start;
    loopEnd_ = end;
    update();
}

void SeekBar::setEnvelope(const Envelope& envelope)
{
    envelope_ = envelope;
    columnsWidth_ = -1; // drawn afresh
    update();
}

bool SeekBar::showsWaveform() const
{
    return maximum() > minimum() && (envelope_.valueCount() > 0 || !envelope_.probes().empty());
}

const std::vector<EnvelopeColumn>& SeekBar::columns(int width)
{
    // The position moves ten times a second; the columns only when the envelope grows or the bar changes.
    if (width != columnsWidth_ || maximum() != columnsMaximum_) {
        columns_ = envelope_.columnsFor(width, maximum() / kUnitsPerSecond);
        columnsWidth_ = width;
        columnsMaximum_ = maximum();
    }
    return columns_;
}

// Each column's peak as a light bar and its loudness (RMS) as a darker one
// inside it, both about the middle; the part already played in the highlight
// colour. Silence draws nothing but the background.
void SeekBar::drawWaveform(QPainter& painter)
{
    const QPalette colours = palette();
    painter.fillRect(rect(), colours.color(QPalette::Base));
    const int left = pixelOf(minimum());
    const int right = pixelOf(maximum());
    const int played = pixelOf(sliderPosition());
    const std::vector<EnvelopeColumn>& levels = columns(right - left + 1);
    const double middle = height() / 2.0;
    const double reach = height() / 2.0 - 1.0;
    QColor playedPeak = colours.color(QPalette::Highlight);
    QColor restPeak = colours.color(QPalette::Mid);
    for (std::size_t i = 0; i < levels.size(); ++i) {
        const EnvelopeColumn& column = levels[i];
        if (column.peak == 0)
            continue;
        const int x = left + int(i);
        QColor peak = x <= played ? playedPeak : restPeak;
        if (column.source == ColumnSource::Coarse)
            peak.setAlpha(140); // sampled only, until the full pass gets there
        const double peakHalf = std::max(0.5, reach * column.peak / 255.0);
        const double rmsHalf = reach * column.rms / 255.0;
        painter.fillRect(QRectF(x, middle - peakHalf, 1, 2 * peakHalf), peak);
        if (rmsHalf >= 0.5)
            painter.fillRect(QRectF(x, middle - rmsHalf, 1, 2 * rmsHalf), peak.darker(160));
    }
    painter.setPen(QPen(colours.color(QPalette::Text), 2));
    painter.drawLine(played, 0, played, height());
    if (hasFocus()) {
        painter.setPen(QPen(colours.color(QPalette::Highlight), 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void SeekBar::setMarkTicks(const QList<int>& seconds)
{
    if (seconds == marks_)
        return;
    marks_ = seconds;
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

int SeekBar::valueAt(int x) const
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect groove = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
    const QRect handle = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    const int span = groove.width() - handle.width();
    const int along = x - groove.left() - handle.width() / 2;
    return QStyle::sliderValueFromPosition(minimum(), maximum(), std::clamp(along, 0, std::max(span, 0)), span,
                                           option.upsideDown);
}

std::optional<int> SeekBar::tickNear(int x) const
{
    std::optional<int> nearest;
    int nearestDistance = kTickReach + 1;
    for (const int seconds : marks_) {
        const int distance = std::abs(pixelOf(int(std::lround(seconds * kUnitsPerSecond))) - x);
        if (distance < nearestDistance) {
            nearest = seconds;
            nearestDistance = distance;
        }
    }
    return nearest;
}

void SeekBar::paintEvent(QPaintEvent* event)
{
    if (showsWaveform()) {
        QPainter painter(this);
        drawWaveform(painter);
        drawLoopShade(painter);
        drawOverlays(painter);
        return;
    }
    {
        // Under the handle, so the position stays in sight.
        QPainter painter(this);
        drawLoopShade(painter);
    }
    QSlider::paintEvent(event);
    QPainter painter(this);
    drawOverlays(painter);
}

void SeekBar::drawLoopShade(QPainter& painter) const
{
    if (!loopStart_ || !loopEnd_)
        return;
    QColor shade = kLoopColour;
    shade.setAlpha(90);
    const int left = pixelOf(*loopStart_);
    painter.fillRect(QRect(left, 0, pixelOf(*loopEnd_) - left + 1, height()), shade);
}

// The loop's ends and the marks' ticks, over the bar.
void SeekBar::drawOverlays(QPainter& painter) const
{
    painter.setPen(QPen(kLoopColour, 2));
    for (const std::optional<int>& end : {loopStart_, loopEnd_}) {
        if (end)
            painter.drawLine(pixelOf(*end), 0, pixelOf(*end), height());
    }
    drawMarkTicks(painter);
}

// Along the bottom edge, clear of the handle's middle.
void SeekBar::drawMarkTicks(QPainter& painter) const
{
    if (maximum() <= minimum())
        return;
    painter.setPen(QPen(kMarkColour, 2));
    for (const int seconds : marks_) {
        const int value = int(std::lround(seconds * kUnitsPerSecond));
        if (value > maximum())
            continue;
        const int x = pixelOf(value);
        painter.drawLine(x, height() - kTickHeight, x, height() - 1);
    }
}

// A press goes to the time under the mouse at once and starts a drag; the
// seek follows when the mouse is let go, as after dragging the handle.
void SeekBar::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || maximum() <= minimum()) {
        QSlider::mousePressEvent(event);
        return;
    }
    event->accept();
    const int x = qRound(event->position().x());
    if (const std::optional<int> mark = tickNear(x)) {
        Q_EMIT markPicked(*mark);
        return;
    }
    dragging_ = true;
    setSliderDown(true);
    setSliderPosition(valueAt(x));
}

void SeekBar::mouseMoveEvent(QMouseEvent* event)
{
    const int x = qRound(event->position().x());
    const int value = valueAt(x);
    if (maximum() > minimum())
        QToolTip::showText(event->globalPosition().toPoint(), hoursMinutesSeconds(int(value / kUnitsPerSecond)), this);
    if (dragging_) {
        event->accept();
        setSliderPosition(value);
        return;
    }
    QSlider::mouseMoveEvent(event);
}

void SeekBar::mouseReleaseEvent(QMouseEvent* event)
{
    if (!dragging_) {
        QSlider::mouseReleaseEvent(event);
        return;
    }
    event->accept();
    dragging_ = false;
    setSliderDown(false); // the seek
}

} // namespace tavrin
