#include "modregistry.h"

#include <QTest>

class TestSettingsStore : public QObject
{
    Q_OBJECT
private slots:
    void placeholder()
    {
        QVERIFY(ReadSetting(QStringLiteral("Game"), QStringLiteral("x")).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
