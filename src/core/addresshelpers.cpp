#include "addresshelpers.h"

#include "settings.h"
#include "webfetch.h"
#include "wiretext.h"

#include <QPointer>
#include <QStringList>

#include <array>
#include <optional>

namespace {

const QString StartMarker = QStringLiteral("@@START@@");
const QString EndMarker = QStringLiteral("@@END@@");

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isAsciiDigits(QStringView text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (!isAsciiDigit(c))
            return false;
    }
    return true;
}

// The value of a run of ASCII digits, or nothing when it exceeds limit;
// leading zeros are allowed in any number.
std::optional<int> digitsValue(QStringView text, int limit)
{
    if (!isAsciiDigits(text))
        return std::nullopt;
    qsizetype first = 0;
    while (first < text.size() - 1 && text.at(first) == u'0')
        ++first;
    const QStringView significant = text.mid(first);
    if (significant.size() > 9)
        return std::nullopt;
    const int value = significant.toInt();
    if (value > limit)
        return std::nullopt;
    return value;
}

// The four parts of a dotted address, or nothing when it is not one.
std::optional<std::array<int, 4>> addressParts(const QString &IP)
{
    if (IP.isEmpty() || IP.front() == u' ' || IP.back() == u' ')
        return std::nullopt;
    if (IP.contains(u',') || IP.count(u'.') != 3)
        return std::nullopt;
    const QStringList parts = IP.split(u'.');
    std::array<int, 4> values {};
    for (int i = 0; i < 4; ++i) {
        const std::optional<int> value = digitsValue(parts.at(i), 255);
        if (!value)
            return std::nullopt;
        values[static_cast<size_t>(i)] = *value;
    }
    return values;
}

bool isWebScheme(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return scheme == u"http" || scheme == u"https";
}

} // namespace

bool ValidateIP(const QString &IP)
{
    return addressParts(IP).has_value();
}

bool CheckPrivateIP(const QString &IP)
{
    struct Range
    {
        const char16_t *from;
        const char16_t *to;
    };
    // Each part written with three digits, so that text order is address
    // order; both bounds are inside.
    static constexpr std::array<Range, 4> Ranges { {
        { u"010000000000", u"010255255255" },
        { u"169254000001", u"169254255254" },
        { u"172016000000", u"172031255255" },
        { u"192168000000", u"192168255255" },
    } };

    const std::optional<std::array<int, 4>> parts = addressParts(IP);
    if (!parts)
        return false;
    QString joined;
    for (const int part : *parts)
        joined += QStringLiteral("%1").arg(part, 3, 10, QChar(u'0'));
    for (const Range &range : Ranges) {
        if (joined >= QStringView(range.from) && joined <= QStringView(range.to))
            return true;
    }
    return false;
}

bool ValidatePort(const QString &Port)
{
    const std::optional<int> value = digitsValue(Port, 32767);
    return value && *value > 0;
}

QString GetIPfromPort(const QString &IP)
{
    const qsizetype colon = IP.indexOf(u':');
    return colon < 0 ? QStringLiteral(" ") : IP.left(colon);
}

QString GetPortfromIP(const QString &IP)
{
    const qsizetype colon = IP.indexOf(u':');
    return colon < 0 ? QStringLiteral(" ") : IP.mid(colon + 1);
}

QString DirectoryBaseURL()
{
    const QString setting = settings::directoryURL();
    if (!setting.isEmpty())
        return setting;
    const QString environment = qEnvironmentVariable("VELKOR_DIRECTORY_URL").trimmed();
    if (!environment.isEmpty())
        return environment;
    return QStringLiteral("http://127.0.0.1:8470");
}

QString DirectoryScriptURL()
{
    QString base = DirectoryBaseURL();
    while (base.endsWith(u'/'))
        base.chop(1);
    return base + u"/masterserver/master1/asp";
}

QUrl DirectoryRequestURL(const QString &pathAndQuery)
{
    // The base comes from the settings or the environment: only a plain web
    // address with a host is used, so that a query or fragment in it cannot
    // swallow the script path.
    QUrl url(DirectoryScriptURL(), QUrl::StrictMode);
    if (!url.isValid() || !isWebScheme(url) || url.host().isEmpty() || url.hasQuery()
        || url.hasFragment())
        return {};

    const qsizetype question = pathAndQuery.indexOf(u'?');
    const QString path = question < 0 ? pathAndQuery : pathAndQuery.left(question);
    url.setPath(url.path(QUrl::FullyEncoded) + u'/' + path, QUrl::TolerantMode);
    if (question >= 0)
        url.setQuery(pathAndQuery.mid(question + 1), QUrl::TolerantMode);
    return url.isValid() ? url : QUrl();
}

QString MyIPFromReply(QString body)
{
    if (!body.isEmpty())
        body = GetBetween(StartMarker, EndMarker, body);
    qsizetype length = 0;
    while (length < body.size() && (isAsciiDigit(body.at(length)) || body.at(length) == u'.'))
        ++length;
    const QString address = body.left(length);
    return ValidateIP(address) ? address : QString();
}

QString WebRequest(const QString &path, const QString &query, WebFetch &Inet)
{
    const QString fullQuery = query.startsWith(u'?') ? query : u'?' + query;
    const QUrl url = DirectoryRequestURL(path + fullQuery);
    Inet.setRequestTimeout(10);
    if (!url.isValid())
        return {};
    return Inet.fetch(url);
}

QString GetBetween(const QString &start, const QString &end, const QString &text)
{
    const int a = FindTextPos(text, start);
    if (a == 0)
        return {};
    const qsizetype n = FindTextPos(text, end) - a - start.size();
    if (n > 1)
        return text.mid(a - 1 + start.size(), n);
    return {};
}

int FindTextPos(const QString &text, const QString &part)
{
    if (part.isEmpty())
        return 0;
    return static_cast<int>(text.indexOf(part, 0, Qt::CaseSensitive)) + 1;
}

QString URLEncode(const QString &text)
{
    static constexpr char Hex[] = "0123456789ABCDEF";
    const QByteArray bytes = wire::toBytes(text);
    QString encoded;
    encoded.reserve(bytes.size() * 3);
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        if (value == ' ') {
            encoded += u'+';
        } else if ((value >= '0' && value <= '9') || (value >= 'A' && value <= 'Z')
                   || (value >= 'a' && value <= 'z')) {
            encoded += QChar(char16_t(value));
        } else {
            encoded += u'%';
            encoded += QLatin1Char(Hex[value >> 4]);
            encoded += QLatin1Char(Hex[value & 0x0F]);
        }
    }
    return encoded;
}
