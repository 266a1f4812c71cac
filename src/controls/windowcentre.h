#pragma once

class QWidget;

// Centres window on anchor's window, or on the primary screen without an
// anchor (or while the anchor is not on screen), kept inside that screen.
void CentreWindow(QWidget *window, const QWidget *anchor = nullptr);
