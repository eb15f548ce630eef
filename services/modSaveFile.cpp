#include "services/modSaveFile.h"

#include "platform/core/FileWrite.h"
#include "platform/ui/MsgBox.h"

#include <QFileInfo>

bool SaveFileOrTell(const QString &path, const QByteArray &data, const QString &what)
{
    // Asked before the write: only a file that was there can have been kept.
    const bool hadFile = QFileInfo(path).isFile();
    QString error;
    if (platform::writeFileAtomically(path, data, &error))
        return true;
    QString text = what + QStringLiteral(" could not be saved to ") + path + QStringLiteral(" (") + error +
                   QLatin1Char(')');
    text += hadFile ? QStringLiteral(", so the previous file has been kept.") : QStringLiteral(".");
    MsgBox(text, vbExclamation);
    return false;
}
