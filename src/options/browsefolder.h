#pragma once

#include <QString>

class QWidget;

// The platform's folder chooser, limited to file-system folders, with the
// given title. The chosen folder's full path, or empty text when the user
// cancels.
[[nodiscard]] QString BrowseFolder(QWidget *owner, const QString &title);
