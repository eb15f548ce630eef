// Text helpers with the classic string rules the system's code relies on.
#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>

namespace platform
{

// Decodes UTF-8 keeping every character. Qt's own decoders take a leading U+FEFF for a
// byte-order mark and drop it, which is right only at the very start of a file: a field, a
// name or a line inside a file that begins with that character must keep it, or it is no
// longer the text that was stored (and can no longer be found by it).
inline QStringDecoder utf8Decoder()
{
    return QStringDecoder(QStringDecoder::Utf8,
                          QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
}

// As QString::fromUtf8, a leading U+FEFF kept: null bytes give a null text.
inline QString textOfUtf8(QByteArrayView utf8)
{
    if (utf8.isNull())
        return QString();
    // Only a leading U+FEFF tells the two decodes apart, and the plain one is much cheaper.
    if (!utf8.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(utf8);
    return utf8Decoder().decode(utf8);
}

// Removes leading and trailing blanks only: tabs and other white space stay.
inline QString trimBlanks(const QString &s)
{
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && s.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && s.at(end - 1) == QLatin1Char(' '))
        --end;
    return s.mid(begin, end - begin);
}

} // namespace platform
