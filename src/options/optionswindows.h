#pragma once

class QWidget;
class FrmOptions;

// Opening the option and utility windows. Each is modeless, owned by the
// given window, centred, and a single instance: asking again raises it.
namespace options {

// The main options window; on a first run the start-up sequence connects to
// its firstRunCompleted() signal and starts its network detection.
FrmOptions *ShowOptions(QWidget *owner);
void ShowUpdates(QWidget *owner);
void ShowBugReport(QWidget *owner);
void ShowAbout(QWidget *owner);

// Tells the user that the settings could not be written and where they are
// kept; the window that tried keeps its input.
void ShowNotSaved(QWidget *owner);

} // namespace options
