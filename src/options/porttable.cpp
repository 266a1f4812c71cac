#include "porttable.h"

#include "tables.h"
#include "vl.h"

namespace options {

namespace {

bool isPort(int port)
{
    return port >= 0 && port < PortCount;
}

} // namespace

QString IUseValueName(int port)
{
    return isPort(port) ? u"IUse" + VL::portPrefix(port) : QString();
}

QString ExeValueName(int port)
{
    return isPort(port) ? VL::portPrefix(port) + u"_ExePath" : QString();
}

QString ModValueName(int port)
{
    return isPort(port) ? VL::portPrefix(port) + u"_ModPath" : QString();
}

QString UsualExeName(int port)
{
    // The xDuke port ships the same executable name as the Mordane port.
    static const char *const names[PortCount] = { "duke3d_w32", "duke3d", "eduke32", "duke3d_w32" };
    if (!isPort(port))
        return {};
#ifdef Q_OS_WIN
    return QString::fromLatin1(names[port]) + u".exe";
#else
    return QString::fromLatin1(names[port]);
#endif
}

QString ExeChooserFilter(int port)
{
    if (!isPort(port))
        return {};
#ifdef Q_OS_WIN
    const QString anyExecutable = QStringLiteral("*.exe");
#else
    const QString anyExecutable = QStringLiteral("*");
#endif
    QString name = tables::PortNames(port + 1);
    if (name.isEmpty())
        name = QStringLiteral("Port");
    return name + u" (" + UsualExeName(port) + u");;Other Port (" + anyExecutable + u')';
}

} // namespace options
