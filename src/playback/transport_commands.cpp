#include "app/main_window.h"

#include "playback/rate_spin_box.h"
#include "playback/time_text.h"

#include <QLabel>

namespace tavrin {

void TMainForm1::BitBtn4Click()
{
}

void TMainForm1::BitBtn7Click()
{
}

void TMainForm1::BitBtn2Click()
{
}

void TMainForm1::RzSpinEdit1Change()
{
    WindowsMediaPlayer1->setRate(RzSpinEdit1->value());
}

void TMainForm1::Timer1Timer()
{
}

} // namespace tavrin
