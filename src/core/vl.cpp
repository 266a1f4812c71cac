#include "vl.h"

#include "messagebox.h"
#include "modregistry.h"
#include "paths.h"
#include "sessionplayers.h"
#include "tables.h"

#include <QCoreApplication>
#include <QDate>

namespace {

const QString kGame = QStringLiteral("Game");
const QString kNetwork = QStringLiteral("Network");
const QString kPlayer = QStringLiteral("Player");
const QString kSession = QStringLiteral("Session");

// A whole number from the store, or nullopt when the text is not one.
std::optional<qint64> storedNumber(const QString &subKey, const QString &name)
{
    bool ok = false;
    const qint64 value = ReadSetting(subKey, name).trimmed().toLongLong(&ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

} // namespace

VL &VL::instance()
{
    static VL vl;
    return vl;
}

void VL::reset()
{
    *this = VL();
}

QString VL::installPath()
{
    return QCoreApplication::applicationDirPath();
}

bool VL::CheckFirstRun() const
{
    return ReadSetting(kGame, QStringLiteral("VLSetup")) != u"1";
}

void VL::SetDefaultRegVals() const
{
    using modRegistry::CreateKey;
    using modRegistry::Root;
    const store::Batch batch;
    CreateKey(Root::CurrentUser, QStringLiteral("Software\\Tarnwick"));
    CreateKey(Root::CurrentUser, QStringLiteral("Software\\Tarnwick\\Velkor"));
    CreateKey(Root::CurrentUser, modRegistry::SettingsRoot);
    for (const QString &subKey : { kGame, kNetwork, kPlayer, kSession })
        CreateKey(Root::CurrentUser, modRegistry::SettingsRoot + u'\\' + subKey);

    WriteSetting(kSession, QStringLiteral("FontName"), QStringLiteral("Arial"));
    WriteSetting(kSession, QStringLiteral("FontSize"), QStringLiteral("10"));
    WriteSetting(kSession, QStringLiteral("FontColour"), QStringLiteral("16777215"));
    WriteSetting(kSession, QStringLiteral("FontStyle"), QStringLiteral("1"));
    WriteSetting(kPlayer, QStringLiteral("Location"), QStringLiteral("183"));
    WriteSetting(kPlayer, QStringLiteral("Age"), QStringLiteral("18"));
    WriteSetting(kNetwork, QStringLiteral("Bandwidth"), QStringLiteral("256"));
    WriteSetting(kNetwork, QStringLiteral("NetworkType"), QStringLiteral("1"));
    WriteSetting(kGame, QStringLiteral("DefaultPort"), QStringLiteral("1"));
    WriteSetting(kGame, QStringLiteral("InstallPath"), installPath());
    WriteSetting(kGame, QStringLiteral("VLVersion"), Version);
    WriteSetting(kGame, QStringLiteral("LastRun"),
                 QDate::currentDate().addDays(-6).toString(Qt::ISODate));
}

quint8 VL::GetDefaultPort() const
{
    // Callers index arrays of four ports with this, so anything outside
    // 1-4 falls back to the first port.
    const std::optional<qint64> port = storedNumber(kGame, QStringLiteral("DefaultPort"));
    if (!port || *port < 1 || *port > 4)
        return 0;
    return quint8(*port - 1);
}

void VL::GetMyDetails(int player)
{
    // A value that is not a number at all reads as 0, except the age, which
    // is repaired like an age out of range.
    const std::optional<qint64> networkType = storedNumber(kNetwork, QStringLiteral("NetworkType"));
    NetworkType
        = networkType && *networkType >= 0 && *networkType <= 255 ? quint8(*networkType) : 0;

    SessionPlayers &slot = sessionPlayers()[player];
    slot.FullName = ReadSetting(kPlayer, QStringLiteral("FullName"));
    slot.Location = ReadSetting(kPlayer, QStringLiteral("Location"));

    std::optional<qint64> age = storedNumber(kPlayer, QStringLiteral("Age"));
    if (!age || *age > 255 || *age < 0) {
        age = 18;
        WriteSetting(kPlayer, QStringLiteral("Age"), QStringLiteral("18"));
    }
    slot.Age = quint8(*age);

    slot.Email = ReadSetting(kPlayer, QStringLiteral("EmailAddress"));
    slot.WebsiteURL = ReadSetting(kPlayer, QStringLiteral("Website"));
    slot.Comments = ReadSetting(kPlayer, QStringLiteral("Comments"));
    slot.PlayerName = ReadSetting(kPlayer, QStringLiteral("PlayerName"));
    const std::optional<qint64> bandwidth = storedNumber(kNetwork, QStringLiteral("Bandwidth"));
    slot.Bandwidth = bandwidth && *bandwidth >= INT16_MIN && *bandwidth <= INT16_MAX
        ? qint16(*bandwidth)
        : qint16(0);

    const QString wanPort = ReadSetting(kNetwork, QStringLiteral("WanPort"));
    if (NetworkType == 1) {
        slot.LocalIP = QStringLiteral("0.0.0.0");
        slot.LocalPortNumber = wanPort;
    } else if (NetworkType == 2) {
        slot.LocalIP = ReadSetting(kNetwork, QStringLiteral("LanIP"));
        slot.LocalPortNumber = ReadSetting(kNetwork, QStringLiteral("LanPort"));
    }
    slot.IPAddress = ReadSetting(kNetwork, QStringLiteral("WanIP"));
    slot.PortNumber = wanPort;

    ReadHRP();
}

void VL::ClearMyDetails(int player)
{
    SessionPlayers &slot = sessionPlayers()[player];
    slot.FullName.clear();
    slot.Location.clear();
    slot.Email.clear();
    slot.WebsiteURL.clear();
    slot.Comments.clear();
    slot.PlayerName.clear();
    slot.LocalIP.clear();
    slot.IPAddress.clear();
    slot.Age = 0;
    slot.Bandwidth = 0;
    slot.PortNumber = QStringLiteral("0");
    slot.LocalPortNumber = QStringLiteral("0");
}

QString VL::portPrefix(int port)
{
    static const char *const prefixes[] = { "R", "J", "E", "X" };
    return port >= 0 && port < 4 ? QString::fromLatin1(prefixes[port]) : QString();
}

const QString &VL::exePath(int port) const
{
    static const QString none;
    switch (port) {
    case 0:
        return R_ExePath;
    case 1:
        return J_ExePath;
    case 2:
        return E_ExePath;
    case 3:
        return X_ExePath;
    default:
        break;
    }
    return none;
}

void VL::LoadPortPaths()
{
    const std::array<QString *, 4> exes { &R_ExePath, &J_ExePath, &E_ExePath, &X_ExePath };
    const std::array<QString *, 4> mods { &R_ModPath, &J_ModPath, &E_ModPath, &X_ModPath };
    const std::array<QString *, 4> names { &R_ExeName, &J_ExeName, &E_ExeName, &X_ExeName };
    for (int port = 0; port < 4; ++port) {
        *exes[port] = ReadSetting(kGame, portPrefix(port) + u"_ExePath");
        *mods[port] = ReadSetting(kGame, portPrefix(port) + u"_ModPath");
        *names[port] = GetExeName(*exes[port]);
    }
}

void VL::SetPortPaths(int currentPort)
{
    LoadPortPaths();
    if (currentPort >= 1 && currentPort <= 4)
        CurrentPortPath = GetPathOnly(exePath(currentPort - 1));
    CurrentPortCfg = JoinPath(CurrentPortPath, QStringLiteral("VLCfg.txt"));
    const QString mapPath = ReadSetting(kGame, QStringLiteral("MapPath"));
    UsermapPath = !mapPath.isEmpty() && FolderExists(mapPath) ? mapPath : CurrentPortPath;
}

bool VL::IsPortSetup(int port, bool dispErr, QWidget *parent)
{
    const QString prefix = portPrefix(port);
    if (prefix.isEmpty())
        return false;
    if (FileExists(ReadSetting(kGame, prefix + u"_ExePath")))
        return true;
    if (dispErr) {
        msgbox::show(
            parent,
            tables::PortNames(port + 1)
                + u" has not been configured yet. Please configure in the main options first.",
            QStringLiteral("Not Configured"), msgbox::Icon::Warning);
    }
    return false;
}

bool VL::CheckCompulsoryDetails()
{
    const QString port = ReadSetting(kGame, QStringLiteral("DefaultPort"));
    static const QStringList ports { QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                                     QStringLiteral("4") };
    const qsizetype index = ports.indexOf(port);
    if (index < 0)
        return false;
    if (!FileExists(ReadSetting(kGame, portPrefix(int(index)) + u"_ExePath")))
        return false;
    return !ReadSetting(kPlayer, QStringLiteral("PlayerName")).isEmpty();
}

void VL::ReadHRP()
{
    EnableHRP = ReadSetting(kGame, QStringLiteral("EnableHRP")) == u"1";
    HRPPath1 = ReadSetting(kGame, QStringLiteral("HRP_Path1"));
    HRPPath2 = ReadSetting(kGame, QStringLiteral("HRP_Path2"));
}

bool VL::CheckForMap(const QString &currentMap) const
{
    if (currentMap.isEmpty())
        return true;
    // A map name from a peer must name a file inside the usermap folder.
    if (currentMap.contains(u'/') || currentMap.contains(u'\\') || currentMap == u".."
        || currentMap == u".")
        return false;
    return FileExists(JoinPath(UsermapPath, currentMap));
}
