// The channel catalogue: Data.txt into ListView1 for the current category and type filter,
// the type list, sorting, and the category buttons that choose what the list shows.
#include "mainwindow/Form1.h"

#include "localisation/modLanguages.h"
#include "platform/core/TextLines.h"
#include "platform/ui/Forms.h"
#include "platform/ui/MsgBox.h"
#include "services/modGlobals.h"
#include "services/modListViewEnh.h"
#include "services/modMarque.h"
#include "services/modSettings.h"

namespace
{

QString message(const char *id)
{
    return objLanguages ? objLanguages->getMessages(QLatin1String(id)) : QString();
}

// A line of Data.txt that lacks a field the loader needs stops the load.
struct BrokenChannelFile {
};

const QString &field(const QStringList &fields, int index)
{
    if (index >= fields.size())
        throw BrokenChannelFile();
    return fields.at(index);
}

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

void Form1::LoadChannels()
{
    if (strCategory.isEmpty())
        strCategory = QStringLiteral("TV");
    if (strTypeFilter.isEmpty())
        strTypeFilter = QStringLiteral("All");

    ListView1->ListItems()->Clear();

    // Lines end at CR LF as the file is written; a bare LF (a file edited on this system) ends
    // one as well.
    const auto lines =
        platform::readLines(strDataFolder + QStringLiteral("/Data.txt"), platform::LineEnds::CrLfOrLf);
    if (!lines) {
        MsgBox(message("MSG_NOTFOUND"), vbOKOnly);
        return;
    }

    const bool reloadTypes = strReloadTypes == QLatin1String("True");
    const bool allTypes = strTypeFilter == QLatin1String("All");
    qint32 total = 0;
    qint32 shown = 0;
    QStringList types;
    try {
        for (const QByteArray &bytes : *lines) {
            const QString line = QString::fromUtf8(bytes);
            if (!line.contains(QLatin1Char('|')))
                continue;
            ++total;
            const QStringList fields = line.split(QLatin1Char('|'));
            if (field(fields, 2) != strCategory)
                continue;
            const QString &lineTypes = field(fields, 4);
            if (allTypes || lineTypes.contains(strTypeFilter, Qt::CaseInsensitive)) {
                field(fields, 8); // a short line adds no half item
                ui::ListItem *item = ListView1->ListItems()->Add(field(fields, 1));
                item->setTag(field(fields, 3));
                item->setSubItems(1, field(fields, 2));
                item->setSubItems(2, lineTypes);
                item->setSubItems(3, formatRating(field(fields, 8)));
                item->setSubItems(4, padSixDigits(field(fields, 7)));
                ++shown;
            }
            if (reloadTypes) {
                for (const QString &type : lineTypes.split(QLatin1Char('/'))) {
                    if (!type.isEmpty() && !types.contains(type, Qt::CaseInsensitive))
                        types.append(type);
                }
            }
        }
    } catch (const BrokenChannelFile &) {
        MsgBox(message("MSG_NOTFOUND"), vbOKOnly);
        return;
    }

    if (reloadTypes) {
        quickSortValues(types);
        Combo1->Clear();
        Combo1->AddItem(QStringLiteral("All"));
        for (const QString &type : std::as_const(types))
            Combo1->AddItem(type);
        intTypeCount = int(types.size());
        strReloadTypes = QStringLiteral("False");
        if (types.contains(strTypeFilter, Qt::CaseInsensitive))
            Combo1->setText(strTypeFilter);
    }

    StatusBar1->setPanelText(1, message("MSG_STATUS1") + QString::number(total) + message("MSG_STATUS2") +
                                    QString::number(shown) + message("MSG_STATUS3") +
                                    QString::number(intTypeCount) + message("MSG_STATUS4"));
}

QString Form1::formatRating(const QString &s)
{
    QString r;
    switch (s.size()) {
    case 0:
        r = QStringLiteral("1.0");
        break;
    case 1:
        r = s + QStringLiteral(".0");
        break;
    case 2:
        r = s + QStringLiteral("0");
        break;
    case 3:
        r = s;
        break;
    default:
        r = s.left(3);
        break;
    }
    if (!r.contains(QLatin1Char('.')))
        r = r.left(1) + QStringLiteral(".0");
    return r;
}

QString Form1::padSixDigits(const QString &s)
{
    return s.size() >= 6 ? s : s.rightJustified(6, QLatin1Char('0'));
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
    for (ui::Frame *frame : {Frame1, Frame3, Frame4, Frame5})
        frame->setVisible(frame == panel);
    wbyoutube->setVisible(panel == Frame5);
    WindowsMediaPlayer1->setVisible(panel != Frame5);
}

void Form1::showCategory(const QString &category, const QString &settingKey)
{
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
