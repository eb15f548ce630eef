// SQLite storage behind the registry calls. Each thread keeps one connection per hive
// open; every call runs in its own transaction, and writers take the write lock up
// front (BEGIN IMMEDIATE) with a busy timeout, so two running instances can share hives.
// Hives keep a write-ahead journal: a reader never waits for a writer and never finds a
// value gone while another connection rewrites it.
#include "platform/core/Registry.h"

#include "platform/core/Text.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QStringList>
#include <QUrl>

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstring>
#include <memory>
#include <unordered_map>
#include <utility>

namespace platform::Registry
{
namespace
{

constexpr qint64 RootId = 1;
constexpr int BusyTimeoutMs = 10000;
constexpr quint32 WriteRights = SetValue | CreateSubKey | CreateLink | Delete | WriteDac | WriteOwner;

const char *const SchemaSql =
    "CREATE TABLE IF NOT EXISTS keys("
    " id INTEGER PRIMARY KEY AUTOINCREMENT, parent INTEGER,"
    " name TEXT NOT NULL, folded TEXT NOT NULL, UNIQUE(parent, folded));"
    "CREATE TABLE IF NOT EXISTS vals("
    " id INTEGER PRIMARY KEY AUTOINCREMENT, key INTEGER NOT NULL,"
    " name TEXT NOT NULL, folded TEXT NOT NULL, type INTEGER NOT NULL, data BLOB NOT NULL,"
    " UNIQUE(key, folded));"
    // Values are listed in the order they were set, one after another.
    "CREATE INDEX IF NOT EXISTS vals_by_key ON vals(key);"
    "INSERT OR IGNORE INTO keys(id, parent, name, folded) VALUES(1, NULL, '', '');";

QString fold(const QString &name)
{
    return name.toCaseFolded();
}

QStringList pathParts(const QString &subKey)
{
    return subKey.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
}

long fromSqlite(int rc)
{
    switch (rc & 0xFF) {
    case SQLITE_OK:
    case SQLITE_DONE:
    case SQLITE_ROW:
        return Success;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return AccessDenied;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return RegistryCorrupt;
    default:
        return RegistryIoFailed;
    }
}

// ---- hive files and their permissions ----

// Permission bits decide, not only access(2): root may write anything, yet a hive the
// administrator marked read-only must behave read-only for every user.
bool allows(const QByteArray &path, const struct stat &st, mode_t anyOf, int mode)
{
    return (st.st_mode & anyOf) != 0 && ::access(path.constData(), mode) == 0;
}

bool folderWritable(const QString &folder)
{
    QString dir = folder;
    for (;;) {
        const QByteArray p = QFile::encodeName(dir);
        struct stat st;
        if (::stat(p.constData(), &st) == 0)
            return S_ISDIR(st.st_mode) && allows(p, st, S_IWUSR | S_IWGRP | S_IWOTH, W_OK | X_OK);
        const QString up = QFileInfo(dir).path();
        if (up == dir)
            return false;
        dir = up;
    }
}

struct HiveState {
    bool exists = false;
    bool readable = false;
    bool writable = false;
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    qint64 modifiedNs = 0;
};

HiveState hiveState(const QString &file)
{
    HiveState s;
    const QByteArray p = QFile::encodeName(file);
    struct stat st;
    if (::stat(p.constData(), &st) != 0) {
        s.readable = true; // a hive never written is an empty hive
        s.writable = folderWritable(QFileInfo(file).path());
        return s;
    }
    s.exists = true;
    s.dev = st.st_dev;
    s.ino = st.st_ino;
    s.size = st.st_size;
    s.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    s.readable = S_ISREG(st.st_mode) && allows(p, st, S_IRUSR | S_IRGRP | S_IROTH, R_OK);
    // The journal files live beside the hive, so its folder must be writable too.
    s.writable = s.readable && allows(p, st, S_IWUSR | S_IWGRP | S_IWOTH, W_OK) &&
                 folderWritable(QFileInfo(file).path());
    return s;
}

bool journalPresent(const QString &file)
{
    struct stat st;
    return ::stat(QFile::encodeName(file + QStringLiteral("-wal")).constData(), &st) == 0;
}

// ---- connections ----

// A prepared statement kept for reuse, and whether a live Statement is using it now.
struct CachedStatement {
    sqlite3_stmt *st = nullptr;
    bool inUse = false;
};

// One open hive. Its prepared statements stay with it for reuse, found by the address of their
// SQL text (always a literal): parsing the SQL anew for every value read or written was most
// of the cost of a big import or export. They go when the connection goes.
struct Connection {
    sqlite3 *db = nullptr;
    QString file;
    dev_t dev = 0;
    ino_t ino = 0;
    bool writable = false;
    // Read as a file that nobody changes: valid only while it stays as it was.
    bool immutable = false;
    off_t size = 0;
    qint64 modifiedNs = 0;
    // Node-based, so a Statement's pointer into it survives statements added meanwhile.
    std::unordered_map<const char *, CachedStatement> statements;

