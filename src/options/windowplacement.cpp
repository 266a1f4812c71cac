#include "windowplacement.h"

namespace options {

void RaiseWindow(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace options
