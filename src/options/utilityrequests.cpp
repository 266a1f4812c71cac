#include "utilityrequests.h"

#include "addresshelpers.h"

#include <QStringView>

namespace {

int g_timeoutMs = UtilityRequestTimeoutMs;

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Compares two runs of digits by value without converting them, so that no
// length can overflow: -1, 0 or 1.
int compareNumbers(QStringView a, QStringView b)
{
    while (a.size() > 1 && a.front() == u'0')
        a = a.mid(1);
    while (b.size() > 1 && b.front() == u'0')
        b = b.mid(1);
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    const int order = a.compare(b);
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

} // namespace

int utilityRequestTimeoutMs()
{
    return g_timeoutMs;
}

void setUtilityRequestTimeoutMs(int milliseconds)
{
    g_timeoutMs = milliseconds > 0 ? milliseconds : UtilityRequestTimeoutMs;
}

QString ReplyPayload(const QString &body)
{
    return GetBetween(QStringLiteral("@@START@@"), QStringLiteral("@@END@@"), body);
}

bool IsVersionText(const QString &text)
{
    if (text.isEmpty() || text.size() > MaxVersionLength)
        return false;
    bool partHasDigit = false;
    for (const QChar c : text) {
        if (isAsciiDigit(c)) {
            partHasDigit = true;
        } else if (c == u'.' && partHasDigit) {
            partHasDigit = false;
        } else {
            return false;
        }
    }
    return partHasDigit;
}

bool Update_CheckVersions(const QString &newest, const QString &current)
{
    if (!IsVersionText(newest) || !IsVersionText(current))
        return false;
    const QList<QStringView> newParts = QStringView(newest).split(u'.');
    const QList<QStringView> ownParts = QStringView(current).split(u'.');
    const qsizetype count = qMax(newParts.size(), ownParts.size());
    for (qsizetype i = 0; i < count; ++i) {
        const QStringView a = i < newParts.size() ? newParts.at(i) : QStringView(u"0");
        const QStringView b = i < ownParts.size() ? ownParts.at(i) : QStringView(u"0");
        if (const int order = compareNumbers(a, b); order != 0)
            return order > 0;
    }
    return false;
}

QUrl UpdateCheckURL(const QString &version)
{
    // Only a real version goes into the address, so that it cannot add
    // parameters of its own.
    if (!IsVersionText(version))
        return {};
    return DirectoryRequestURL(u"check_updates.asp?myver=" + version);
}

QString BugReportQuery(const QString &version, const QString &playerName, const QString &area,
                       const QString &report)
{
    // Our own version text needs no encoding; anything else gets it.
    const QString versionField = IsVersionText(version) ? version : URLEncode(version);
    return u"?mode=create&pwd=" + DirectoryPassword + u"&VL_VERSION=" + versionField
        + u"&VL_DUKEPORT=0" + u"&VL_USERNAME=" + URLEncode(playerName) + u"&VL_TYPE="
        + URLEncode(area) + u"&VL_REPORT=" + URLEncode(report);
}

QUrl BugReportURL(const QString &version, const QString &playerName, const QString &area,
                  const QString &report)
{
    return DirectoryRequestURL(u"bug_reports.asp"
                               + BugReportQuery(version, playerName, area, report));
}
