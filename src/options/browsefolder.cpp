#include "browsefolder.h"

#include <QDir>
#include <QFileDialog>

QString BrowseFolder(QWidget *owner, const QString &title)
{
    QString folder
        = QFileDialog::getExistingDirectory(owner, title, QString(), QFileDialog::ShowDirsOnly);
    // A NUL would end the path for the game and the command interpreter.
    const qsizetype nul = folder.indexOf(QChar(u'\0'));
    if (nul >= 0)
        folder.truncate(nul);
    return QDir::toNativeSeparators(folder);
}
