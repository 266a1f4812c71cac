// Writes count values named <prefix>0 .. <prefix>count-1 into the Game key of
// the store file given, one write at a time, as a second Velkor process would.
// A write refused because the other process held the lock too long is tried
// again, as its player would save again; exit status 1 when one never goes
// through.
#include "modregistry.h"
#include "settingsstore.h"

#include <QCoreApplication>
#include <QStringList>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 4)
        return 2;
    store::setFilePath(args.at(1));
    const QString prefix = args.at(2);
    const int count = args.at(3).toInt();
    for (int i = 0; i < count; ++i) {
        int tries = 0;
        while (WriteSetting(QStringLiteral("Game"), prefix + QString::number(i), QString::number(i))
               != store::Success) {
            if (++tries == 50)
                return 1;
        }
    }
    return 0;
}
