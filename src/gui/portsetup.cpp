#include "portsetup.h"

#include "messagebox.h"
#include "tables.h"
#include "vl.h"

bool IsPortSetup(int port, bool dispErr, QWidget *parent)
{
    if (VL::IsPortSetup(port))
        return true;
    if (dispErr && !VL::portPrefix(port).isEmpty()) {
        msgbox::show(
            parent,
            tables::PortNames(port + 1)
                + u" has not been configured yet. Please configure in the main options first.",
            QStringLiteral("Not Configured"), msgbox::Icon::Warning);
    }
    return false;
}
