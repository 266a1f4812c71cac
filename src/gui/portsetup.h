#pragma once

class QWidget;

// True when the stored executable of port (0-based) exists; otherwise tells
// the player so when dispErr is set.
[[nodiscard]] bool IsPortSetup(int port, bool dispErr, QWidget *parent = nullptr);
