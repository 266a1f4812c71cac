#include "statuspanel.h"

#include <QLabel>

QLabel *statusPanel(QWidget *parent, const QString &name, const QString &text)
{
    auto *panel = new QLabel(text, parent);
    panel->setObjectName(name);
    panel->setTextFormat(Qt::PlainText);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setContentsMargins(4, 0, 4, 0);
    return panel;
}
