#pragma once

#include "forms.h"
#include "windowcentre.h"

#include <QString>
#include <QWidget>

// Where the options windows open, and their single instances.
namespace options {

// The open window named name, or nullptr. A window that was closed and
// waits for its deletion does not count: it must not come back.
template <typename T> T *OpenWindow(const QString &name)
{
    T *form = FindForm<T>(name);
    if (form != nullptr && !form->isVisible()) {
        form->setObjectName(QString());
        return nullptr;
    }
    return form;
}

// Brings an open window to the front.
void RaiseWindow(QWidget *window);

// Raises the open window of that name, or opens a new one owned by owner
// that ends when closed, centred on centreOn (the screen when null).
template <typename T> T *ShowSingle(QWidget *owner, const QString &name, const QWidget *centreOn)
{
    T *window = OpenWindow<T>(name);
    if (window == nullptr) {
        window = new T(owner);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->adjustSize();
        CentreWindow(window, centreOn);
    }
    RaiseWindow(window);
    return window;
}

} // namespace options
