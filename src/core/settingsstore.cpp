#include "settingsstore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QMap>
#include <QSaveFile>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif
#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace Qt::StringLiterals;

namespace store {

namespace {

constexpr auto kFormat = "velkor-settings";
constexpr int kFormatVersion = 1;
// Long enough for another process's save, short enough that a window
// waiting on a lock it will never get answers at once.
int g_lockWaitMs = 1000;
constexpr qint64 kMaxFileSize = 16 * 1024 * 1024;

// Removes separators at both ends; an empty result is not a key.
QString normalised(const QString &path)
{
    qsizetype first = 0;
    qsizetype last = path.size();
    while (first < last && path.at(first) == u'\\')
        ++first;
    while (last > first && path.at(last - 1) == u'\\')
        --last;
    return path.mid(first, last - first);
}

QString fold(const QString &name)
{
    return name.toCaseFolded();
}

} // namespace

struct NamedValue
{
    QString name;
    Value value;
};

struct KeyNode
{
    QString path;
    QMap<QString, NamedValue> values; // by folded name
};

struct Tree
{
    QMap<QString, KeyNode> keys; // by folded path

    KeyNode *find(const QString &path)
    {
        auto it = keys.find(fold(path));
        return it == keys.end() ? nullptr : &it.value();
    }

    bool hasSubkeys(const QString &path) const
    {
        const QString prefix = fold(path) + u'\\';
        auto it = keys.lowerBound(prefix);
        return it != keys.end() && it.key().startsWith(prefix);
    }

    // Creates the key and every key above it, as the registry does.
    void create(const QString &path)
    {
        const QStringList parts = path.split(u'\\');
        QString current;
        for (const QString &part : parts) {
            current = current.isEmpty() ? part : current + u'\\' + part;
            const QString folded = fold(current);
            if (!keys.contains(folded))
                keys.insert(folded, KeyNode { current, {} });
        }
    }

    QByteArray serialise() const
    {
        QJsonArray keyArray;
        for (const KeyNode &key : keys) {
            QJsonArray valueArray;
            for (const NamedValue &named : key.values) {
                QJsonObject v { { u"name"_s, named.name }, { u"type"_s, int(named.value.type) } };
                if (named.value.type == Type::Number)
                    v.insert(u"data"_s, named.value.number);
                else
                    v.insert(u"data"_s, named.value.text);
                valueArray.append(v);
            }
            keyArray.append(QJsonObject { { u"path"_s, key.path }, { u"values"_s, valueArray } });
        }
        const QJsonObject root { { u"format"_s, QString::fromLatin1(kFormat) },
                                 { u"version"_s, kFormatVersion },
                                 { u"keys"_s, keyArray } };
        return QJsonDocument(root).toJson(QJsonDocument::Indented);
    }

