// Registry hives kept as SQLite files, reached through calls shaped like the Win32
// registry API: integer key handles, predefined roots, access rights, value types,
// caller-supplied buffers with in/out sizes, and the Win32 result codes.
//
// Every hive (HKCU, HKLM, HKCR, HKUS, HKCC) is one file in registryDirectory(), with its
// write-ahead journal (-wal and -shm files) beside it while it is in use. A hive whose file
// or folder carries no write permission bit, or that this process cannot write, is
// read-only: writes and write-access opens answer AccessDenied. A hive file without any
// read permission bit (or unreadable to this process) answers AccessDenied to every
// call. The permission bits count even for root, so "chmod a-w" works in every setting.
// Key and value names are case-insensitive and keep the case they were created with.
//
// The program calls these from its user-interface thread only, and nothing here is shared
// between threads: each thread has connections, handles and batches of its own, so a handle
// is valid only on the thread that opened it. A second thread (tests have them) opens its own
// keys and sees the hives as another process would.
#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace platform::Registry
{

using Key = quint32;

// Predefined root keys.
constexpr Key ClassesRoot = 0x80000000u;
constexpr Key CurrentUser = 0x80000001u;
constexpr Key LocalMachine = 0x80000002u;
constexpr Key Users = 0x80000003u;
constexpr Key PerformanceData = 0x80000004u; // never opens
constexpr Key CurrentConfig = 0x80000005u;
constexpr Key DynData = 0x80000006u; // never opens

// Result codes (Win32 numbers).
enum Result : long {
    Success = 0,
    FileNotFound = 2,
    AccessDenied = 5,
    InvalidHandle = 6,
    InvalidParameter = 87,
    MoreData = 234,
    NoMoreItems = 259,
    RegistryCorrupt = 1015,
    RegistryIoFailed = 1016,
    KeyDeleted = 1018,
};

// Value types.
enum ValueType : quint32 {
    None = 0,
    String = 1,
    ExpandString = 2,
    Binary = 3,
    DWord = 4,
    DWordBigEndian = 5,
    Link = 6,
    MultiString = 7,
    QWord = 11,
};

// Access rights.
enum Access : quint32 {
    QueryValue = 0x0001,
    SetValue = 0x0002,
    CreateSubKey = 0x0004,
    EnumerateSubKeys = 0x0008,
    Notify = 0x0010,
    CreateLink = 0x0020,
    Delete = 0x00010000,
    ReadControl = 0x00020000,
    WriteDac = 0x00040000,
    WriteOwner = 0x00080000,
    KeyRead = 0x00020019,
    KeyWrite = 0x00020006,
    AllAccess = 0x000F003F,
    // Grants all access on a writable hive and KeyRead on a read-only one.
    MaximumAllowed = 0x02000000,
};

enum Disposition : quint32 {
    CreatedNewKey = 1,
    OpenedExistingKey = 2,
};

// Folder of the hive files: CHANNELDECK_REGISTRY_DIR, else
// $XDG_DATA_HOME/ChannelDeck/registry, else ~/.local/share/ChannelDeck/registry.
QString registryDirectory();
// File of the hive behind a predefined root; empty for a root that has no hive.
QString hiveFilePath(Key root);

// Opens subKey below parent ("\" separates levels, empty opens parent again), creating
// every missing key along the path. The created or opened key gets the access asked for.
long createKey(Key parent, const QString &subKey, quint32 access, Key *result,
               quint32 *disposition = nullptr);
// Opens an existing key; FileNotFound when any level of the path is missing.
long openKey(Key parent, const QString &subKey, quint32 access, Key *result);
// Closing a predefined root succeeds and changes nothing.
long closeKey(Key key);

// Type and data of a value (empty name = the key's default value). With data null only
// type and size are reported. With a buffer of *size bytes that is too small, *size
// receives the size needed and MoreData is returned; the buffer is left unchanged.
long queryValue(Key key, const QString &name, quint32 *type, char *data, quint32 *size);
// Type and whole data of a value in one read: while another process rewrites the value, the
// answer is either the old value or the new one, never the size of one with the other.
long readValue(Key key, const QString &name, quint32 *type, QByteArray *data);
// Stores the bytes as given: a string value's terminating NUL is part of data.
long setValue(Key key, const QString &name, quint32 type, const QByteArray &data);
long deleteValue(Key key, const QString &name);
// Deletes subKey (empty = key itself); refused with AccessDenied while it has subkeys.
long deleteKey(Key key, const QString &subKey);

// Subkeys by index in name order. *nameSize is the buffer size in bytes, NUL included;
// on success the UTF-8 name and a NUL are stored and *nameSize receives the name's
// length without the NUL. A buffer too small gives MoreData and *nameSize receives the
// size needed (NUL included). NoMoreItems past the last subkey.
long enumKey(Key key, quint32 index, char *name, quint32 *nameSize);
// Values by index in the order they were first set. Name as for enumKey; data as for
// queryValue (a data buffer too small gives MoreData after name and type are stored).
long enumValue(Key key, quint32 index, char *name, quint32 *nameSize, quint32 *type, char *data,
               quint32 *dataSize);

// While a Batch lives, the writes of this thread share one transaction per hive, committed
// when the last Batch ends: a bulk import costs one commit, not one per value. Each call
// still succeeds or fails as a whole; other processes wait for the batch's end to write.
class Batch
{
public:
    Batch();
    // Commits as finish() does when finish() was not called.
    ~Batch();
    Batch(const Batch &) = delete;
    Batch &operator=(const Batch &) = delete;

    // Ends the batch. The last batch to end commits: Success when every write made while
    // batches lived is stored, else the first failure, and then none of them is (a commit
    // that fails is rolled back whole). A batch that ends inside another answers Success;
    // the outer one answers for both.
    long finish();

private:
    bool m_finished = false;
};

// Number of handles this thread opened and has not yet closed, so tests can catch leaks.
qsizetype openHandleCount();

} // namespace platform::Registry
