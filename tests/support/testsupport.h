#pragma once

#include "messagebox.h"

#include <QList>
#include <QString>

namespace testsupport {

// The folder of this test process: empty at start, removed at exit.
QString scratchFolder();

// Points the settings store at a new empty file in the scratch folder.
void freshSettingsStore();

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
