#include "services/modSaveFile.h"

#include "platform/core/FileWrite.h"
#include "platform/ui/MsgBox.h"

#include <QFileInfo>

bool SaveFileOrTell(const QString &path, const QByteArray &data,
                    const std::function<QString(bool oldFileKept, const QString &error)> &message)
{
    // Asked before the write: only a file that was there can have been kept.
    const bool hadFile = QFileInfo(path).isFile();
    QString error;
    if (platform::writeFileAtomically(path, data, &error))
        return true;
    MsgBox(message(hadFile, error), vbExclamation);
    return false;
}

bool SaveFileOrTell(const QString &path, const QByteArray &data, const QString &what)
{
    return SaveFileOrTell(path, data, [&](bool oldFileKept, const QString &error) {
        return what + QStringLiteral(" could not be saved to ") + path + QStringLiteral(" (") + error +
               (oldFileKept ? QStringLiteral("), so the previous file has been kept.")
                            : QStringLiteral(")."));
    });
}
