#include "findip.h"

#include "addresshelpers.h"
#include "messagebox.h"
#include "webfetch.h"

#include <QPointer>
#include <QUrl>
#include <QWidget>

QString FindIP(quint8 IPType, WebFetch &Inet, const QString &localAddressOfSocket, QWidget *parent)
{
    if (IPType == 2)
        return localAddressOfSocket;
    if (IPType != 1)
        return {};

    const QUrl url = DirectoryRequestURL(QStringLiteral("myip.asp"));
    if (!url.isValid())
        return {};

    // The fetch runs events: the fetch object or the window may be gone when
    // it returns.
    const QPointer<WebFetch> inet(&Inet);
    const QPointer<QWidget> owner(parent);
    Inet.setRequestTimeout(4);
    bool ok = false;
    const QString body = Inet.fetch(url, &ok);
    if (!inet)
        return {};
    inet->cancel();
    if (!ok)
        return {};

    const QString address = MyIPFromReply(body);
    if (!address.isEmpty())
        return address;

    msgbox::show(owner.data(), QStringLiteral("Unable to get your Selected IP Address."),
                 QStringLiteral("IP Address"), msgbox::Icon::Warning);
    return {};
}
