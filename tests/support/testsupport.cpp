#include "testsupport.h"

#include "settingsstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QtDebug>

#include <atomic>
#include <memory>

namespace testsupport {

namespace {

QTemporaryDir &scratch()
{
    static QTemporaryDir dir(QDir::tempPath() + u"/velkor-test-XXXXXX");
    return dir;
}

// Runs before every test's main body: no test may read or write the real
// store or the real config folder, and no box may block a test.
void isolate()
{
    const QString root = scratch().path();
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(root + u"/config"));
    qputenv("XDG_DATA_HOME", QFile::encodeName(root + u"/data"));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(root + u"/cache"));
    freshSettingsStore();
    msgbox::setHandler([](const msgbox::Request &request) {
        qWarning().noquote() << "unexpected message box:" << request.title << "-" << request.text;
        return msgbox::dismissAnswer(request.buttons);
    });
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(isolate)

QString scratchFolder()
{
    return scratch().path();
}

void freshSettingsStore()
{
    static std::atomic_int counter = 0;
    store::setFilePath(scratch().path() + u"/store-" + QString::number(++counter)
                       + u"/Velkor.store");
}

MessageBoxRecorder::MessageBoxRecorder()
{
    m_previous = msgbox::setHandler([this](const msgbox::Request &request) {
        m_shown.append(request);
        if (!m_answers.isEmpty())
            return m_answers.takeFirst();
        return msgbox::dismissAnswer(request.buttons);
    });
}

MessageBoxRecorder::~MessageBoxRecorder()
{
    msgbox::setHandler(std::move(m_previous));
}

QStringList MessageBoxRecorder::texts() const
{
    QStringList texts;
    for (const msgbox::Request &request : m_shown)
        texts.append(request.text);
    return texts;
}

} // namespace testsupport