    explicit Connection(sqlite3 *handle) : db(handle) {}
    ~Connection()
    {
        for (const auto &entry : statements) {
            Q_ASSERT(!entry.second.inUse);
            sqlite3_finalize(entry.second.st);
        }
        sqlite3_close_v2(db);
    }
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    bool stillServes(const QString &path, const HiveState &s) const
    {
        if (path != file || !s.exists || dev != s.dev || ino != s.ino || writable != s.writable)
            return false;
        return !immutable || (size == s.size && modifiedNs == s.modifiedNs && !journalPresent(file));
    }
};

struct OpenedKey {
    Key hive = 0; // the predefined root whose hive holds the key
    QString file;
    qint64 id = RootId;
    quint32 granted = 0;
};

// Where the last enumeration of this thread stopped, so the next index continues from there
// instead of counting its way through every earlier row. Valid only while nothing was
// written since, by this connection or another.
struct EnumCursor {
    sqlite3 *db = nullptr;
    qint64 key = 0;
    quint32 index = 0;
    qint64 changes = -1;
    qint64 dataVersion = -1;
    qint64 lastId = 0;     // values: id of the row at index
    QByteArray lastFolded; // subkeys: folded name of the row at index, its bytes as stored
};

constexpr Key FirstHandle = 0x100;
constexpr std::size_t RootCount = DynData - ClassesRoot + 1;

// Everything the registry keeps lives per thread: a second thread (only tests have one) opens
// connections and handles of its own, and a handle is valid on the thread that opened it.
struct ThreadState {
    QHash<Key, OpenedKey> handles;
    Key lastHandle = FirstHandle;

    // One connection per hive: one to a file that is no longer the hive's (the registry folder
    // moved, the file was replaced) is closed when the hive is next reached.
    std::array<std::unique_ptr<Connection>, RootCount> hives;
    // Stands in for every hive that has no file yet.
    std::unique_ptr<Connection> empty;

    // How many Batch objects live, and the connections whose batch transaction is open.
    int batchDepth = 0;
    QList<sqlite3 *> batchConnections;
    // The first failure that lost writes of the live batches, Success while there is none.
    long batchFailure = Success;

