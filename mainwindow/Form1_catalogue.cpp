// The channel catalogue: Data.txt into ListView1 for the current category and type filter,
// the type list, sorting, and the category buttons that choose what the list shows.
#include "mainwindow/Form1.h"

#include "localisation/modLanguages.h"
#include "platform/core/Text.h"
#include "platform/core/TextLines.h"
#include "platform/ui/Forms.h"
#include "platform/ui/MsgBox.h"
#include "services/modGlobals.h"
#include "services/modListViewEnh.h"
#include "services/modMarque.h"
#include "services/modSettings.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_set>

namespace
{

QString message(const char *id)
{
    return objLanguages ? objLanguages->getMessages(QLatin1String(id)) : QString();
}

// A line of Data.txt that lacks a field the loader needs stops the load.
struct BrokenChannelFile {
};

// The fields of a line between its "|"s, found as far as the loader reads: a line of another
// category is not searched beyond its category and types.
class Fields
{
public:
    explicit Fields(QByteArrayView line) : m_line(line) { m_start[0] = 0; }

    bool hasBar() { return find(2); }
    QByteArrayView of(int index)
    {
        need(index);
        return m_line.sliced(m_start[index], m_start[index + 1] - 1 - m_start[index]);
    }
    // A field the loader needs that the line lacks stops the load.
    void need(int index)
    {
        if (!find(index + 1))
            throw BrokenChannelFile();
    }

private:
    static constexpr int Used = 9;
    // Whether field `count - 1` exists; finds the "|"s before and after it.
    bool find(int count)
    {
        while (m_count <= count && !m_ended) {
            const qsizetype from = m_start[m_count - 1];
            const void *bar = m_count <= Used
                                  ? std::memchr(m_line.data() + from, '|', size_t(m_line.size() - from))
                                  : nullptr;
            if (bar) {
                m_start[m_count++] = static_cast<const char *>(bar) - m_line.data() + 1;
            } else {
                // The last field runs to the end of the line.
                m_start[m_count] = m_line.size() + 1;
                m_ended = true;
            }
        }
        return m_count >= count;
    }

