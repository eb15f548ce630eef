// Text taken apart into lines and put together again, with the line ends each kind of file uses.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <cstring>
#include <optional>

namespace platform
{

enum class LineEnds {
    CrLfOrLf, // CR LF, or a bare LF from a file edited on this system; a lone CR stays in its
              // line unless it ends the text
    CrLfOrCr, // CR LF, or a bare CR; a lone LF stays in its line
    Any,      // CR LF, a bare CR or a bare LF
};

// Hands each line of text, without its end, to take(QByteArrayView), copying nothing. What
// follows the last end is a line only when it is not empty: the end of the last line does
// not start another.
template <typename Take> void forEachLine(QByteArrayView text, LineEnds ends, Take take)
{
    if (ends == LineEnds::CrLfOrLf) {
        // Only an LF ends a line here, and the CR before it goes with it: a search for the LFs
        // alone finds the same lines, much faster than a look at every byte.
        const char *const data = text.data();
        const qsizetype size = text.size();
        qsizetype start = 0;
        while (start < size) {
            const void *lf = std::memchr(data + start, '\n', size_t(size - start));
            if (!lf)
                break;
            const qsizetype end = static_cast<const char *>(lf) - data;
            take(text.sliced(start, end - start - (end > start && data[end - 1] == '\r' ? 1 : 0)));
            start = end + 1;
        }
        // A CR that ends the text is a CR LF cut short.
        if (start < size)
            take(text.sliced(start, size - start - (data[size - 1] == '\r' ? 1 : 0)));
        return;
    }
    // Every CR ends a line from here on, together with an LF that follows it.
    const bool lfEnds = ends == LineEnds::Any;
    const char *const data = text.data();
    const qsizetype size = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const char c = data[i];
        if (c == '\r') {
            take(text.sliced(start, i - start));
            if (i + 1 < size && data[i + 1] == '\n')
                ++i;
            start = i + 1;
        } else if (c == '\n' && lfEnds) {
            take(text.sliced(start, i - start));
            start = i + 1;
        }
    }
    if (start < size)
        take(text.sliced(start));
}

// The lines of text without their ends, as forEachLine finds them.
QList<QByteArray> splitLines(const QByteArray &text, LineEnds ends);

// The whole file at path; nullopt when it cannot be read.
std::optional<QByteArray> readWholeFile(const QString &path);

// The lines of the file at path; nullopt when it cannot be read.
std::optional<QList<QByteArray>> readLines(const QString &path, LineEnds ends);

// Every line followed by CR LF.
QByteArray joinLines(const QList<QByteArray> &lines);

} // namespace platform