    EnumCursor valueCursor;
    EnumCursor keyCursor;
};

thread_local ThreadState t;

void batchLost(long failure)
{
    if (t.batchFailure == Success)
        t.batchFailure = failure;
}

// Closes the hive's connection, and forgets what this thread knew about it.
void closeHive(std::unique_ptr<Connection> &hive)
{
    if (!hive)
        return;
    // Closed with the batch's transaction open, its writes are rolled back.
    if (t.batchConnections.removeAll(hive->db) > 0)
        batchLost(RegistryIoFailed);
    for (EnumCursor *c : {&t.valueCursor, &t.keyCursor}) {
        if (c->db == hive->db)
            *c = EnumCursor();
    }
    hive.reset();
}

// SQLITE_ROW when the file holds a hive's tables (and, asked for the whole schema, the index
// that came last), SQLITE_DONE when it does not, or the error that kept it from being read.
int schemaState(sqlite3 *db, bool whole = false)
{
    sqlite3_stmt *st = nullptr;
    int rc =
        sqlite3_prepare_v2(db,
                           whole ? "SELECT 1 FROM sqlite_master WHERE type='index' AND name='vals_by_key'"
                                 : "SELECT 1 FROM sqlite_master WHERE type='table' AND name='vals'",
                           -1, &st, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_step(st);
    sqlite3_finalize(st);
    return rc;
}

// A file system without the shared memory the write-ahead journal needs keeps the rollback
// journal: commits are just as safe there, only readers wait for writers.
void useWriteAheadJournal(sqlite3 *db)
{
    sqlite3_exec(db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
}

// Opens a hive this process may not write. Even a reader of a hive in the write-ahead journal
// needs the journal's files beside it; where they are missing and the folder cannot take them,
// the hive file holds every commit, and is read as a file that nobody changes.
int openForReading(const QString &file, sqlite3 **db, bool *immutable)
{
    *immutable = false;
    const auto open = [db](const char *name, int flags) {
        int rc = sqlite3_open_v2(name, db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX | flags, nullptr);
        if (rc == SQLITE_OK) {
            sqlite3_busy_timeout(*db, BusyTimeoutMs);
            rc = schemaState(*db);
        }
        return rc;
    };
    int rc = open(QFile::encodeName(file).constData(), 0);
    const int primary = rc & 0xFF;
    if ((primary != SQLITE_CANTOPEN && primary != SQLITE_READONLY) || journalPresent(file))
        return rc;
    sqlite3_close_v2(*db);
    *db = nullptr;
    const QByteArray uri = QUrl::fromLocalFile(file).toEncoded() + "?immutable=1";
    rc = open(uri.constData(), SQLITE_OPEN_URI);
    *immutable = true;
    return rc;
}

long initSchema(sqlite3 *db)
{
    char *err = nullptr;
    int rc = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK) {
        rc = sqlite3_exec(db, SchemaSql, nullptr, nullptr, &err);
        sqlite3_free(err);
        if (rc == SQLITE_OK)
            rc = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK)
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    return fromSqlite(rc);
}

// A hive that has no file yet reads as a hive holding only its root key.
Connection *emptyHive()
{
    if (!t.empty) {
        sqlite3 *db = nullptr;
        if (sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) !=
                SQLITE_OK ||
            sqlite3_exec(db, SchemaSql, nullptr, nullptr, nullptr) != SQLITE_OK) {
            sqlite3_close_v2(db);
            return nullptr;
        }
        t.empty = std::make_unique<Connection>(db);
    }
    return t.empty.get();
}

long connect(const OpenedKey &k, bool forWrite, Connection **out)
{
    *out = nullptr;
    const QString &file = k.file;
    if (file.isEmpty() || k.hive < ClassesRoot || k.hive > DynData)
        return InvalidHandle;
    HiveState s = hiveState(file);
    if (!s.readable || (forWrite && !s.writable))
        return AccessDenied;
    if (!s.exists && !forWrite) {
        *out = emptyHive();
        return *out ? Success : RegistryIoFailed;
    }

    std::unique_ptr<Connection> &hive = t.hives[k.hive - ClassesRoot];
    if (hive && hive->stillServes(file, s)) {
        *out = hive.get();
        return Success;
    }
    closeHive(hive);

    if (!s.exists && !QDir().mkpath(QFileInfo(file).path()))
        return AccessDenied;
    sqlite3 *db = nullptr;
    bool immutable = false;
    if (s.writable) {
        const int rc =
            sqlite3_open_v2(QFile::encodeName(file).constData(), &db,
                            SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
        if (rc != SQLITE_OK) {
            sqlite3_close_v2(db);
            return fromSqlite(rc) == Success ? RegistryIoFailed : fromSqlite(rc);
        }
        sqlite3_busy_timeout(db, BusyTimeoutMs);
        useWriteAheadJournal(db);
        // Made once: a connection that only reads never has to wait for the write lock.
        if (schemaState(db, true) != SQLITE_ROW) {
            const long r = initSchema(db);
            if (r != Success) {
                sqlite3_close_v2(db);
                return r;
            }
        }
    } else {
        // What cannot be read as a hive (a file of another program, a damaged one) reads empty.
        if (openForReading(file, &db, &immutable) != SQLITE_ROW) {
            sqlite3_close_v2(db);
            *out = emptyHive();
            return *out ? Success : RegistryIoFailed;
        }
    }
    s = hiveState(file); // the file may have just been created
    hive = std::make_unique<Connection>(db);
    hive->file = file;
    hive->dev = s.dev;
    hive->ino = s.ino;
    hive->writable = s.writable;
    hive->immutable = immutable;
    hive->size = s.size;
    hive->modifiedNs = s.modifiedNs;
    *out = hive.get();
    return Success;
}

// ---- statements and transactions ----

class Statement
{
public:
    // sql is a string literal: its address names the statement in the connection's cache.
    Statement(Connection &c, const char *sql)
    {
        CachedStatement &cached = c.statements[sql];
        if (cached.inUse) {
            // The same statement twice at once: the second is made for the occasion.
            m_rc = sqlite3_prepare_v2(c.db, sql, -1, &m_st, nullptr);
            return;
        }
        if (!cached.st)
            m_rc = sqlite3_prepare_v3(c.db, sql, -1, SQLITE_PREPARE_PERSISTENT, &cached.st, nullptr);
        if (cached.st) {
            cached.inUse = true;
            m_cached = &cached;
            m_st = cached.st;
        }
    }
    ~Statement()
    {
        if (!m_cached) {
            sqlite3_finalize(m_st);
            return;
        }
        sqlite3_reset(m_st);
        sqlite3_clear_bindings(m_st);
        m_cached->inUse = false;
    }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    Statement &bind(int i, qint64 v)
    {
        if (m_rc == SQLITE_OK)
            m_rc = sqlite3_bind_int64(m_st, i, v);
        return *this;
    }
    Statement &bind(int i, const QString &v)
    {
        const QByteArray u = v.toUtf8();
        if (m_rc == SQLITE_OK)
            m_rc = sqlite3_bind_text(m_st, i, u.constData(), int(u.size()), SQLITE_TRANSIENT);
        return *this;
    }
    // Text given as its UTF-8 bytes, compared with text columns as they are stored.
    Statement &bindText(int i, const QByteArray &utf8)
    {
        if (m_rc == SQLITE_OK)
            m_rc = sqlite3_bind_text(m_st, i, utf8.isEmpty() ? "" : utf8.constData(), int(utf8.size()),
                                     SQLITE_TRANSIENT);
        return *this;
    }
    Statement &bind(int i, const QByteArray &v)
    {
        if (m_rc == SQLITE_OK)
            m_rc =
                sqlite3_bind_blob(m_st, i, v.isEmpty() ? "" : v.constData(), int(v.size()), SQLITE_TRANSIENT);
        return *this;
    }
    // SQLITE_ROW, SQLITE_DONE or an error code.
    int step()
    {
        if (m_rc != SQLITE_OK)
            return m_rc;
        return sqlite3_step(m_st);
    }
    qint64 integer(int col) const { return sqlite3_column_int64(m_st, col); }
    // The UTF-8 bytes of a text column as stored.
    QByteArray textBytes(int col) const
    {
        const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(m_st, col));
        return QByteArray(p, p ? sqlite3_column_bytes(m_st, col) : 0);
    }
    QString text(int col) const { return platform::textOfUtf8(textBytes(col)); }
    QByteArray blob(int col) const
    {
        const void *p = sqlite3_column_blob(m_st, col);
        return QByteArray(static_cast<const char *>(p), p ? sqlite3_column_bytes(m_st, col) : 0);
    }

private:
    CachedStatement *m_cached = nullptr;
    sqlite3_stmt *m_st = nullptr;
    int m_rc = SQLITE_OK;
};

class Transaction
{
public:
    Transaction(sqlite3 *db, bool write) : m_db(db)
    {
        m_rc = sqlite3_exec(db, write ? "BEGIN IMMEDIATE" : "BEGIN", nullptr, nullptr, nullptr);
    }
    ~Transaction()
    {
        if (m_rc == SQLITE_OK && !m_done)
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    long begun() const { return fromSqlite(m_rc); }
    long commit()
    {
        m_done = true;
        const int rc = sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK)
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        return fromSqlite(rc);
    }

private:
    sqlite3 *m_db;
    int m_rc;
    bool m_done = false;
};

// ---- key lookups (inside a transaction) ----

// Success when the key row still exists, KeyDeleted when another call removed it.
long keyAlive(Connection &c, qint64 id)
{
    Statement q(c, "SELECT 1 FROM keys WHERE id=?");
    const int rc = q.bind(1, id).step();
    if (rc == SQLITE_ROW)
        return Success;
    return rc == SQLITE_DONE ? KeyDeleted : fromSqlite(rc);
}

long childId(Connection &c, qint64 parent, const QString &name, qint64 *id)
{
    Statement q(c, "SELECT id FROM keys WHERE parent=? AND folded=?");
    const int rc = q.bind(1, parent).bind(2, fold(name)).step();
    if (rc == SQLITE_ROW) {
        *id = q.integer(0);
        return Success;
    }
    return rc == SQLITE_DONE ? FileNotFound : fromSqlite(rc);
}

// Walks the path from `from`; *walked = number of levels found, *id = the last one found.
long walk(Connection &c, qint64 from, const QStringList &parts, qint64 *id, qsizetype *walked)
{
    *id = from;
    *walked = 0;
    for (const QString &part : parts) {
        qint64 next = 0;
        const long r = childId(c, *id, part, &next);
        if (r != Success)
            return r;
        *id = next;
        ++*walked;
    }
    return Success;
}

// ---- handles ----

bool isPredefined(Key key)
{
    return key >= ClassesRoot && key <= DynData;
}

Key newHandle(const OpenedKey &k)
{
    do {
        t.lastHandle += 4;
        if (t.lastHandle >= ClassesRoot || t.lastHandle < FirstHandle)
            t.lastHandle = FirstHandle + 4;
    } while (t.handles.contains(t.lastHandle));
    t.handles.insert(t.lastHandle, k);
    return t.lastHandle;
}

long resolve(Key key, OpenedKey *out)
{
    if (isPredefined(key)) {
        out->hive = key;
        out->file = hiveFilePath(key);
        out->id = RootId;
        out->granted = AllAccess;
        return out->file.isEmpty() ? InvalidHandle : Success;
    }
    const auto it = t.handles.constFind(key);
    if (it == t.handles.cend())
        return InvalidHandle;
    *out = *it;
    return Success;
}

// Rights a new handle receives; AccessDenied when write rights meet a read-only hive.
long grant(const QString &file, quint32 access, quint32 *granted)
{
    const bool writable = hiveState(file).writable;
    if (access & MaximumAllowed) {
        *granted = writable ? quint32(AllAccess) : quint32(KeyRead);
        return Success;
    }
    if ((access & WriteRights) && !writable)
        return AccessDenied;
    *granted = access;
    return Success;
}

// Runs body(connection, key) in a transaction on the key's hive once the handle is known,
// holds the rights asked for and its key still exists. A write transaction is committed only
// when body succeeds.
template <typename Body> long withKey(Key key, quint32 needed, bool write, Body body)
{
    OpenedKey k;
    long r = resolve(key, &k);
    if (r != Success)
        return r;
    if ((k.granted & needed) != needed)
        return AccessDenied;
    Connection *c = nullptr;
    if ((r = connect(k, write, &c)) != Success)
        return r;
    sqlite3 *const db = c->db;
    if (write && t.batchDepth > 0 && sqlite3_get_autocommit(db)) {
        // SQLite ends a transaction by itself after some errors (a full or failing disk): the
        // batch's writes on this hive so far are gone.
        if (t.batchConnections.contains(db))
            batchLost(RegistryIoFailed);
        if ((r = fromSqlite(sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr))) != Success)
            return r;
        if (!t.batchConnections.contains(db))
            t.batchConnections.append(db);
    }
    if (!sqlite3_get_autocommit(db)) {
        // Inside the batch's transaction: a savepoint undoes a failed call on its own.
        if ((r = fromSqlite(sqlite3_exec(db, "SAVEPOINT call", nullptr, nullptr, nullptr))) != Success)
            return r;
        if ((r = keyAlive(*c, k.id)) == Success)
            r = body(*c, k);
        if (r != Success)
            sqlite3_exec(db, "ROLLBACK TO call", nullptr, nullptr, nullptr);
        sqlite3_exec(db, "RELEASE call", nullptr, nullptr, nullptr);
        return r;
    }
    Transaction tx(db, write);
    if ((r = tx.begun()) != Success)
        return r;
    if ((r = keyAlive(*c, k.id)) != Success)
        return r;
    if ((r = body(*c, k)) != Success)
        return r;
    return write ? tx.commit() : Success;
}

// Changes whenever any connection, this one included, commits to the hive.
qint64 dataVersion(sqlite3 *db)
{
    unsigned int version = 0;
    if (sqlite3_file_control(db, "main", SQLITE_FCNTL_DATA_VERSION, &version) != SQLITE_OK)
        return -1;
    return version;
}

bool continues(const EnumCursor &c, sqlite3 *db, qint64 key, quint32 index)
{
    return index > 0 && c.db == db && c.key == key && c.index + 1 == index &&
           c.changes == sqlite3_total_changes64(db) && c.dataVersion >= 0 && c.dataVersion == dataVersion(db);
}

void remember(EnumCursor &c, sqlite3 *db, qint64 key, quint32 index)
{
    c.db = db;
    c.key = key;
    c.index = index;
    c.changes = sqlite3_total_changes64(db);
    c.dataVersion = dataVersion(db);
}

// SQLITE_DONE as Success, anything else as its registry code.
long done(int rc)
{
    return rc == SQLITE_DONE ? Success : fromSqlite(rc);
}

long copyOut(const QByteArray &bytes, char *buffer, quint32 *size, bool withNul)
{
    const quint32 needed = quint32(bytes.size()) + (withNul ? 1 : 0);
    if (*size < needed) {
        *size = needed;
        return MoreData;
    }
    if (!bytes.isEmpty())
        std::memcpy(buffer, bytes.constData(), size_t(bytes.size()));
    if (withNul)
        buffer[bytes.size()] = '\0';
    *size = withNul ? quint32(bytes.size()) : needed;
    return Success;
}

} // namespace