    QByteArrayView m_line;
    qsizetype m_start[Used + 2];
    int m_count = 1; // fields whose start is known
    bool m_ended = false;
};

char16_t unitOf(char c)
{
    return uchar(c);
}
char16_t unitOf(QChar c)
{
    return c.unicode();
}

// The rating as the list shows it, three characters, into out; answers how many.
template <typename Text> qsizetype ratingInto(Text s, char16_t *out)
{
    const auto unit = [&s](qsizetype i) { return unitOf(s[i]); };
    qsizetype n = std::min<qsizetype>(s.size(), 3);
    for (qsizetype i = 0; i < n; ++i)
        out[i] = unit(i);
    if (n == 0)
        out[n++] = u'1';
    if (n == 1)
        out[n++] = u'.';
    if (n == 2)
        out[n++] = u'0';
    if (out[1] != u'.' && out[2] != u'.' && out[0] != u'.') {
        out[1] = u'.';
        out[2] = u'0';
    }
    return n;
}

// A count of fewer than six characters padded with "0"s in front to six, into out.
template <typename Text> qsizetype sixDigitsInto(Text s, char16_t *out)
{
    const qsizetype pad = 6 - s.size();
    std::fill(out, out + pad, u'0');
    for (qsizetype i = 0; i < s.size(); ++i)
        out[pad + i] = unitOf(s[i]);
    return 6;
}

bool isAscii(QByteArrayView bytes)
{
    for (const char c : bytes) {
        if (uchar(c) >= 0x80)
            return false;
    }
    return true;
}

// Whether a field read as UTF-8 equals text: the bytes decide unless they are not plain ASCII.
bool sameText(QByteArrayView bytes, const QString &text, const QByteArray &textUtf8)
{
    if (bytes == textUtf8)
        return true;
    return !isAscii(bytes) && platform::textOfUtf8(bytes) == text;
}

// Whether types (UTF-8) holds filter, ignoring case as QString does.
bool typesContain(QByteArrayView types, const QString &filter, const QByteArray &filterAscii)
{
    if (!filterAscii.isNull() && isAscii(types))
        return QLatin1StringView(types).contains(QLatin1StringView(filterAscii), Qt::CaseInsensitive);
    return platform::textOfUtf8(types).contains(filter, Qt::CaseInsensitive);
}

// A text under which every spelling QString takes as equal ignoring case meets: each
// character case-folded one by one, as its comparison does.
void foldedKey(QByteArrayView text, std::string &key)
{
    key.clear();
    if (isAscii(text)) {
        for (const char c : text)
            key += (c >= 'A' && c <= 'Z') ? char(c + ('a' - 'A')) : c;
        return;
    }
    QString folded;
    for (const char32_t c : platform::textOfUtf8(text).toUcs4()) {
        const char32_t f = QChar::toCaseFolded(c);
        folded += QChar::fromUcs4(f); // QString::fromUcs4 would drop a U+FEFF
    }
    key = folded.toStdString();
}

// The type list: each type once, spelt as first met, whatever its letter case.
class TypeList
{
public:
    // lineTypes must stay in place while the list is used: most lines repeat the types of an
    // earlier one, and are known by their bytes.
    void addFrom(QByteArrayView lineTypes)
    {
        if (!m_lines.insert(std::string_view(lineTypes.data(), size_t(lineTypes.size()))).second)
            return;
        qsizetype start = 0;
        for (qsizetype i = 0; i <= lineTypes.size(); ++i) {
            if (i < lineTypes.size() && lineTypes[i] != '/')
                continue;
            const QByteArrayView type = lineTypes.sliced(start, i - start);
            start = i + 1;
            if (type.isEmpty())
                continue;
            foldedKey(type, m_key);
            if (m_seen.insert(m_key).second)
                m_types.append(platform::textOfUtf8(type));
        }
    }
    bool contains(const QString &type)
    {
        const QByteArray utf8 = type.toUtf8();
        foldedKey(utf8, m_key);
        return m_seen.count(m_key) != 0;
    }
    QStringList &types() { return m_types; }

private:
    std::unordered_set<std::string_view> m_lines;
    std::unordered_set<std::string> m_seen;
    std::string m_key;
    QStringList m_types;
};

const char *const adultNotice[] = {
    "In order to have access to this adult section you must be at least 18 years old or 21 years old, in "
    "some "
    "jurisdictions, and your must have the legal right to view adult material in the country from which you "
    "are "
    "accessing this section.",
    "By the act of entering this adult section you are agreeing, under penalty of purjury, that you are "
    "legal age "
    "and that you will not permit any person under the legal age or anyone who may be offended, to have "
    "access to "
    "this section.",
    "You also agree that you are not offended by nudity or sexually explicit adult images and you are "
    "choosing to "
    "view such material.",
    "You also agree to be responsible for any violation to your local law and to release and hold harmless "
    "the "
    "legal owner of this software, its creators, employees or contractors from any liability which might "
    "arise and "
    "to indemnify them from any losses, costs, and expenses incurred by them as a result of your viewing "
    "materials "
    "from this adult section.",
};

} // namespace

