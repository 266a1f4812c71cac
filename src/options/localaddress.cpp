#include "localaddress.h"

#include "addresshelpers.h"
#include "streamsocket.h"

#include <QNetworkInterface>

namespace options {

QString MachineLocalAddress()
{
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &interface : interfaces) {
        const QNetworkInterface::InterfaceFlags flags = interface.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp)
            || !flags.testFlag(QNetworkInterface::IsRunning)
            || flags.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        const QList<QNetworkAddressEntry> entries = interface.addressEntries();
        for (const QNetworkAddressEntry &entry : entries) {
            const QHostAddress address = entry.ip();
            if (address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback())
                return address.toString();
        }
    }
    return QStringLiteral("127.0.0.1");
}

QString SocketLocalAddress(const StreamSocket &socket)
{
    if (socket.state() == StreamSocket::State::Connected) {
        const QString address = socket.localIP();
        if (ValidateIP(address) && address != u"0.0.0.0")
            return address;
    }
    return MachineLocalAddress();
}

} // namespace options
