#pragma once

#include "waveform/envelope.h"

#include <QList>
#include <QSlider>

#include <optional>
#include <vector>

namespace tavrin {

// The player bar's seek bar, counting kUnitsPerSecond in a second. On it:
// the recording's waveform once its envelope is known, the ends of the passage loop (the start as a line once it is
// marked, the whole passage shaded once the loop is set) and a tick for every time mark of the transcript. A click or a
// drag goes to the time under the mouse, a click on a tick picks its mark, and the tooltip shows the time under the
// mouse. A screen reader hears the loop in the bar's description.
class SeekBar : public QSlider {
    Q_OBJECT
public:
    // Tenths of a second: fine enough to drag, and a recording of days stays
    // far inside the slider's int range.
    static constexpr double kUnitsPerSecond = 10.0;
    // How near to a tick, in pixels, a click picks its mark.
    static constexpr int kTickReach = 3;

    explicit SeekBar(QWidget* parent = nullptr);

    // In the slider's own units; nullopt hides an end.
    void setLoopEnds(std::optional<int> start, std::optional<int> end);
    std::optional<int> loopStart() const { return loopStart_; }
    std::optional<int> loopEnd() const { return loopEnd_; }

    // The marks' times in seconds.
    void setMarkTicks(const QList<int>& seconds);
    const QList<int>& markTicks() const { return marks_; }

    // The loudness of the recording along the bar, drawn in place of the
    // groove; an empty envelope leaves the plain bar.
    void setEnvelope(const Envelope& envelope);
    const Envelope& envelope() const { return envelope_; }

    // The horizontal pixel of a value, and the value under a pixel.
    int pixelOf(int value) const;
    int valueAt(int x) const;

Q_SIGNALS:
    // A tick was clicked: the mark at `seconds`.
    void markPicked(int seconds);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    std::optional<int> tickNear(int x) const;
    void drawLoopShade(QPainter& painter) const;
    void drawOverlays(QPainter& painter) const;
    void drawMarkTicks(QPainter& painter) const;
    bool showsWaveform() const;
    void drawWaveform(QPainter& painter);
    const std::vector<EnvelopeColumn>& columns(int width);

    std::optional<int> loopStart_;
    std::optional<int> loopEnd_;
    QList<int> marks_;
    Envelope envelope_;
    // The columns last drawn, for the width and length they were drawn at.
    std::vector<EnvelopeColumn> columns_;
    int columnsWidth_ = -1;
    int columnsMaximum_ = -1;
    bool dragging_ = false;
};

} // namespace tavrin