    static std::optional<Tree> parse(const QByteArray &bytes)
    {
        QJsonParseError error {};
        const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
        if (error.error != QJsonParseError::NoError || !doc.isObject())
            return std::nullopt;
        const QJsonObject root = doc.object();
        if (root.value(u"format").toString() != QLatin1String(kFormat)
            || root.value(u"version").toInt(-1) != kFormatVersion || !root.value(u"keys").isArray())
            return std::nullopt;

        Tree tree;
        for (const QJsonValue &keyValue : root.value(u"keys").toArray()) {
            const QJsonObject key = keyValue.toObject();
            const QString path = normalised(key.value(u"path").toString());
            if (path.isEmpty() || !key.value(u"values").isArray())
                return std::nullopt;
            tree.create(path);
            KeyNode *node = tree.find(path);
            for (const QJsonValue &entry : key.value(u"values").toArray()) {
                const QJsonObject v = entry.toObject();
                const QJsonValue name = v.value(u"name");
                const QJsonValue data = v.value(u"data");
                const int type = v.value(u"type").toInt(-1);
                NamedValue named { name.toString(), {} };
                if (!name.isString())
                    return std::nullopt;
                if (type == int(Type::Text) && data.isString()) {
                    named.value = Value { Type::Text, data.toString(), 0 };
                } else if (type == int(Type::Number) && data.isDouble()) {
                    const double d = data.toDouble();
                    if (d < INT32_MIN || d > INT32_MAX)
                        return std::nullopt;
                    named.value = Value { Type::Number, {}, qint32(d) };
                } else {
                    return std::nullopt;
                }
                node->values.insert(fold(named.name), named);
            }
        }
        return tree;
    }
};

FileBackend::FileBackend(QString path)
    : m_path { std::move(path) }
{
}

FileBackend::~FileBackend() = default;

FileBackend::Stamp FileBackend::stamp() const
{
    Stamp result;
#ifdef Q_OS_UNIX
    struct stat info
    {
    };
    if (::stat(QFile::encodeName(m_path).constData(), &info) != 0)
        return result;
    result.exists = true;
    result.size = qint64(info.st_size);
    result.modified = qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    result.changed = qint64(info.st_ctim.tv_sec) * 1000000000 + info.st_ctim.tv_nsec;
    result.inode = quint64(info.st_ino);
#else
    const QFileInfo info(m_path);
    if (!info.exists())
        return result;
    result.exists = true;
    result.size = info.size();
    result.modified = info.lastModified().toMSecsSinceEpoch();
    result.changed = info.metadataChangeTime().toMSecsSinceEpoch();
#endif
    return result;
}

// Called with the lock held, right after the tree was saved or read under
// it, so that no other process can have replaced the file in between.
void FileBackend::remember(const Tree &tree)
{
    m_cacheStamp = stamp();
    m_cache = std::make_unique<Tree>(tree);
    m_cacheValid = true;
}

const Tree *FileBackend::current()
{
    // A file that keeps changing under us is read at most a few times.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const Stamp before = stamp();
        if (m_cacheValid && before == m_cacheStamp)
            return m_cache.get();
        auto tree = std::make_unique<Tree>();
        const Load loaded = load(*tree);
        if (loaded != Load::Unreadable) {
            m_cache = std::move(tree);
            m_cacheStamp = before;
            m_cacheValid = true;
            return m_cache.get();
        }
        modify([](Tree &) { return long(FileNotFound); }); // sets it aside
        if (stamp() == before) {
            // Still in place: it could be neither read nor moved away (a
            // folder that cannot be written, or its lock never freed).
            // Nothing may be written over it; say so once.
            if (!m_stuckReported) {
                m_stuckReported = true;
                m_notice = QStringLiteral("Your Velkor settings file could not be read or set "
                                          "aside. It is \"%1\". Velkor cannot keep any settings "
                                          "until that file is moved or its folder can be "
                                          "written.")
                               .arg(QDir::toNativeSeparators(m_path));
            }
            m_cache.reset();
            m_cacheStamp = before;
            m_cacheValid = true;
            return nullptr;
        }
    }
    return nullptr;
}

FileBackend::Load FileBackend::load(Tree &tree)
{
    QFile file(m_path);
    if (!file.exists())
        return Load::Missing;
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileSize)
        return Load::Unreadable;
    std::optional<Tree> parsed = Tree::parse(file.readAll());
    if (!parsed)
        return Load::Unreadable;
    tree = std::move(*parsed);
    return Load::Ok;
}

bool FileBackend::save(const Tree &tree)
{
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = tree.serialise();
    if (file.write(bytes) != bytes.size())
        return false;
    return file.commit();
}

// Called with the lock held.
void FileBackend::setAside()
{
    const QString stamp = QDateTime::currentDateTime().toString(u"yyyyMMdd-HHmmss");
    QString aside = m_path + u".unreadable-" + stamp;
    for (int n = 2; QFile::exists(aside); ++n)
        aside = m_path + u".unreadable-" + stamp + u'-' + QString::number(n);
    if (!QFile::rename(m_path, aside))
        return; // leave it where it is rather than lose it
    m_notice = QStringLiteral("Your Velkor settings file could not be read. It has been kept as "
                              "\"%1\" and Velkor has started with fresh settings.")
                   .arg(QDir::toNativeSeparators(aside));
}

