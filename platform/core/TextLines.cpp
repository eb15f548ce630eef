#include "platform/core/TextLines.h"

#include <QFile>

namespace platform
{

QList<QByteArray> splitLines(const QByteArray &text, LineEnds ends)
{
    QList<QByteArray> lines;
    forEachLine(text, ends, [&](QByteArrayView line) { lines.append(line.toByteArray()); });
    return lines;
}

std::optional<QByteArray> readWholeFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return content;
}

std::optional<QList<QByteArray>> readLines(const QString &path, LineEnds ends)
{
    const std::optional<QByteArray> content = readWholeFile(path);
    if (!content)
        return std::nullopt;
    return splitLines(*content, ends);
}

QByteArray joinLines(const QList<QByteArray> &lines)
{
    QByteArray out;
    for (const QByteArray &line : lines)
        out += line + "\r\n";
    return out;
}

} // namespace platform
