#include "platform/core/TextLines.h"

#include <QFile>

namespace platform
{

QList<QByteArray> splitLines(const QByteArray &text, LineEnds ends)
{
    const bool crEnds = ends != LineEnds::CrLfOrLf;
    const bool lfEnds = ends != LineEnds::CrLfOrCr;
    QList<QByteArray> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        // A CR that ends the text is a CR LF cut short.
        const bool crLf = c == '\r' && (i + 1 == text.size() || text.at(i + 1) == '\n');
        if (!crLf && !(c == '\r' && crEnds) && !(c == '\n' && lfEnds))
            continue;
        lines.append(text.mid(start, i - start));
        if (crLf)
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.append(text.mid(start));
    return lines;
}

std::optional<QList<QByteArray>> readLines(const QString &path, LineEnds ends)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return splitLines(content, ends);
}

QByteArray joinLines(const QList<QByteArray> &lines)
{
    QByteArray out;
    for (const QByteArray &line : lines)
        out += line + "\r\n";
    return out;
}

} // namespace platform
