#include "windowcentre.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

void CentreWindow(QWidget *window, const QWidget *anchor)
{
    const QWidget *owner = anchor != nullptr ? anchor->window() : nullptr;
    QScreen *screen = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen != nullptr ? screen->availableGeometry() : QRect();
    const QPoint middle
        = owner != nullptr && owner->isVisible() ? owner->frameGeometry().center() : area.center();
    QRect frame(QPoint(), window->frameGeometry().size().expandedTo(window->size()));
    frame.moveCenter(middle);
    if (area.isValid()) {
        frame.moveRight(qMin(frame.right(), area.right()));
        frame.moveBottom(qMin(frame.bottom(), area.bottom()));
        frame.moveLeft(qMax(frame.left(), area.left()));
        frame.moveTop(qMax(frame.top(), area.top()));
    }
    window->move(frame.topLeft());
}
