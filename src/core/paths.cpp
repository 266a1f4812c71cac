#include "paths.h"

#include <QDir>
#include <QFileInfo>

namespace {

qsizetype lastSeparator(const QString &path)
{
    return std::max(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
}

} // namespace

QString GetExeName(const QString &path)
{
    const qsizetype at = lastSeparator(path);
    return at < 0 ? QString() : path.mid(at + 1);
}

QString GetPathOnly(const QString &path)
{
    const qsizetype at = lastSeparator(path);
    return at < 0 ? QString() : path.left(at);
}

QString GetDrive(const QString &path)
{
    const qsizetype colon = path.indexOf(u':');
    if (colon < 0)
        return QStringLiteral("C");
    return colon == 0 ? QString() : path.mid(colon - 1, 1);
}

QString JoinPath(const QString &folder, const QString &name)
{
#ifdef Q_OS_WIN
    constexpr QChar separator = u'\\';
#else
    constexpr QChar separator = u'/';
#endif
    return folder + separator + name;
}

bool FileExists(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

bool FolderExists(const QString &path)
{
    if (path.isEmpty())
        return false;
    return QFileInfo(path).isDir();
}

QString FixName(QString &name)
{
    QChar code[2] = { u'^', u'0' };
    for (char16_t digit = u'0'; digit <= u'9'; ++digit) {
        code[1] = digit;
        name.remove(QString(code, 2));
    }
    return name;
}

QString FixedName(QString name)
{
    return FixName(name);
}
