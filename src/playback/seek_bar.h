#pragma once

#include <QSlider>

#include <optional>

namespace tavrin {

// The player bar's seek bar, with the ends of the passage loop on it: the
// start as a line once it is marked, and the whole passage shaded once the
// loop is set. A screen reader hears the loop in the bar's description.
class SeekBar : public QSlider {
    Q_OBJECT
public:
    explicit SeekBar(QWidget* parent = nullptr);

    // In the slider's own units; nullopt hides an end.
    void setLoopEnds(std::optional<int> start, std::optional<int> end);
    std::optional<int> loopStart() const { return loopStart_; }
    std::optional<int> loopEnd() const { return loopEnd_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int pixelOf(int value) const;

    std::optional<int> loopStart_;
    std::optional<int> loopEnd_;
};

} // namespace tavrin
