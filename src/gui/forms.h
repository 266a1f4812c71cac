#pragma once

#include <QApplication>
#include <QString>
#include <QWidget>

// Windows find each other by their object names, as they consult one another
// before closing or refreshing each other. A window counts as loaded from its
// creation until it is destroyed; windows that end when closed set
// Qt::WA_DeleteOnClose.

// The loaded top-level window whose objectName is name, or nullptr.
template <typename T = QWidget> T *FindForm(const QString &name)
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (window->objectName() == name) {
            if (T *form = qobject_cast<T *>(window))
                return form;
        }
    }
    return nullptr;
}

inline bool IsFormLoaded(const QString &name)
{
    return FindForm(name) != nullptr;
}
