// The channel-list editor (frame "List Editing", editor mode only): loads the scrambled
// channel lines of Data.txt into ListView1, edits them there and exports them as Data.htm.
// Editor items: text = name, sub-item 1 = category, 2 = type, 3 = URL, tag = URL as loaded.
#include "mainwindow/Form1.h"

#include "localisation/modLanguages.h"
#include "platform/core/Text.h"
#include "platform/core/TextLines.h"
#include "platform/core/UserFolder.h"
#include "platform/ui/MsgBox.h"
#include "services/modGenDec.h"
#include "services/modGlobals.h"
#include "services/modSaveFile.h"

#include <QSet>

namespace
{

// The access code under which the export is written plain.
const QString plainExportCode = QStringLiteral("6947");

ui::ListItem *addItem(ui::ListView *lv, const QString &text, const QString &sub1, const QString &sub2,
                      const QString &sub3)
{
    ui::ListItem *item = lv->ListItems()->Add(text);
    item->setSubItems(1, sub1);
    item->setSubItems(2, sub2);
    item->setSubItems(3, sub3);
    return item;
}

// The items as they stand before a command changes them: an edit can move an item of a
// sorted list, and a walk by position would then meet it twice or miss another.
QList<ui::ListItem *> itemsNow(ui::ListView *lv)
{
    QList<ui::ListItem *> items;
    ui::ListItemCollection *all = lv->ListItems();
    for (int i = 1; i <= all->Count(); ++i)
        items.append(all->Item(i));
    return items;
}

} // namespace

void Form1::connectEditorEvents()
{
    connect(Clear, &ui::CommandButton::Click, this, &Form1::Clear_Click);
    connect(doLoad, &ui::CommandButton::Click, this, &Form1::doLoad_Click);
    connect(save, &ui::CommandButton::Click, this, &Form1::save_Click);
    connect(DELChannel, &ui::CommandButton::Click, this, &Form1::DELChannel_Click);
    connect(cmdAdd, &ui::CommandButton::Click, this, &Form1::cmdAdd_Click);
    connect(cmdEdit, &ui::CommandButton::Click, this, &Form1::cmdEdit_Click);
    connect(cmdReplace, &ui::CommandButton::Click, this, &Form1::cmdReplace_Click);
    connect(Command2, &ui::CommandButton::Click, this, &Form1::Command2_Click);
    connect(cmdMusic, &ui::CommandButton::Click, this, &Form1::cmdMusic_Click);
    connect(cmdDupes, &ui::CommandButton::Click, this, &Form1::cmdDupes_Click);
    connect(cmdLoad2, &ui::CommandButton::Click, this, &Form1::cmdLoad2_Click);
    connect(Recommended, &ui::CommandButton::Click, this, &Form1::Recommended_Click);
    connect(Text2, &ui::TextBox::KeyPress, this, &Form1::Text2_KeyPress);
    connect(Text3, &ui::TextBox::KeyPress, this, &Form1::Text3_KeyPress);
    connect(Text4, &ui::TextBox::KeyPress, this, &Form1::Text4_KeyPress);
}

void Form1::Clear_Click()
{
    ListView1->ListItems()->Clear();
}

void Form1::doLoad_Click()
{
    const auto lines =
        platform::readLines(strDataFolder + QStringLiteral("/Data.txt"), platform::LineEnds::CrLfOrLf);
    if (!lines)
        return;
    QList<QStringList> channels;
    for (const QByteArray &line : *lines) {
        const QString plain = platform::textOfUtf8(DecryptString(line));
        if (!plain.contains(QLatin1Char('|')))
            continue;
        const QStringList fields = plain.split(QLatin1Char('|'));
        // A line cut short loads nothing rather than half a list.
        if (fields.size() < 4)
            return;
        channels.append(fields);
    }
    for (const QStringList &fields : std::as_const(channels))
        addItem(ListView1, fields.at(0), fields.at(2), fields.at(3), fields.at(1))->setTag(fields.at(1));
}

void Form1::save_Click()
{
    const bool plain = Text5->Text() == plainExportCode;
    QList<QByteArray> lines{QByteArrayLiteral("<data>")};
    QString shown = QStringLiteral("<data>\r\n");
    for (const ui::ListItem *item : itemsNow(ListView1)) {
        const QString line = item->Text() + QLatin1Char('|') + item->SubItems(3) + QLatin1Char('|') +
                             item->SubItems(1) + QLatin1Char('|') + item->SubItems(2);
        if (plain) {
            lines.append(line.toUtf8());
            shown += QStringLiteral("\r\n") + line;
        } else {
            lines.append(EncryptString(line.toUtf8()));
            shown += QStringLiteral("\r\n") + QString::fromLatin1(lines.last());
        }
    }
    lines.append(QByteArrayLiteral("</data>"));
    SaveFileOrTell(platform::userFileForWriting(QStringLiteral("Data.htm")), platform::joinLines(lines),
                   QStringLiteral("The channel export"));
    txtData->setText(shown + QStringLiteral("</data>\r\n"));
}

