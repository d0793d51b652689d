#include "app/main_window.h"

namespace tavrin {

void TMainForm1::BitBtn1Click()
{
}

void TMainForm1::Label9Click()
{
}

void TMainForm1::Memo1DblClick()
{
}

} // namespace tavrin
