// Text helpers with the classic string rules the system's code relies on.
#pragma once

#include <QString>

namespace platform {

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
