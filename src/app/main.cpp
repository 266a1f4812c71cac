#include "artwork.h"
#include "programend.h"
#include "startup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velkor"));
    QApplication::setOrganizationName(QStringLiteral("Tarnwick"));
    QApplication::setApplicationVersion(QStringLiteral("2.0.13"));
    QApplication::setWindowIcon(artwork::programIcon());
    startup::ProcessCommandLine(startup::CommandLineWords());
    const int status = program::ended() ? program::status() : QApplication::exec();
    startup::DeleteAllWindows();
    return status;
}
