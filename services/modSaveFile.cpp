#include "services/modSaveFile.h"

#include "platform/core/FileWrite.h"
#include "platform/ui/MsgBox.h"

bool SaveFileOrTell(const QString &path, const QByteArray &data, const QString &what)
{
    QString error;
    if (platform::writeFileAtomically(path, data, &error))
        return true;
    MsgBox(what + QStringLiteral(" could not be saved to ") + path + QStringLiteral(" (") + error +
               QStringLiteral("), so the previous file has been kept."),
           vbExclamation);
    return false;
}
