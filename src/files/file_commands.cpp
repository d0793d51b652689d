#include "app/main_window.h"

namespace tavrin {

void TMainForm1::N8Click()
{
}

void TMainForm1::N9Click()
{
}

void TMainForm1::BitBtn10Click()
{
}

} // namespace tavrin
