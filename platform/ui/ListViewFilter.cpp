// Folding texts for finding, and finding in them.
#include "platform/ui/ListViewFilter.h"

#include <QList>
#include <algorithm>
#include <vector>

namespace ui
{

namespace
{

// Letters that carry their difference in the letter itself rather than in a mark, after
// case folding; a person looking for them types the base letters.
const char *spelling(char32_t c)
{
    switch (c) {
    case U'ß':
        return "ss";
    case U'æ':
        return "ae";
    case U'œ':
        return "oe";
    case U'ø':
        return "o";
    case U'ł':
        return "l";
    case U'đ':
    case U'ð':
        return "d";
    case U'þ':
        return "th";
    case U'ħ':
        return "h";
    case U'ı':
        return "i";
    case U'ŧ':
        return "t";
    default:
        return nullptr;
    }
}

char16_t asciiLower(char16_t c)
{
    return (c >= u'A' && c <= u'Z') ? char16_t(c + (u'a' - u'A')) : c;
}

} // namespace

namespace
{

QString foldedByUnicode(QStringView text)
{
    const QString decomposed = text.toString().normalized(QString::NormalizationForm_KD);
    QString folded;
    folded.reserve(decomposed.size());
    for (const char32_t c : decomposed.toUcs4()) {
        const QChar::Category category = QChar::category(c);
        if (category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining ||
            category == QChar::Mark_Enclosing)
            continue;
        const char32_t f = QChar::toCaseFolded(c);
        if (const char *spelt = spelling(f))
            folded += QLatin1String(spelt);
        else
            folded += QChar::fromUcs4(f); // QString::fromUcs4 would drop a U+FEFF
    }
    return folded;
}

// The Latin letters of most accented names: below here a character folds alone as it does
// among others, so each one's fold is worked out once and looked up after.
constexpr char16_t latinEnd = 0x250;

const QString &latinFold(char16_t c)
{
    static const std::vector<QString> folds = [] {
        std::vector<QString> table(latinEnd);
        for (char16_t i = 0; i < latinEnd; ++i)
            table[i] = foldedByUnicode(QStringView(&i, 1));
        return table;
    }();
    return folds[c];
}

} // namespace

QString foldedForFinding(QStringView text)
{
    char16_t high = 0;
    for (const QChar c : text)
        high = std::max(high, c.unicode());
    if (high < 0x80)
        return text.toString().toLower();
    if (high >= latinEnd)
        return foldedByUnicode(text);
    QString folded;
    folded.reserve(text.size() + 8);
    for (const QChar c : text) {
        if (c.unicode() < 0x80)
            folded += QChar(asciiLower(c.unicode()));
        else
            folded += latinFold(c.unicode());
    }
    return folded;
}

bool isPlainAscii(QStringView text)
{
    char16_t high = 0;
    for (const QChar c : text)
        high |= c.unicode();
    return high < 0x80;
}

TextFinder::TextFinder(QStringView text) : m_folded(foldedForFinding(text)), m_ascii(isPlainAscii(m_folded))
{
}

bool TextFinder::inPlainAscii(QStringView text) const
{
    // A plain ASCII text folds to itself in lower case: it can hold only a plain ASCII text.
    const qsizetype m = m_folded.size();
    if (!m_ascii || m > text.size())
        return false;
    if (m == 0)
        return true;
    const auto *needle = reinterpret_cast<const char16_t *>(m_folded.utf16());
    const char16_t *chars = text.utf16();
    for (qsizetype i = 0, last = text.size() - m; i <= last; ++i) {
        if (asciiLower(chars[i]) != needle[0])
            continue;
        qsizetype j = 1;
        while (j < m && asciiLower(chars[i + j]) == needle[j])
            ++j;
        if (j == m)
            return true;
    }
    return false;
}

} // namespace ui