QString registryDirectory()
{
    const QString dir = qEnvironmentVariable("CHANNELDECK_REGISTRY_DIR");
    if (!dir.isEmpty())
        return QDir::cleanPath(dir);
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (data.isEmpty() || QDir::isRelativePath(data))
        data = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(data + QStringLiteral("/ChannelDeck/registry"));
}

QString hiveFilePath(Key root)
{
    const char *name = nullptr;
    switch (root) {
    case ClassesRoot:
        name = "HKEY_CLASSES_ROOT";
        break;
    case CurrentUser:
        name = "HKEY_CURRENT_USER";
        break;
    case LocalMachine:
        name = "HKEY_LOCAL_MACHINE";
        break;
    case Users:
        name = "HKEY_USERS";
        break;
    case CurrentConfig:
        name = "HKEY_CURRENT_CONFIG";
        break;
    default:
        return QString();
    }
    return registryDirectory() + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".db");
}

long openKey(Key parent, const QString &subKey, quint32 access, Key *result)
{
    if (!result)
        return InvalidParameter;
    *result = 0;
    OpenedKey found;
    long r = withKey(parent, 0, false, [&](Connection &c, const OpenedKey &k) {
        found = k;
        qsizetype walked = 0;
        return walk(c, k.id, pathParts(subKey), &found.id, &walked);
    });
    if (r == Success && (r = grant(found.file, access, &found.granted)) == Success)
        *result = newHandle(found);
    return r;
}