void Form1::LoadChannels(bool everyType)
{
    if (strCategory.isEmpty())
        strCategory = QStringLiteral("TV");
    if (strTypeFilter.isEmpty())
        strTypeFilter = QStringLiteral("All");

    ListView1->ListItems()->Clear();

    const std::optional<QByteArray> content =
        platform::readWholeFile(strDataFolder + QStringLiteral("/Data.txt"));
    if (!content) {
        MsgBox(message("MSG_NOTFOUND"), vbOKOnly);
        return;
    }

    const bool reloadTypes = strReloadTypes == QLatin1String("True");
    const bool allTypes = everyType || strTypeFilter == QLatin1String("All");
    const QByteArray categoryUtf8 = strCategory.toUtf8();
    const QByteArray filterAscii = isAscii(strTypeFilter.toUtf8()) ? strTypeFilter.toUtf8() : QByteArray();
    qint32 total = 0;
    qint32 shown = 0;
    TypeList types;
    ui::ListItemCollection *items = ListView1->ListItems();
    try {
        // Lines end at CR LF as the file is written; a bare LF (a file edited on this system)
        // ends one as well. Fields are compared as bytes and go into the list as they are.
        platform::forEachLine(*content, platform::LineEnds::CrLfOrLf, [&](QByteArrayView bytes) {
            Fields fields(bytes);
            if (!fields.hasBar())
                return;
            ++total;
            if (!sameText(fields.of(2), strCategory, categoryUtf8))
                return;
            const QByteArrayView lineTypes = fields.of(4);
            if (allTypes || typesContain(lineTypes, strTypeFilter, filterAscii)) {
                fields.need(8); // a short line adds no half item
                const QByteArrayView ratingField = fields.of(8);
                const QByteArrayView countField = fields.of(7);
                // The two texts the loader makes itself, on the stack unless the bytes are not
                // plain ASCII.
                char16_t rating[3];
                char16_t count[6];
                QString ratingChars, countChars;
                QStringView ratingText, countText;
                if (isAscii(ratingField)) {
                    ratingText = QStringView(rating, ratingInto(ratingField, rating));
                } else {
                    ratingChars = formatRating(platform::textOfUtf8(ratingField));
                    ratingText = ratingChars;
                }
                const bool countAscii = isAscii(countField);
                if (countAscii && countField.size() < 6) {
                    countText = QStringView(count, sixDigitsInto(countField, count));
                } else if (!countAscii) {
                    countChars = padSixDigits(platform::textOfUtf8(countField));
                    countText = countChars;
                }
                items->AddTexts({fields.of(1), fields.of(3), QByteArrayView(), fields.of(2), lineTypes,
                                 ratingText,
                                 countText.isNull() ? ui::ItemText(countField) : ui::ItemText(countText)});
                ++shown;
            }
            if (reloadTypes)
                types.addFrom(lineTypes);
        });
    } catch (const BrokenChannelFile &) {
        MsgBox(message("MSG_NOTFOUND"), vbOKOnly);
        return;
    }

    if (reloadTypes) {
        QStringList &list = types.types();
        quickSortValues(list);
        Combo1->Clear();
        Combo1->AddItem(QStringLiteral("All"));
        Combo1->AddItems(list);
        intTypeCount = int(list.size());
        strReloadTypes = QStringLiteral("False");
        if (types.contains(strTypeFilter))
            Combo1->setText(strTypeFilter);
    }

    m_channelTotal = total;
    showChannelCounts(shown);
}

void Form1::showChannelCounts(qint32 shown)
{
    StatusBar1->setPanelText(1, message("MSG_STATUS1") + QString::number(m_channelTotal) +
                                    message("MSG_STATUS2") + QString::number(shown) + message("MSG_STATUS3") +
                                    QString::number(intTypeCount) + message("MSG_STATUS4"));
}

QString Form1::formatRating(QStringView s)
{
    char16_t out[3] = {};
    return QString(reinterpret_cast<const QChar *>(out), ratingInto(s, out));
}

QString Form1::padSixDigits(QStringView s)
{
    if (s.size() >= 6)
        return s.toString();
    char16_t out[6];
    return QString(reinterpret_cast<const QChar *>(out), sixDigitsInto(s, out));
}

