// Finding list items by a piece of their text the way a person types it: letter case and
// accents do not count ("cafe" finds "Café"), nor do the two spellings of letters such as
// "ß" and "ss" or "æ" and "ae".
#pragma once

#include <QString>
#include <QStringView>

namespace ui
{

// The form in which texts are compared: compatibility-decomposed, marks dropped, case-folded,
// and the letters that do not decompose spelt with their base letters.
QString foldedForFinding(QStringView text);

// True when no character of text is beyond ASCII: such a text is compared without a copy.
bool isPlainAscii(QStringView text);

class TextFinder
{
public:
    TextFinder() = default;
    explicit TextFinder(QStringView text);

    // Nothing to find: every text holds it.
    bool isEmpty() const { return m_folded.isEmpty(); }
    const QString &folded() const { return m_folded; }
    // Whether a finder of this text only ever finds what `wider` finds.
    bool narrows(const TextFinder &wider) const { return m_folded.contains(wider.m_folded); }
    // Whether a plain ASCII text holds the text looked for.
    bool inPlainAscii(QStringView text) const;
    // Whether a text already in folded form holds it.
    bool inFolded(QStringView folded) const { return folded.contains(m_folded); }

private:
    QString m_folded;
    bool m_ascii = true;
};

} // namespace ui