void Form1::DELChannel_Click()
{
    if (const ui::ListItem *item = ListView1->SelectedItem())
        ListView1->ListItems()->Remove(item->Index());
}

void Form1::cmdAdd_Click()
{
    addItem(ListView1, txtAddName->Text(), cmbAddCategory->Text(), txtAddType->Text(), txtAddURL->Text());
}

void Form1::cmdEdit_Click()
{
    ui::ListItem *item = ListView1->SelectedItem();
    if (!item)
        return;
    item->setText(txtEditName->Text());
    item->setSubItems(1, cmbEditCateogy->Text());
    item->setSubItems(2, txtEditType->Text());
    item->setSubItems(3, txtEditURL->Text());
}

void Form1::cmdReplace_Click()
{
    const QString find = Text2->Text();
    const QString replacement = Text3->Text();
    const QString column = Combo2->Text();
    if (find.isEmpty())
        return;
    if (column == QLatin1String("Channel")) {
        for (ui::ListItem *item : itemsNow(ListView1))
            item->setText(QString(item->Text()).replace(find, replacement, Qt::CaseInsensitive));
    } else if (column == QLatin1String("Language")) {
        for (ui::ListItem *item : itemsNow(ListView1)) {
            if (item->SubItems(2) == find)
                item->setSubItems(2, replacement);
        }
    }
}

void Form1::Text2_KeyPress(int &KeyAscii)
{
    if (KeyAscii == 13)
        cmdReplace_Click();
}

void Form1::Text3_KeyPress(int &KeyAscii)
{
    if (KeyAscii == 13)
        cmdReplace_Click();
}

void Form1::Command2_Click()
{
    chkLoad->setValue(ui::vbUnchecked);
    Frame2->setVisible(false);
}

void Form1::cmdMusic_Click()
{
    ui::ListItem *item = ListView1->SelectedItem();
    if (!item)
        return;
    item->setSubItems(3, Text4->Text());
    Text4->setText(QString());
    Text4->setFocus();
}

void Form1::Text4_KeyPress(int &KeyAscii)
{
    if (KeyAscii == 13)
        cmdMusic_Click();
}

void Form1::cmdDupes_Click()
{
    // The first item of each lower-cased sub-item 1 stays, every later one goes: one pass.
    QSet<QString> seen;
    const int removed = ListView1->ListItems()->RemoveWhere([&seen](const ui::ListItem &item) {
        const QString key = item.subItemView(1).toString().toLower();
        if (seen.contains(key))
            return true;
        seen.insert(key);
        return false;
    });
    const QString deleted =
        objLanguages ? objLanguages->getMessages(QStringLiteral("MSG_DELETED")) : QString();
    MsgBox(deleted + QString::number(removed), vbOKOnly);
}

void Form1::cmdLoad2_Click()
{
    const QString type = txtType->Text();
    const auto lines =
        platform::readLines(platform::readableFile(Text1->Text()), platform::LineEnds::CrLfOrLf);
    if (!lines)
        return;
    struct Entry {
        QString name, url, section;
    };
    QList<Entry> entries;
    QString section;
    // Only the file's first line can open with a byte-order mark.
    const auto textOfLine = [&lines](qsizetype i) {
        return i == 0 ? QString::fromUtf8(lines->at(i)) : platform::textOfUtf8(lines->at(i));
    };
    for (qsizetype i = 0; i < lines->size(); ++i) {
        const QString line = textOfLine(i);
        if (line.isEmpty() || line == QLatin1String(" "))
            continue;
        if (line.contains(QLatin1Char('['))) {
            // A header owes the line after it; a file cut short there imports nothing.
            if (++i >= lines->size())
                return;
            section = line;
            section.remove(QLatin1Char('[')).remove(QLatin1Char(']'));
            continue;
        }
        // A name without its URL line is dropped.
        if (++i >= lines->size())
            break;
        entries.append({line, textOfLine(i), section});
    }
    for (const Entry &entry : std::as_const(entries))
        addItem(ListView1, entry.name, entry.url, type, entry.section);
}

void Form1::Recommended_Click() {}
