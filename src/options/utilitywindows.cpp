#include "optionswindows.h"

#include "forms.h"
#include "frmabout.h"
#include "frmbugreport.h"
#include "frmupdates.h"
#include "windowplacement.h"

namespace options {

void ShowUpdates(QWidget *owner)
{
    ShowSingle<FrmUpdates>(owner, QStringLiteral("FrmUpdates"), owner);
}

void ShowBugReport(QWidget *owner)
{
    ShowSingle<FrmBugReport>(owner, QStringLiteral("FrmBugReport"), owner);
}

void ShowAbout(QWidget *owner)
{
    ShowSingle<FrmAbout>(owner, QStringLiteral("FrmAbout"), owner);
}

} // namespace options
