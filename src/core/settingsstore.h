#pragma once

#include <QString>
#include <QtGlobal>

#include <memory>
#include <optional>

class QLockFile;

// The per-user hierarchical key/value store behind the settings. Keys are
// paths of names joined by "\" under the current user's branch; they exist
// apart from their values. Names compare without regard to case, as in the
// Windows registry, and keep the spelling they were created with.
//
// On Windows this is the registry (HKEY_CURRENT_USER). Elsewhere it is one
// file per user in the XDG config folder. Every change of that file is a
// read-modify-write under a lock file with an atomic replace, so that two
// processes of the same user lose neither's values and a crash or a full
// disk leaves the old file or the new one.
namespace store {

enum class Type : int { Text = 1, Number = 4 };

struct Value
{
    Type type = Type::Text;
    QString text; // Type::Text
    qint32 number = 0; // Type::Number
};

// Status codes follow the registry's: 0 is success.
enum Status : long {
    Success = 0,
    FileNotFound = 2, // the key or value does not exist
    AccessDenied = 5, // the store could not be locked or written
    InvalidParameter = 87,
};

class Backend
{
public:
    virtual ~Backend() = default;
    virtual long createKey(const QString &path) = 0;
    [[nodiscard]] virtual bool keyExists(const QString &path) = 0;
    // Writes into an existing key only.
    virtual long setValue(const QString &path, const QString &name, const Value &value) = 0;
    [[nodiscard]] virtual std::optional<Value> value(const QString &path, const QString &name) = 0;
    // Deletes a key that has no subkeys; a missing key is not an error.
    virtual long deleteKey(const QString &path) = 0;
    // Changes between these two calls reach the store together at the end;
    // endBatch tells whether they did (Success when nothing was changed).
    virtual void beginBatch() { }
    virtual long endBatch() { return Success; }
};

// Groups the writes of one operation (first-run defaults, saving the
// options): the file store takes its lock once and saves once, instead of
// once per value. Nests; only the outermost batch saves.
class Batch
{
public:
    Batch();
    ~Batch();
    Batch(const Batch &) = delete;
    Batch &operator=(const Batch &) = delete;

    // Ends the batch now and tells whether its changes reached the store;
    // the outermost batch saves here, a nested one reports Success.
    long commit();

private:
    Backend &m_backend;
    bool m_open = true;
};

// How long a change waits for another process's lock before it fails.
// Returns the wait set before.
int setLockWait(int milliseconds);

// The backend in use: the registry on Windows, else the file store.
Backend &backend();

// The file store of this user: <config>/Tarnwick/Velkor.store.
[[nodiscard]] QString defaultFilePath();

// Points the file store at another file (tests, portable use). An empty
// path returns to the default.
void setFilePath(const QString &path);
[[nodiscard]] QString filePath();

// A store file that could not be read is set aside under another name and
// the store starts empty. The first call after that returns a message for
// the user; later calls return an empty text. A file that could be neither
// read nor set aside is reported the same way, once.
[[nodiscard]] QString takeRecoveryNotice();

struct Tree;
class FileBackend final : public Backend
{
public:
    explicit FileBackend(QString path);
    ~FileBackend() override;

    long createKey(const QString &path) override;
    bool keyExists(const QString &path) override;
    long setValue(const QString &path, const QString &name, const Value &value) override;
    std::optional<Value> value(const QString &path, const QString &name) override;
    long deleteKey(const QString &path) override;
    void beginBatch() override;
    long endBatch() override;

    [[nodiscard]] QString path() const { return m_path; }
    [[nodiscard]] QString takeRecoveryNotice();

private:
    enum class Load { Ok, Missing, Unreadable };
    // What identifies one version of the file: every save replaces it.
    struct Stamp
    {
        bool exists = false;
        qint64 size = 0;
        qint64 modified = 0;
        qint64 changed = 0;
        quint64 inode = 0;
        bool operator==(const Stamp &) const = default;
    };
    [[nodiscard]] Stamp stamp() const;
    Load load(Tree &tree);
    bool save(const Tree &tree);
    // The file's contents as last read or saved, read again when the file
    // has changed since; null when it cannot be read.
    const Tree *current();
    void remember(const Tree &tree);
    // Runs change under the lock on a freshly read tree and saves it when
    // change returns true.
    template <typename Change> long modify(Change change);
    bool loadForChange(Tree &tree);
    void setAside();

    QString m_path;
    QString m_notice;
    bool m_stuckReported = false;
    std::unique_ptr<Tree> m_cache;
    Stamp m_cacheStamp;
    bool m_cacheValid = false;
    int m_batchDepth = 0;
    std::unique_ptr<QLockFile> m_batchLock; // null when the lock was not had
    std::unique_ptr<Tree> m_batchTree;
    bool m_batchDirty = false;
};

} // namespace store