template <typename Change> long FileBackend::modify(Change change)
{
    if (m_batchDepth > 0) {
        if (!m_batchTree)
            return AccessDenied; // the batch could not take the lock
        const long status = change(*m_batchTree);
        m_batchDirty = m_batchDirty || status == Success;
        return status;
    }
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QLockFile lock(m_path + u".lock");
    if (!lock.tryLock(g_lockWaitMs))
        return AccessDenied;
    Tree tree;
    if (!loadForChange(tree))
        return AccessDenied;
    const long status = change(tree);
    if (status == Success && !save(tree))
        return AccessDenied;
    if (status == Success)
        remember(tree);
    return status;
}

// Called with the lock held. False when an unreadable file could not be
// moved out of the way: it must never be written over.
bool FileBackend::loadForChange(Tree &tree)
{
    if (load(tree) != Load::Unreadable)
        return true;
    setAside();
    tree = Tree();
    return !QFile::exists(m_path);
}

void FileBackend::beginBatch()
{
    if (m_batchDepth++ > 0)
        return;
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    auto lock = std::make_unique<QLockFile>(m_path + u".lock");
    if (!lock->tryLock(g_lockWaitMs))
        return;
    auto tree = std::make_unique<Tree>();
    if (!loadForChange(*tree))
        return;
    m_batchLock = std::move(lock);
    m_batchTree = std::move(tree);
    m_batchDirty = false;
}

long FileBackend::endBatch()
{
    if (m_batchDepth == 0 || --m_batchDepth > 0)
        return Success;
    long status = Success;
    if (!m_batchTree)
        status = AccessDenied; // the lock was not had: nothing was written
    else if (m_batchDirty && !save(*m_batchTree))
        status = AccessDenied;
    else if (m_batchDirty)
        remember(*m_batchTree);
    m_batchTree.reset();
    m_batchLock.reset();
    return status;
}

long FileBackend::createKey(const QString &path)
{
    const QString key = normalised(path);
    if (key.isEmpty())
        return InvalidParameter;
    return modify([&](Tree &tree) {
        tree.create(key);
        return long(Success);
    });
}

bool FileBackend::keyExists(const QString &path)
{
    if (m_batchTree)
        return m_batchTree->find(normalised(path)) != nullptr;
    const Tree *tree = current();
    return tree && tree->keys.contains(fold(normalised(path)));
}

long FileBackend::setValue(const QString &path, const QString &name, const Value &value)
{
    const QString key = normalised(path);
    return modify([&](Tree &tree) {
        KeyNode *node = tree.find(key);
        if (!node)
            return long(FileNotFound);
        node->values.insert(fold(name), NamedValue { name, value });
        return long(Success);
    });
}

std::optional<Value> FileBackend::value(const QString &path, const QString &name)
{
    const Tree *tree = m_batchTree ? m_batchTree.get() : current();
    if (!tree)
        return std::nullopt;
    const auto key = tree->keys.constFind(fold(normalised(path)));
    if (key == tree->keys.cend())
        return std::nullopt;
    const auto it = key->values.constFind(fold(name));
    if (it == key->values.cend())
        return std::nullopt;
    return it->value;
}

long FileBackend::deleteKey(const QString &path)
{
    const QString key = normalised(path);
    return modify([&](Tree &tree) {
        if (!tree.find(key))
            return long(FileNotFound);
        if (tree.hasSubkeys(key))
            return long(AccessDenied);
        tree.keys.remove(fold(key));
        return long(Success);
    });
}

Batch::Batch()
    : m_backend { backend() }
{
    m_backend.beginBatch();
}

Batch::~Batch()
{
    if (m_open)
        m_backend.endBatch();
}

long Batch::commit()
{
    if (!m_open)
        return Success;
    m_open = false;
    return m_backend.endBatch();
}

int setLockWait(int milliseconds)
{
    return std::exchange(g_lockWaitMs, qMax(0, milliseconds));
}

