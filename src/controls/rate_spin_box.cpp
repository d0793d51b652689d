#include "controls/rate_spin_box.h"

#include <QLineEdit>

#include <algorithm>
#include <cmath>

namespace tavrin {

namespace {
constexpr int kMinTenths = 1;
constexpr int kMaxTenths = 20;
} // namespace

RateSpinBox::RateSpinBox(QWidget* parent)
    : QDoubleSpinBox(parent)
{
    setDecimals(1);
    setRange(kMinTenths / 10.0, kMaxTenths / 10.0);
    setSingleStep(0.1);
    setValue(1.0);
    setAccelerated(false);
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    // Stepping still works on a read-only line edit; typing, pasting and clearing do not.
    lineEdit()->setReadOnly(true);
    lineEdit()->setContextMenuPolicy(Qt::NoContextMenu);
}

void RateSpinBox::stepBy(int steps)
{
    setTenths(int(std::clamp<qint64>(qint64(tenths()) + steps, kMinTenths, kMaxTenths)));
}

int RateSpinBox::tenths() const
{
    return int(std::lround(value() * 10.0));
}

void RateSpinBox::setTenths(int tenths)
{
    setValue(std::clamp(tenths, kMinTenths, kMaxTenths) / 10.0);
}

} // namespace tavrin
