#include "artwork.h"
#include "frmoptions.h"
#include "startup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velkor"));
    QApplication::setOrganizationName(QStringLiteral("Tarnwick"));
    QApplication::setApplicationVersion(QStringLiteral("2.0.13"));
    QApplication::setWindowIcon(artwork::programIcon());
    // An abandoned first run ends the program the same way as everything
    // else.
    FrmOptions::setQuitHandler([] { startup::EndProgram(); });

    startup::ProcessCommandLine(startup::CommandLineWords());
    const int status = startup::programEnded() ? 0 : QApplication::exec();
    startup::DeleteAllWindows();
    return status;
}