void Form1::quickSortValues(QStringList &values, qsizetype upper, bool descending)
{
    if (upper < 0 || upper >= values.size())
        upper = values.size() - 1;
    // Larger halves wait on the stack and the smaller one is sorted next, so 32 entries
    // cover any list that fits in memory.
    struct Range {
        qsizetype low, high;
    };
    Range stack[32];
    int depth = 0;
    qsizetype low = 0;
    qsizetype high = upper;
    const auto before = [descending](const QString &a, const QString &b) {
        return descending ? b < a : a < b;
    };
    for (;;) {
        if (high - low < 1) {
            if (depth == 0)
                break;
            --depth;
            low = stack[depth].low;
            high = stack[depth].high;
            continue;
        }
        // The median of three as pivot: lists that arrive sorted stay n log n.
        if (high - low > 2) {
            const qsizetype mid = low + (high - low) / 2;
            if (before(values.at(mid), values.at(low)))
                values.swapItemsAt(mid, low);
            if (before(values.at(high), values.at(low)))
                values.swapItemsAt(high, low);
            if (before(values.at(mid), values.at(high)))
                values.swapItemsAt(mid, high);
        }
        const QString pivot = values.at(high);
        qsizetype i = low - 1;
        qsizetype j = high;
        for (;;) {
            while (before(values.at(++i), pivot)) {
            }
            while (before(pivot, values.at(--j)) && j > low) {
            }
            if (i >= j)
                break;
            values.swapItemsAt(i, j);
        }
        values.swapItemsAt(i, high);
        if (i - low > high - i) {
            stack[depth++] = {low, i - 1};
            low = i + 1;
        } else {
            stack[depth++] = {i + 1, high};
            high = i - 1;
        }
    }
}

void Form1::Combo1_Click()
{
    endChannelSearch(false);
    strTypeFilter = Combo1->Text();
    if (strCategory == QLatin1String("TV"))
        SaveProgramSetting(QStringLiteral("TVLang"), strTypeFilter);
    else if (strCategory == QLatin1String("Radio"))
        SaveProgramSetting(QStringLiteral("RadioLang"), strTypeFilter);
    else if (strCategory == QLatin1String("Video"))
        SaveProgramSetting(QStringLiteral("VideoLang"), strTypeFilter);
    LoadChannels();
}

void Form1::cmbSortTV_Click()
{
    ui::ColumnHeaderCollection *headers = ListView1->ColumnHeaders();
    for (int i = 1; i <= headers->Count(); ++i) {
        if (headers->Item(i)->Text() == cmbSortTV->Text())
            EnhListView_SortColumns(ListView1, i, false);
    }
}

void Form1::ListView1_ColumnClick(int column)
{
    EnhListView_SortColumns(ListView1, column, false);
}

void Form1::showPanel(ui::Frame *panel)
{
    if (panel != Frame1)
        endChannelSearch(true);
    for (ui::Frame *frame : {Frame1, Frame3, Frame4, Frame5})
        frame->setVisible(frame == panel);
    showPlayer(panel != Frame5);
}

void Form1::showCategory(const QString &category, const QString &settingKey)
{
    endChannelSearch(false);
    showPanel(Frame1);
    strCategory = category;
    ListView1->ListItems()->Clear();
    strTypeFilter = GetProgramSetting(settingKey, QStringLiteral("English"));
    strReloadTypes = QStringLiteral("True");
    LoadChannels();
}

void Form1::cmdTV_Click()
{
    showCategory(QStringLiteral("TV"), QStringLiteral("TVLang"));
}

void Form1::cmdRadio_Click()
{
    showCategory(QStringLiteral("Radio"), QStringLiteral("RadioLang"));
}

void Form1::cmdVideo_Click()
{
    showCategory(QStringLiteral("Video"), QStringLiteral("VideoLang"));
}

void Form1::cmdXXX_Click()
{
    QStringList paragraphs;
    for (const char *paragraph : adultNotice)
        paragraphs.append(QLatin1String(paragraph));
    if (MsgBox(paragraphs.join(QStringLiteral("\r\n\r\n")), vbOKCancel, QStringLiteral("Adult Material")) !=
        vbOK)
        return;
    showCategory(QStringLiteral("XXX"), QStringLiteral("VideoLang"));
}

// The website launcher acts only on "Website"; these requests load it and nothing opens.
void Form1::cmdSports_Click()
{
    PageRequest = QStringLiteral("Sports");
    ui::Forms::load(QStringLiteral("frmWebsite"));
}

void Form1::cmdExtras_Click()
{
    PageRequest = QStringLiteral("Extras");
    ui::Forms::load(QStringLiteral("frmWebsite"));
}