long createKey(Key parent, const QString &subKey, quint32 access, Key *result, quint32 *disposition)
{
    if (!result)
        return InvalidParameter;
    *result = 0;
    const QStringList parts = pathParts(subKey);
    OpenedKey found;
    qsizetype walked = 0;
    const auto walkPath = [&](Connection &c, const OpenedKey &k) {
        found = k;
        const long w = walk(c, k.id, parts, &found.id, &walked);
        return w == FileNotFound ? Success : w;
    };
    long r = withKey(parent, 0, false, walkPath);
    if (r != Success)
        return r;
    quint32 created = OpenedExistingKey;
    if (walked < parts.size()) {
        // Walked again under the write lock: another process may have made part of the path.
        r = withKey(parent, CreateSubKey, true, [&](Connection &c, const OpenedKey &k) {
            long w = walkPath(c, k);
            for (qsizetype i = walked; w == Success && i < parts.size(); ++i) {
                Statement ins(c, "INSERT INTO keys(parent, name, folded) VALUES(?, ?, ?)");
                w = done(ins.bind(1, found.id).bind(2, parts[i]).bind(3, fold(parts[i])).step());
                found.id = sqlite3_last_insert_rowid(c.db);
                created = CreatedNewKey;
            }
            return w;
        });
        if (r != Success)
            return r;
    }
    if ((r = grant(found.file, access, &found.granted)) != Success)
        return r;
    *result = newHandle(found);
    if (disposition)
        *disposition = created;
    return Success;
}