QString FileBackend::takeRecoveryNotice()
{
    return std::exchange(m_notice, QString());
}

#ifdef Q_OS_WIN
namespace {

class RegistryBackend final : public Backend
{
public:
    long createKey(const QString &path) override
    {
        HKEY key = nullptr;
        const LONG status
            = RegCreateKeyExW(HKEY_CURRENT_USER, wide(path), 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr);
        if (status == ERROR_SUCCESS)
            RegCloseKey(key);
        return status;
    }

    bool keyExists(const QString &path) override
    {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, wide(path), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }

    long setValue(const QString &path, const QString &name, const Value &value) override
    {
        HKEY key = nullptr;
        LONG status = RegOpenKeyExW(HKEY_CURRENT_USER, wide(path), 0, KEY_SET_VALUE, &key);
        if (status != ERROR_SUCCESS)
            return status;
        if (value.type == Type::Number) {
            const DWORD data = DWORD(value.number);
            status = RegSetValueExW(key, wide(name), 0, REG_DWORD,
                                    reinterpret_cast<const BYTE *>(&data), sizeof data);
        } else {
            status = RegSetValueExW(key, wide(name), 0, REG_SZ,
                                    reinterpret_cast<const BYTE *>(wide(value.text)),
                                    DWORD((value.text.size() + 1) * sizeof(wchar_t)));
        }
        RegCloseKey(key);
        return status;
    }

    std::optional<Value> value(const QString &path, const QString &name) override
    {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, wide(path), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
            return std::nullopt;
        DWORD type = 0;
        DWORD size = 0;
        std::optional<Value> result;
        if (RegQueryValueExW(key, wide(name), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
            QByteArray data(qsizetype(size) + 2, '\0');
            if (RegQueryValueExW(key, wide(name), nullptr, &type,
                                 reinterpret_cast<BYTE *>(data.data()), &size)
                == ERROR_SUCCESS) {
                if (type == REG_DWORD && size == sizeof(DWORD)) {
                    qint32 number = 0;
                    memcpy(&number, data.constData(), sizeof number);
                    result = Value { Type::Number, {}, number };
                } else if (type == REG_SZ) {
                    QString text = QString::fromWCharArray(
                        reinterpret_cast<const wchar_t *>(data.constData()),
                        qsizetype(size / sizeof(wchar_t)));
                    if (text.endsWith(QChar(0)))
                        text.chop(1); // the stored terminator
                    result = Value { Type::Text, text, 0 };
                }
            }
        }
        RegCloseKey(key);
        return result;
    }

    long deleteKey(const QString &path) override
    {
        // RegDeleteKeyW refuses keys that still have subkeys.
        return RegDeleteKeyW(HKEY_CURRENT_USER, wide(path));
    }

private:
    static const wchar_t *wide(const QString &text)
    {
        return reinterpret_cast<const wchar_t *>(text.utf16());
    }
};

} // namespace
#endif

namespace {

QString &overridePath()
{
    static QString path;
    return path;
}

std::unique_ptr<FileBackend> &fileBackend()
{
    static std::unique_ptr<FileBackend> instance;
    const QString wanted = filePath();
    if (!instance || instance->path() != wanted)
        instance = std::make_unique<FileBackend>(wanted);
    return instance;
}

} // namespace

QString defaultFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + u"/Tarnwick/Velkor.store";
}

void setFilePath(const QString &path)
{
    overridePath() = path;
}

QString filePath()
{
    return overridePath().isEmpty() ? defaultFilePath() : overridePath();
}

Backend &backend()
{
#ifdef Q_OS_WIN
    if (overridePath().isEmpty()) {
        static RegistryBackend registry;
        return registry;
    }
#endif
    return *fileBackend();
}

QString takeRecoveryNotice()
{
#ifdef Q_OS_WIN
    if (overridePath().isEmpty())
        return {};
#endif
    return fileBackend()->takeRecoveryNotice();
}

} // namespace store
