#include "settings.h"

#include "modregistry.h"
#include "settingsstore.h"

#include <QDir>

#include <array>

namespace settings {

namespace {

// The four subkeys of the settings root: the only place they are named.
enum class Section { Game, Network, Player, Session };

QString sectionName(Section section)
{
    switch (section) {
    case Section::Game:
        return QStringLiteral("Game");
    case Section::Network:
        return QStringLiteral("Network");
    case Section::Player:
        return QStringLiteral("Player");
    case Section::Session:
        return QStringLiteral("Session");
    }
    return {};
}

struct Key
{
    Section section;
    const char16_t *name;
};

QString read(const Key &key)
{
    return ReadSetting(sectionName(key.section), QString::fromUtf16(key.name));
}

Result write(const Key &key, const QString &value)
{
    return { WriteSetting(sectionName(key.section), QString::fromUtf16(key.name), value) };
}

QString flag(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

// A whole number from the store, or nothing when the text is not one.
std::optional<qint64> number(const Key &key)
{
    bool ok = false;
    const qint64 value = read(key).trimmed().toLongLong(&ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

constexpr Key kSetup { Section::Game, u"VLSetup" };
constexpr Key kDefaultPort { Section::Game, u"DefaultPort" };
constexpr Key kInstallPath { Section::Game, u"InstallPath" };
constexpr Key kVersion { Section::Game, u"VLVersion" };
constexpr Key kLastRun { Section::Game, u"LastRun" };
constexpr std::array<Key, 4> kExePaths { Key { Section::Game, u"R_ExePath" },
                                         Key { Section::Game, u"J_ExePath" },
                                         Key { Section::Game, u"E_ExePath" },
                                         Key { Section::Game, u"X_ExePath" } };
constexpr std::array<Key, 4> kModPaths { Key { Section::Game, u"R_ModPath" },
                                         Key { Section::Game, u"J_ModPath" },
                                         Key { Section::Game, u"E_ModPath" },
                                         Key { Section::Game, u"X_ModPath" } };
constexpr std::array<Key, 4> kUsesPort { Key { Section::Game, u"IUseR" },
                                         Key { Section::Game, u"IUseJ" },
                                         Key { Section::Game, u"IUseE" },
                                         Key { Section::Game, u"IUseX" } };
constexpr Key kMapPath { Section::Game, u"MapPath" };
constexpr Key kEnableHRP { Section::Game, u"EnableHRP" };
constexpr Key kHRP1 { Section::Game, u"HRP_Path1" };
constexpr Key kHRP2 { Section::Game, u"HRP_Path2" };
constexpr Key kStoredIPs { Section::Game, u"StoredIPs" };

constexpr Key kNetworkType { Section::Network, u"NetworkType" };
constexpr Key kBandwidth { Section::Network, u"Bandwidth" };
constexpr Key kWanIP { Section::Network, u"WanIP" };
constexpr Key kWanPort { Section::Network, u"WanPort" };
constexpr Key kLanIP { Section::Network, u"LanIP" };
constexpr Key kLanPort { Section::Network, u"LanPort" };
constexpr Key kDirectoryURL { Section::Network, u"DirectoryURL" };

constexpr Key kPlayerName { Section::Player, u"PlayerName" };
constexpr Key kFullName { Section::Player, u"FullName" };
constexpr Key kLocation { Section::Player, u"Location" };
constexpr Key kAge { Section::Player, u"Age" };
constexpr Key kEmail { Section::Player, u"EmailAddress" };
constexpr Key kWebsite { Section::Player, u"Website" };
constexpr Key kComments { Section::Player, u"Comments" };
constexpr Key kOtherNames { Section::Player, u"OtherNames" };
constexpr Key kOtherOldNames { Section::Player, u"OtherOldNames" };

constexpr Key kFontName { Section::Session, u"FontName" };
constexpr Key kFontSize { Section::Session, u"FontSize" };
constexpr Key kFontStyle { Section::Session, u"FontStyle" };
constexpr Key kFontColour { Section::Session, u"FontColour" };
constexpr Key kHostName { Section::Session, u"HostName" };
constexpr Key kHostNames { Section::Session, u"HostNames" };

constexpr int kDefaultAge = 18;

bool validPort(int port)
{
    return port >= 0 && port < 4;
}

QString sectionPath(Section section)
{
    return modRegistry::SettingsRoot + u'\\' + sectionName(section);
}

constexpr std::array<Section, 4> kSections { Section::Game, Section::Network, Section::Player,
                                             Section::Session };

// The first failure of several writes, or success.
Result firstFailure(std::initializer_list<Result> results)
{
    for (const Result &result : results) {
        if (!result.ok())
            return result;
    }
    return {};
}

} // namespace

QString location()
{
#ifdef Q_OS_WIN
    if (store::filePath() == store::defaultFilePath())
        return u"HKEY_CURRENT_USER\\" + modRegistry::SettingsRoot;
#endif
    return QDir::toNativeSeparators(store::filePath());
}

Result writeFirstRunDefaults(const QString &installPath, const QString &version, const QDate &today)
{
    using modRegistry::CreateKey;
    using modRegistry::Root;
    store::Batch batch;
    CreateKey(Root::CurrentUser, QStringLiteral("Software\\Tarnwick"));
    CreateKey(Root::CurrentUser, QStringLiteral("Software\\Tarnwick\\Velkor"));
    CreateKey(Root::CurrentUser, modRegistry::SettingsRoot);
    for (const Section section : kSections)
        CreateKey(Root::CurrentUser, sectionPath(section));

    const Result written = firstFailure({
        write(kFontName, QStringLiteral("Arial")),
        write(kFontSize, QStringLiteral("10")),
        write(kFontColour, QStringLiteral("16777215")),
        write(kFontStyle, QStringLiteral("1")),
        write(kLocation, QStringLiteral("183")),
        write(kAge, QString::number(kDefaultAge)),
        write(kBandwidth, QStringLiteral("256")),
        write(kNetworkType, QStringLiteral("1")),
        write(kDefaultPort, QStringLiteral("1")),
        write(kInstallPath, installPath),
        write(kVersion, version),
        write(kLastRun, today.addDays(-6).toString(Qt::ISODate)),
    });
    const Result saved { batch.commit() };
    return written.ok() ? saved : written;
}

bool removeAll()
{
    using modRegistry::Root;
    // Session, Game, Network, Player: a key goes only once it has no
    // subkeys, so the root comes last.
    for (const Section section :
         { Section::Session, Section::Game, Section::Network, Section::Player })
        modRegistry::DeleteKey(Root::CurrentUser, sectionPath(section));
    modRegistry::DeleteKey(Root::CurrentUser, modRegistry::SettingsRoot);
    for (const Section section : kSections) {
        if (modRegistry::OpenKeyPath(Root::CurrentUser, sectionPath(section)).isOpen)
            return false;
    }
    return true;
}

bool setupComplete()
{
    return read(kSetup) == u"1";
}

Result setSetupComplete()
{
    return write(kSetup, QStringLiteral("1"));
}

QString defaultPortText()
{
    return read(kDefaultPort);
}

int defaultPort()
{
    // Callers index arrays of four ports with this.
    const std::optional<qint64> port = number(kDefaultPort);
    return port && *port >= 1 && *port <= 4 ? int(*port - 1) : 0;
}

std::optional<int> exactDefaultPort()
{
    const QString text = read(kDefaultPort);
    if (text.size() == 1 && text.at(0) >= u'1' && text.at(0) <= u'4')
        return text.at(0).unicode() - u'1';
    return std::nullopt;
}

Result setDefaultPort(int port)
{
    if (!validPort(port))
        return { store::InvalidParameter };
    return write(kDefaultPort, QString::number(port + 1));
}

QString exePath(int port)
{
    return validPort(port) ? read(kExePaths[std::size_t(port)]) : QString();
}

Result setExePath(int port, const QString &path)
{
    if (!validPort(port))
        return { store::InvalidParameter };
    return write(kExePaths[std::size_t(port)], path);
}

QString modPath(int port)
{
    return validPort(port) ? read(kModPaths[std::size_t(port)]) : QString();
}

Result setModPath(int port, const QString &path)
{
    if (!validPort(port))
        return { store::InvalidParameter };
    return write(kModPaths[std::size_t(port)], path);
}

QString usesPortText(int port)
{
    return validPort(port) ? read(kUsesPort[std::size_t(port)]) : QString();
}

bool usesPort(int port)
{
    if (!validPort(port))
        return false;
    const std::optional<qint64> value = number(kUsesPort[std::size_t(port)]);
    return value && *value == 1;
}

Result setUsesPort(int port, bool used)
{
    if (!validPort(port))
        return { store::InvalidParameter };
    return write(kUsesPort[std::size_t(port)], flag(used));
}

QString mapPath()
{
    return read(kMapPath);
}

Result setMapPath(const QString &path)
{
    return write(kMapPath, path);
}

QString hrpEnabledText()
{
    return read(kEnableHRP);
}

bool hrpEnabled()
{
    return read(kEnableHRP) == u"1";
}

Result setHrpEnabled(bool enabled)
{
    return write(kEnableHRP, flag(enabled));
}

QString hrpPack1()
{
    return read(kHRP1);
}

QString hrpPack2()
{
    return read(kHRP2);
}

Result setHrpPacks(const QString &first, const QString &second)
{
    store::Batch batch;
    const Result written = firstFailure({ write(kHRP1, first), write(kHRP2, second) });
    const Result saved { batch.commit() };
    return written.ok() ? saved : written;
}

QString lastRun()
{
    return read(kLastRun);
}

Result setLastRun(const QDate &date)
{
    return write(kLastRun, date.toString(Qt::ISODate));
}

QString storedHosts()
{
    return read(kStoredIPs);
}

Result setStoredHosts(const QString &list)
{
    return write(kStoredIPs, list);
}

QString networkTypeText()
{
    return read(kNetworkType);
}

quint8 networkType()
{
    const std::optional<qint64> type = number(kNetworkType);
    return type && *type >= 0 && *type <= 255 ? quint8(*type) : quint8(0);
}

Result setNetworkType(int type)
{
    return write(kNetworkType, QString::number(type));
}

qint16 bandwidth()
{
    const std::optional<qint64> value = number(kBandwidth);
    return value && *value >= INT16_MIN && *value <= INT16_MAX ? qint16(*value) : qint16(0);
}

QString wanIP()
{
    return read(kWanIP);
}

Result setWanIP(const QString &address)
{
    return write(kWanIP, address);
}

QString wanPort()
{
    return read(kWanPort);
}

Result setWanPort(const QString &port)
{
    return write(kWanPort, port);
}

QString lanIP()
{
    return read(kLanIP);
}

Result setLanIP(const QString &address)
{
    return write(kLanIP, address);
}

QString lanPort()
{
    return read(kLanPort);
}

Result setLanPort(const QString &port)
{
    return write(kLanPort, port);
}

QString directoryURL()
{
    return read(kDirectoryURL).trimmed();
}

QString playerName()
{
    return read(kPlayerName);
}

Result setPlayerName(const QString &name)
{
    return write(kPlayerName, name);
}

QString fullName()
{
    return read(kFullName);
}

Result setFullName(const QString &name)
{
    return write(kFullName, name);
}

QString countryText()
{
    return read(kLocation);
}

int country(int count)
{
    const std::optional<qint64> index = number(kLocation);
    return index && *index >= 0 && *index < count ? int(*index) : -1;
}

Result setCountry(int index)
{
    return write(kLocation, QString::number(index));
}

QString ageText()
{
    return read(kAge);
}

std::optional<quint8> age()
{
    const std::optional<qint64> value = number(kAge);
    if (!value || *value < 0 || *value > 255)
        return std::nullopt;
    return quint8(*value);
}

Result setAge(const QString &age)
{
    return write(kAge, age);
}

Result repairAge()
{
    return write(kAge, QString::number(kDefaultAge));
}

QString emailAddress()
{
    return read(kEmail);
}

Result setEmailAddress(const QString &address)
{
    return write(kEmail, address);
}

QString website()
{
    return read(kWebsite);
}

Result setWebsite(const QString &address)
{
    return write(kWebsite, address);
}

QString comments()
{
    return read(kComments);
}

Result setComments(const QString &text)
{
    return write(kComments, text);
}

QString otherNames()
{
    return read(kOtherNames);
}

QString otherOldNames()
{
    return read(kOtherOldNames);
}

Result setOtherNames(const QString &shown, const QString &setAside)
{
    store::Batch batch;
    const Result written
        = firstFailure({ write(kOtherNames, shown), write(kOtherOldNames, setAside) });
    const Result saved { batch.commit() };
    return written.ok() ? saved : written;
}

QString fontName()
{
    return read(kFontName);
}

QString fontSize()
{
    return read(kFontSize);
}

QString fontStyle()
{
    return read(kFontStyle);
}

QString fontColour()
{
    return read(kFontColour);
}

QString hostName()
{
    return read(kHostName);
}

Result setHostName(const QString &name)
{
    return write(kHostName, name);
}

QString hostNames()
{
    return read(kHostNames);
}

Result setHostNames(const QString &list)
{
    return write(kHostNames, list);
}

} // namespace settings
