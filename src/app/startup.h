#pragma once

#include "commandline.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>

class FrmClean;
class FrmMain;
class FrmSplash;
class QWidget;

// The start of the process: the command line, the splash sequence and the
// one way the program ends.
namespace startup {

// The words of this process's command line: on Windows the command line
// split at every space, elsewhere the arguments as given.
[[nodiscard]] QStringList CommandLineWords();

// Opens the first window(s) for the words, or tells of an invalid word and
// ends the program.
void ProcessCommandLine(const QStringList &words);

// A new splash window, shown; its load has run when this returns.
FrmSplash *ShowSplash();
// The clean-up window, shown (one at a time).
FrmClean *ShowCleanUp();
// The main window, shown and enabled (one at a time). Its Exit ends the
// program.
FrmMain *ShowMainWindow();

// The program-wide values a splash load sets.
void InitGlobals();

// True when LastRun holds a date more than four whole days before today.
[[nodiscard]] bool UpdateCheckDue(const QString &lastRun, const QDate &today);
// Runs the update check when it is due, then records today as LastRun.
void CheckLastRun(QWidget *owner);

// Today's date; tests put another day in.
[[nodiscard]] QDate Today();
using DateSource = std::function<QDate()>;
// An empty source returns to the clock. Returns the source before.
DateSource setDateSource(DateSource source);

// Deletes the windows still open after the event loop has stopped.
void DeleteAllWindows();

} // namespace startup