long closeKey(Key key)
{
    if (isPredefined(key))
        return Success;
    return t.handles.remove(key) ? Success : InvalidHandle;
}

Batch::Batch()
{
    ++t.batchDepth;
}

Batch::~Batch()
{
    finish();
}

long Batch::finish()
{
    if (std::exchange(m_finished, true) || --t.batchDepth > 0)
        return Success;
    long result = std::exchange(t.batchFailure, long(Success));
    for (sqlite3 *db : std::exchange(t.batchConnections, {})) {
        const int rc = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) {
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            if (result == Success)
                result = fromSqlite(rc) == Success ? long(RegistryIoFailed) : fromSqlite(rc);
        }
    }
    return result;
}

qsizetype openHandleCount()
{
    return t.handles.size();
}

long queryValue(Key key, const QString &name, quint32 *type, char *data, quint32 *size)
{
    if (data && !size)
        return InvalidParameter;
    QByteArray bytes;
    const long r = readValue(key, name, type, &bytes);
    if (r != Success)
        return r;
    if (data)
        return copyOut(bytes, data, size, false);
    if (size)
        *size = quint32(bytes.size());
    return Success;
}

long readValue(Key key, const QString &name, quint32 *type, QByteArray *data)
{
    return withKey(key, QueryValue, false, [&](Connection &c, const OpenedKey &k) {
        Statement q(c, "SELECT type, data FROM vals WHERE key=? AND folded=?");
        const int rc = q.bind(1, k.id).bind(2, fold(name)).step();
        if (rc != SQLITE_ROW)
            return rc == SQLITE_DONE ? long(FileNotFound) : fromSqlite(rc);
        if (type)
            *type = quint32(q.integer(0));
        if (data)
            *data = q.blob(1);
        return long(Success);
    });
}

