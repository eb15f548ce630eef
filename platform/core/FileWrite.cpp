#include "platform/core/FileWrite.h"

#include <QFile>
#include <QSaveFile>

namespace platform
{

bool writeFileAtomically(const QString &path, const QByteArray &data, QString *errorText)
{
    QSaveFile file(path);
    const auto fail = [&file, errorText] {
        if (errorText)
            *errorText = file.errorString();
        return false;
    };
    if (!file.open(QIODevice::WriteOnly))
        return fail();
    // commit() flushes the buffer too, but drops an error of that last write and would put a
    // cut-short file in place; a write that stays in the buffer fails only here.
    if (file.write(data) != data.size() || !file.flush()) {
        fail();
        file.cancelWriting();
        return false;
    }
    if (!file.commit())
        return fail();
    return true;
}

QByteArray passThroughScratchFile(const QString &path, const QByteArray &data)
{
    QByteArray text = data;
    if (writeFileAtomically(path, data)) {
        QFile scratch(path);
        if (scratch.open(QIODevice::ReadOnly)) {
            const QByteArray read = scratch.readAll();
            if (scratch.error() == QFileDevice::NoError)
                text = read;
        }
    }
    QFile::remove(path);
    return text;
}

} // namespace platform
