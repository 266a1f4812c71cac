#pragma once

#include "messagebox.h"

#include <QHostAddress>
#include <QList>
#include <QString>
#include <QWidget>

class QTcpServer;

namespace testsupport {

// The folder of this test process: empty at start, removed at exit.
QString scratchFolder();

// Points the settings store at a new empty file in the scratch folder.
void freshSettingsStore();

// A new program state: an empty store with the first-run defaults, and a
// fresh VL object, session object and player table (slot 0 only).
void freshProgram();

// Points the settings store at a file that cannot be read as a store, in a
// folder that cannot be written, so that it can be neither read nor set
// aside. Empty when this machine offers no such place (a folder's
// permissions do not stop the superuser; the process file system does).
QString unreadableStoreInLockedFolder();

// Makes the game port of the settings prefix ("R", "J", "E", "X") count as
// set up: an empty executable in the scratch folder, stored as its path.
QString setUpPort(const QString &prefix);

// Listens on a free port from 20000 to 32767: session ports stop at 32767,
// below the range the system hands out for port 0.
bool listenLow(QTcpServer &server, const QHostAddress &address);

// The child control of window with that object name; the test stops at once
// when it is missing, since every step after would be meaningless.
template <typename T> T *control(QWidget *window, const QString &name)
{
    T *found = window->findChild<T *>(name);
    if (found == nullptr)
        qFatal("no control %s", qPrintable(name));
    return found;
}

// Clicks the push button of window with that object name.
void click(QWidget *window, const QString &button);

// Deletes every top-level window without a parent (and so its children),
// so that the next test starts with none.
void deleteAllWindows();

// Records every message box shown while it lives and answers them from a
// queue; when the queue is empty a box is answered as if dismissed.
class MessageBoxRecorder
{
public:
    MessageBoxRecorder();
    ~MessageBoxRecorder();
    MessageBoxRecorder(const MessageBoxRecorder &) = delete;
    MessageBoxRecorder &operator=(const MessageBoxRecorder &) = delete;

    void answerNext(msgbox::Answer answer) { m_answers.append(answer); }
    [[nodiscard]] const QList<msgbox::Request> &shown() const { return m_shown; }
    [[nodiscard]] QStringList texts() const;
    void clear() { m_shown.clear(); }

private:
    QList<msgbox::Request> m_shown;
    QList<msgbox::Answer> m_answers;
    msgbox::Handler m_previous;
};

} // namespace testsupport
