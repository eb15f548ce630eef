#include "services/modGenDec.h"

namespace
{

// With this key no byte a text line can hold (tab, printable ASCII, UTF-8 lead and
// continuation bytes up to 0xF4) scrambles to NUL, CR or LF, so scrambled lines stay lines.
constexpr int key = 7;

} // namespace

QByteArray EncryptString(const QByteArray &s)
{
    QByteArray out(s.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < s.size(); ++i) {
        int c = static_cast<unsigned char>(s[i]);
        // 255 has no scrambled form of its own (it would come back as NUL); no UTF-8 text
        // holds it, so it goes the way of any character the text cannot carry.
        if (c == 255)
            c = '?';
        int x = c + key;
        if (x > 255)
            x -= 255;
        out[i] = static_cast<char>(x);
    }
    return out;
}

QByteArray DecryptString(const QByteArray &s)
{
    QByteArray out(s.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < s.size(); ++i) {
        int x = static_cast<unsigned char>(s[i]) - key;
        if (x < 0)
            x += 255;
        out[i] = static_cast<char>(x);
    }
    return out;
}