long setValue(Key key, const QString &name, quint32 type, const QByteArray &data)
{
    return withKey(key, SetValue, true, [&](Connection &c, const OpenedKey &k) {
        Statement up(c, "INSERT INTO vals(key, name, folded, type, data) VALUES(?, ?, ?, ?, ?)"
                        " ON CONFLICT(key, folded) DO UPDATE SET type=excluded.type, data=excluded.data");
        return done(
            up.bind(1, k.id).bind(2, name).bind(3, fold(name)).bind(4, qint64(type)).bind(5, data).step());
    });
}

long deleteValue(Key key, const QString &name)
{
    return withKey(key, SetValue, true, [&](Connection &c, const OpenedKey &k) {
        Statement del(c, "DELETE FROM vals WHERE key=? AND folded=?");
        const long r = done(del.bind(1, k.id).bind(2, fold(name)).step());
        return r == Success && sqlite3_changes(c.db) == 0 ? long(FileNotFound) : r;
    });
}

long deleteKey(Key key, const QString &subKey)
{
    const QStringList parts = pathParts(subKey);
    return withKey(key, parts.isEmpty() ? quint32(Delete) : 0u, true, [&](Connection &c, const OpenedKey &k) {
        qint64 id = 0;
        qsizetype walked = 0;
        long r = walk(c, k.id, parts, &id, &walked);
        if (r != Success)
            return r;
        if (id == RootId)
            return long(AccessDenied);
        Statement children(c, "SELECT 1 FROM keys WHERE parent=? LIMIT 1");
        const int rc = children.bind(1, id).step();
        if (rc == SQLITE_ROW)
            return long(AccessDenied);
        if ((r = done(rc)) != Success)
            return r;
        Statement delValues(c, "DELETE FROM vals WHERE key=?");
        if ((r = done(delValues.bind(1, id).step())) != Success)
            return r;
        Statement delKey(c, "DELETE FROM keys WHERE id=?");
        return done(delKey.bind(1, id).step());
    });
}

