#pragma once

#include <QString>

class QLabel;
class QWidget;

// A sunken panel of plain text for a window's status bar, found by name.
[[nodiscard]] QLabel *statusPanel(QWidget *parent, const QString &name, const QString &text);
