#pragma once

#include <QDoubleSpinBox>

namespace tavrin {

// The playback rate: one of the twenty values 0.1, 0.2, ... 2.0. It is never
// typed into, pasted into or cleared; it only steps (arrow buttons, Up/Down,
// the wheel; Page Up/Down and Ctrl with the wheel by ten steps). Steps are
// counted in whole tenths, so ten steps up from 1.0 end at exactly 2.0.
class RateSpinBox : public QDoubleSpinBox {
    Q_OBJECT
public:
    explicit RateSpinBox(QWidget* parent = nullptr);

    void stepBy(int steps) override;
    // The value in tenths, 1..20.
    int tenths() const;
    void setTenths(int tenths); // clamped to 1..20
};

} // namespace tavrin
