// Text taken apart into lines and put together again, with the line ends each kind of file uses.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace platform
{

enum class LineEnds {
    CrLfOrLf, // CR LF, or a bare LF from a file edited on this system; a lone CR stays in its
              // line unless it ends the text
    CrLfOrCr, // CR LF, or a bare CR; a lone LF stays in its line
    Any,      // CR LF, a bare CR or a bare LF
};

// The lines of text without their ends. What follows the last end is a line only when it is
// not empty: the end of the last line does not start another.
QList<QByteArray> splitLines(const QByteArray &text, LineEnds ends);

// The lines of the file at path; nullopt when it cannot be read.
std::optional<QList<QByteArray>> readLines(const QString &path, LineEnds ends);

// Every line followed by CR LF.
QByteArray joinLines(const QList<QByteArray> &lines);

} // namespace platform
