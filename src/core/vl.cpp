#include "vl.h"

#include "modregistry.h"
#include "paths.h"
#include "sessionplayers.h"
#include "settings.h"
#include "tables.h"

#include <QCoreApplication>
#include <QDate>

namespace {

const QString kGame = QStringLiteral("Game");

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
    return !settings::setupComplete();
}

void VL::SetDefaultRegVals() const
{
    settings::writeFirstRunDefaults(installPath(), Version, QDate::currentDate());
}

quint8 VL::GetDefaultPort() const
{
    return quint8(settings::defaultPort());
}

SessionPlayers VL::MyDetails()
{
    NetworkType = settings::networkType();

    SessionPlayers slot;
    slot.FullName = settings::fullName();
    slot.Location = settings::countryText();

    // An age that is not a number from 0 to 255 is put right in the store.
    std::optional<quint8> age = settings::age();
    if (!age) {
        settings::repairAge();
        age = settings::age();
    }
    slot.Age = age.value_or(18);

    slot.Email = settings::emailAddress();
    slot.WebsiteURL = settings::website();
    slot.Comments = settings::comments();
    slot.PlayerName = settings::playerName();
    slot.Bandwidth = settings::bandwidth();

    const QString wanPort = settings::wanPort();
    if (NetworkType == 1) {
        slot.LocalIP = QStringLiteral("0.0.0.0");
        slot.LocalPortNumber = wanPort;
    } else if (NetworkType == 2) {
        slot.LocalIP = settings::lanIP();
        slot.LocalPortNumber = settings::lanPort();
    }
    slot.IPAddress = settings::wanIP();
    slot.PortNumber = wanPort;

    ReadHRP();
    return slot;
}

void VL::GetMyDetails(SessionPlayers &slot)
{
    const SessionPlayers mine = MyDetails();
    slot.FullName = mine.FullName;
    slot.Location = mine.Location;
    slot.Age = mine.Age;
    slot.Email = mine.Email;
    slot.WebsiteURL = mine.WebsiteURL;
    slot.Comments = mine.Comments;
    slot.PlayerName = mine.PlayerName;
    slot.Bandwidth = mine.Bandwidth;
    if (NetworkType == 1 || NetworkType == 2) {
        slot.LocalIP = mine.LocalIP;
        slot.LocalPortNumber = mine.LocalPortNumber;
    }
    slot.IPAddress = mine.IPAddress;
    slot.PortNumber = mine.PortNumber;
}

void VL::ClearMyDetails(SessionPlayers &slot)
{
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
        *exes[port] = settings::exePath(port);
        *mods[port] = settings::modPath(port);
        *names[port] = GetExeName(*exes[port]);
    }
}

void VL::SetPortPaths(int currentPort)
{
    LoadPortPaths();
    if (currentPort >= 1 && currentPort <= 4)
        CurrentPortPath = GetPathOnly(exePath(currentPort - 1));
    CurrentPortCfg = JoinPath(CurrentPortPath, QStringLiteral("VLCfg.txt"));
    const QString mapPath = settings::mapPath();
    UsermapPath = !mapPath.isEmpty() && FolderExists(mapPath) ? mapPath : CurrentPortPath;
}

bool VL::IsPortSetup(int port)
{
    const QString prefix = portPrefix(port);
    return !prefix.isEmpty() && FileExists(ReadSetting(kGame, prefix + u"_ExePath"));
}

bool VL::CheckCompulsoryDetails()
{
    const std::optional<int> port = settings::exactDefaultPort();
    return port && FileExists(settings::exePath(*port)) && !settings::playerName().isEmpty();
}

void VL::ReadHRP()
{
    EnableHRP = settings::hrpEnabled();
    HRPPath1 = settings::hrpPack1();
    HRPPath2 = settings::hrpPack2();
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
