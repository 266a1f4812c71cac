#include "shellactions.h"

#include "programend.h"

#include "messagebox.h"
#include "website.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QTimer>

#include <cstdlib>
#include <utility>

namespace shell {

namespace {

OpenUrlHandler &openUrlHandler()
{
    static OpenUrlHandler handler;
    return handler;
}

bool isWebAddress(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() && (scheme == u"http" || scheme == u"https");
}

} // namespace

bool openUrl(const QUrl &url)
{
    // The address comes from the settings: a file or other local address
    // could start a program through the desktop.
    if (!isWebAddress(url))
        return false;
    if (openUrlHandler())
        openUrlHandler()(url);
    else
        QDesktopServices::openUrl(url);
    return true;
}

bool openProductSite(QWidget *parent)
{
    if (openUrl(QUrl(Website(1), QUrl::StrictMode)))
        return true;
    msgbox::show(parent, QStringLiteral("The web site address is not a valid web address."),
                 QStringLiteral("Error"), msgbox::Icon::Warning);
    return false;
}

void endProgram()
{
    // Queued, so that the caller's window finishes its handler first.
    QTimer::singleShot(0, qApp, [] { program::end(EXIT_FAILURE); });
}

OpenUrlHandler setOpenUrlHandler(OpenUrlHandler handler)
{
    return std::exchange(openUrlHandler(), std::move(handler));
}

} // namespace shell
