#include "testsupport.h"

#include "modregistry.h"
#include "sessionplayers.h"
#include "settingsstore.h"
#include "vl.h"
#include "vlsession.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QPointer>
#include <QPushButton>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
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

void freshProgram()
{
    freshSettingsStore();
    VL::instance().reset();
    VL::instance().SetDefaultRegVals();
}

QString unreadableStoreInLockedFolder()
{
    static int counter = 0;
    const QString folder = scratch().path() + u"/locked-" + QString::number(++counter);
    QDir().mkpath(folder);
    const QString path = folder + u"/Velkor.store";
    QFile damaged(path);
    if (!damaged.open(QIODevice::WriteOnly))
        return {};
    damaged.write("not a settings file");
    damaged.close();
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    QFile probe(folder + u"/probe");
    if (!probe.open(QIODevice::WriteOnly)) {
        store::setFilePath(path);
        return path;
    }
    probe.remove();
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString procFile = QStringLiteral("/proc/version");
    if (!QFile::exists(procFile))
        return {};
    store::setFilePath(procFile);
    return procFile;
}

QString setUpPort(const QString &prefix)
{
    const QString folder = scratchFolder() + u"/port-" + prefix.toLower();
    QDir().mkpath(folder);
    QFile exe(folder + u"/duke3d");
    if (!exe.open(QIODevice::WriteOnly))
        qFatal("cannot create the port executable");
    const QString path = QDir::toNativeSeparators(exe.fileName());
    WriteSetting(QStringLiteral("Game"), prefix + u"_ExePath", path);
    return path;
}

bool listenLow(QTcpServer &server, const QHostAddress &address)
{
    static int next = 20000 + int(QCoreApplication::applicationPid() % 4000) * 3;
    for (int tries = 0; tries < 4000; ++tries) {
        if (++next > 32767)
            next = 20000;
        if (server.listen(address, quint16(next)))
            return true;
    }
    return false;
}

void click(QWidget *window, const QString &button)
{
    QTest::mouseClick(control<QPushButton>(window, button), Qt::LeftButton);
}

void deleteAllWindows()
{
    QList<QPointer<QWidget>> owned;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->parentWidget() == nullptr)
            owned.append(window);
    }
    for (const QPointer<QWidget> &window : owned)
        delete window.data();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
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
