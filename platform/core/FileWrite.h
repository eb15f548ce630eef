// Every file the program writes goes through here: replaced whole in one step, or left as it was.
#pragma once

#include <QByteArray>
#include <QString>

namespace platform
{

// Replaces path with data in one step (QSaveFile). False, with path untouched and no scratch
// file left beside it, when any part of the write fails or the program's end has begun;
// errorText then says why. A write under way when the end begins is finished.
bool writeFileAtomically(const QString &path, const QByteArray &data, QString *errorText = nullptr);

// Writes data to the scratch file path, reads it back and removes the file again. Where the
// file cannot be written or read, data itself is answered, so whatever an earlier run left
// at path is never read along. A link at path is removed, never followed. Once the program's
// end has begun, data is answered without touching the disk.
QByteArray passThroughScratchFile(const QString &path, const QByteArray &data);

} // namespace platform
