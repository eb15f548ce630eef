// Every file the program writes goes through here: put in place whole in one step, or not at all.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <memory>

namespace platform
{

// What a finished write does with a file that already holds its path.
enum class ExistingFile {
    Replace, // the file is replaced
    Keep,    // the write fails and the file stays; so does one that turns up while writing
};

// A file written in pieces into a scratch file beside its path, and put in place whole by
// commit() once the disk has stored every byte. Until then the path is untouched; a write
// that fails, is cancelled or is dropped without commit() leaves no scratch file behind.
// Nothing starts once the program's end has begun; a write under way when it begins is
// finished. Used on one thread.
class AtomicFileWrite
{
public:
    explicit AtomicFileWrite(const QString &path, ExistingFile existing = ExistingFile::Replace);
    ~AtomicFileWrite();
    AtomicFileWrite(const AtomicFileWrite &) = delete;
    AtomicFileWrite &operator=(const AtomicFileWrite &) = delete;

    // False when the scratch file cannot be made, when the program's end has begun, or, with
    // ExistingFile::Keep, when the path is taken already (by a file, a folder or a link).
    bool open();
    // False once any piece failed; the write is then lost and commit() fails.
    bool write(QByteArrayView data);
    // Syncs, checks the close, and puts the file in place. False with the path as it was.
    bool commit();
    // Drops what was written.
    void cancel();
    // Why the last step failed.
    QString errorString() const;

private:
    struct State;
    std::unique_ptr<State> d;
};

// Writes data to path in one piece through AtomicFileWrite. False, with path as it was, when
// any part of the write fails or the program's end has begun; errorText then says why.
bool writeFileAtomically(const QString &path, const QByteArray &data, QString *errorText = nullptr,
                         ExistingFile existing = ExistingFile::Replace);

// Writes data to the scratch file path, reads it back and removes the file again. Where the
// file cannot be written or read, data itself is answered, so whatever an earlier run left
// at path is never read along. A link at path is removed, never followed. Once the program's
// end has begun, data is answered without touching the disk.
QByteArray passThroughScratchFile(const QString &path, const QByteArray &data);

} // namespace platform
