#include "startup.h"

#include "programend.h"

#include "forms.h"
#include "frmclean.h"
#include "frmmain.h"
#include "frmsplash.h"
#include "messagebox.h"
#include "optionswindows.h"
#include "settings.h"
#include "vl.h"

#include <QApplication>
#include <QPointer>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace startup {

namespace {

const QString kArgumentsTitle = QStringLiteral("Velkor - Command Arguments");

DateSource &dateSource()
{
    static DateSource source;
    return source;
}

// Shows window, creating it first when none of that name is loaded.
template <typename T>
T *showSingle(const QString &name, const std::function<void(T *)> &created = {})
{
    T *window = FindForm<T>(name);
    if (window && !window->isVisible() && window->testAttribute(Qt::WA_DeleteOnClose)) {
        // Closed and waiting for deletion: it must not come back.
        window->setObjectName(QString());
        window = nullptr;
    }
    if (!window) {
        window = new T();
        if (created)
            created(window);
    }
    window->setEnabled(true);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

} // namespace

QStringList CommandLineWords()
{
#ifdef Q_OS_WIN
    // Windows hands over one text; Qt's argv has already merged blanks and
    // dropped empty words, which the program treats as invalid.
    return SplitCommandLine(ArgumentsOf(QString::fromWCharArray(GetCommandLineW())));
#else
    return QCoreApplication::arguments().mid(1);
#endif
}

void ProcessCommandLine(const QStringList &words)
{
    const CommandLineDecision decision = DecideCommandLine(words);
    if (decision.invalidWord) {
        msgbox::show(nullptr, u"Invalid argument: " + *decision.invalidWord, kArgumentsTitle,
                     msgbox::Icon::Warning);
        program::end();
        return;
    }

    bool windowOpen = false;
    for (const StartAction action : decision.actions) {
        switch (action) {
        case StartAction::Splash:
            ShowSplash();
            windowOpen = true;
            break;
        case StartAction::CleanUp:
            ShowCleanUp();
            windowOpen = true;
            break;
        case StartAction::MasterServer:
            msgbox::show(nullptr, QStringLiteral("This build of Velkor has no master server yet."),
                         kArgumentsTitle, msgbox::Icon::Information);
            break;
        }
    }
    // Without a console of its own, the master server leaves nothing open.
    if (!windowOpen)
        program::end();
}

FrmSplash *ShowSplash()
{
    auto *splash = new FrmSplash();
    splash->show();
    splash->Load();
    return splash;
}

FrmClean *ShowCleanUp()
{
    return showSingle<FrmClean>(QStringLiteral("FrmClean"));
}

FrmMain *ShowMainWindow()
{
    return showSingle<FrmMain>(QStringLiteral("FrmMain"), [](FrmMain *window) {
        QObject::connect(window, &FrmMain::exitRequested, window, [] { program::end(); });
    });
}

void InitGlobals()
{
    VL::instance().SessionWelcomeMsg = QStringLiteral("\r\n^3Welcome to ^2T^4A^1R^9nwick ^3Velkor");
}

bool UpdateCheckDue(const QString &lastRun, const QDate &today)
{
    const QDate last = QDate::fromString(lastRun.trimmed(), Qt::ISODate);
    if (!last.isValid() || !today.isValid())
        return false;
    return last.daysTo(today) > 4;
}

void CheckLastRun(QWidget *owner)
{
    const QDate today = Today();
    if (UpdateCheckDue(settings::lastRun(), today))
        options::ShowUpdates(owner);
    settings::setLastRun(today);
}

QDate Today()
{
    return dateSource() ? dateSource()() : QDate::currentDate();
}

DateSource setDateSource(DateSource source)
{
    return std::exchange(dateSource(), std::move(source));
}

void DeleteAllWindows()
{
    QList<QPointer<QWidget>> windows;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (!window->parentWidget())
            windows.append(window);
    }
    for (const QPointer<QWidget> &window : std::as_const(windows))
        delete window.data();
}

} // namespace startup