long enumKey(Key key, quint32 index, char *name, quint32 *nameSize)
{
    if (!name || !nameSize)
        return InvalidParameter;
    return withKey(key, EnumerateSubKeys, false, [&](Connection &c, const OpenedKey &k) {
        const bool next = continues(t.keyCursor, c.db, k.id, index);
        Statement q(c,
                    next ? "SELECT name, folded FROM keys WHERE parent=? AND folded>? ORDER BY folded LIMIT 1"
                         : "SELECT name, folded FROM keys WHERE parent=? ORDER BY folded LIMIT 1 OFFSET ?");
        q.bind(1, k.id);
        // The cursor goes on from the bytes of the last name as stored: a name that changed on
        // its way through a decode could sort before itself and be found again and again.
        const int rc = next ? q.bindText(2, t.keyCursor.lastFolded).step() : q.bind(2, qint64(index)).step();
        if (rc != SQLITE_ROW)
            return rc == SQLITE_DONE ? long(NoMoreItems) : fromSqlite(rc);
        remember(t.keyCursor, c.db, k.id, index);
        t.keyCursor.lastFolded = q.textBytes(1);
        return copyOut(q.textBytes(0), name, nameSize, true);
    });
}

long enumValue(Key key, quint32 index, char *name, quint32 *nameSize, quint32 *type, char *data,
               quint32 *dataSize)
{
    if (!name || !nameSize || (data && !dataSize))
        return InvalidParameter;
    return withKey(key, QueryValue, false, [&](Connection &c, const OpenedKey &k) {
        const bool next = continues(t.valueCursor, c.db, k.id, index);
        Statement q(c,
                    next ? "SELECT name, type, data, id FROM vals WHERE key=? AND id>? ORDER BY id LIMIT 1"
                         : "SELECT name, type, data, id FROM vals WHERE key=? ORDER BY id LIMIT 1 OFFSET ?");
        const int rc = q.bind(1, k.id).bind(2, next ? t.valueCursor.lastId : qint64(index)).step();
        if (rc != SQLITE_ROW)
            return rc == SQLITE_DONE ? long(NoMoreItems) : fromSqlite(rc);
        remember(t.valueCursor, c.db, k.id, index);
        t.valueCursor.lastId = q.integer(3);
        const long r = copyOut(q.textBytes(0), name, nameSize, true);
        if (r != Success)
            return r;
        if (type)
            *type = quint32(q.integer(1));
        const QByteArray bytes = q.blob(2);
        if (data)
            return copyOut(bytes, data, dataSize, false);
        if (dataSize)
            *dataSize = quint32(bytes.size());
        return long(Success);
    });
}

} // namespace platform::Registry
