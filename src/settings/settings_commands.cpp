#include "app/main_window.h"

#include "settings/settings_dialog.h"

namespace tavrin {

void TMainForm1::N7Click()
{
    Form3->exec();
}

} // namespace tavrin
