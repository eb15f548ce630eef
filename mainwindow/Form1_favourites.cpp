// Favourites: the favourites list, its scrambled file in the user folder, the
// "Channel Actions" popups that add to it, and playing a favourite.
#include "mainwindow/Form1.h"

#include "platform/core/Text.h"
#include "platform/core/TextLines.h"
#include "platform/core/UserFolder.h"
#include "platform/ui/MsgBox.h"
#include "services/modGenDec.h"
#include "services/modListViewEnh.h"
#include "services/modSaveFile.h"
#include "services/xfileExists.h"

#include <QCursor>
#include <QMenu>

#include <algorithm>

namespace
{

const QString kFavoritesFile = QStringLiteral("Favorites.txt");

// One file line. A byte whose scrambled form reads as a line end would split the entry
// in two on the next load, so such bytes (control characters only) are left out.
QByteArray scrambledLine(QByteArray plain)
{
    QByteArray line = EncryptString(plain);
    if (!line.contains('\r') && !line.contains('\n'))
        return line;
    for (qsizetype i = line.size() - 1; i >= 0; --i) {
        if (line[i] == '\r' || line[i] == '\n')
            plain.remove(i, 1);
    }
    return EncryptString(plain);
}

// A field holding "|" would shift the fields after it on the next load. Such an entry is
// joined with a byte that UTF-8 text never holds instead; every other entry keeps the plain
// form, which older files use throughout.
constexpr char WideSeparator = '\xFE';

QByteArray favoriteLine(const QStringList &fields)
{
    QByteArrayList bytes;
    for (const QString &field : fields)
        bytes.append(field.toUtf8());
    return bytes.join(fields.join(QString()).contains(QLatin1Char('|')) ? WideSeparator : '|');
}

// Files written in a single-byte code page hold 0xFE as a letter (þ in the Western one), so
// the byte alone does not tell the form apart. Only a line in the exact shape favoriteLine
// gives it is taken in that form: four fields of UTF-8 text, one of them holding "|".
QList<QByteArray> favoriteFields(const QByteArray &line)
{
    if (line.contains(WideSeparator) && line.contains('|')) {
        const QList<QByteArray> fields = line.split(WideSeparator);
        if (fields.size() == 4 && std::all_of(fields.cbegin(), fields.cend(),
                                              [](const QByteArray &field) { return field.isValidUtf8(); }))
            return fields;
    }
    return line.split('|');
}

void popUp(ui::Form *form, const char *menuName)
{
    auto *menu = qobject_cast<ui::Menu *>(form->control(QLatin1String(menuName)));
    if (menu && menu->submenu())
        menu->submenu()->popup(QCursor::pos());
}

} // namespace

void Form1::connectFavoritesEvents()
{
    connect(cmdFav, &ui::CommandButton::Click, this, &Form1::cmdFav_Click);
    connect(Command4, &ui::CommandButton::Click, this, &Form1::Command4_Click);
    connect(Command1, &ui::CommandButton::Click, this, &Form1::Command1_Click);
    connect(ListView2, &ui::ListView::Click, this, &Form1::ListView2_Click);
    connect(ListView2, &ui::ListView::ColumnClick, this, &Form1::ListView2_ColumnClick);
    const auto connectItems = [this](const char *name, void (Form1::*handler)(int)) {
        for (QObject *item : controlArray(QLatin1String(name))) {
            const int index = ui::controlIndex(item);
            if (auto *menu = qobject_cast<ui::Menu *>(item))
                connect(menu, &ui::Menu::Click, this, [this, handler, index] { (this->*handler)(index); });
        }
    };
    connectItems("mnuActionItem", &Form1::mnuActionItem_Click);
    connectItems("mnuAction2Item", &Form1::mnuAction2Item_Click);
}

void Form1::saveFavorites()
{
    QByteArray content;
    const int count = ListView2->ListItems()->Count();
    for (int i = 1; i <= count; ++i) {
        const ui::ListItem *item = ListView2->ListItems()->Item(i);
        content +=
            scrambledLine(favoriteLine({item->Text(), item->Tag(), item->SubItems(1), item->SubItems(2)})) +
            "\r\n";
    }
    // Replaced whole or not at all: a failed write keeps the old favourites.
    SaveFileOrTell(platform::userFileForWriting(kFavoritesFile), content, QStringLiteral("Your favorites"));
}

void Form1::addFavorite(const FavoriteRecord &favorite)
{
    ui::ListItem *item = ListView2->ListItems()->Add(favorite.name);
    item->setTag(favorite.tag);
    item->setSubItems(1, favorite.category);
    item->setSubItems(2, favorite.type);
}

void Form1::loadFavorites()
{
    // Where the user folder could not take the file over, the old one still loads.
    const QString path = platform::readableFile(kFavoritesFile);
    if (!FileExists(path))
        return;
    const auto lines = platform::readLines(path, platform::LineEnds::Any);
    if (!lines)
        return;
    for (const QByteArray &line : *lines) {
        const QList<QByteArray> fields = favoriteFields(DecryptString(line));
        if (fields.size() < 2)
            continue;
        // A short line keeps what it has; the missing fields read empty.
        const auto field = [&fields](int i) { return platform::textOfUtf8(fields.value(i)); };
        addFavorite({field(0), field(1), field(2), field(3)});
    }
}

QString Form1::favoriteVideoId(const QString &tag)
{
    return tag.section(QLatin1Char('='), 1, 1);
}

void Form1::cmdFav_Click()
{
    popUp(this, "mnuActions");
}

void Form1::Command4_Click()
{
    popUp(this, "mnuActions2");
}

void Form1::mnuActionItem_Click(int Index)
{
    // The rating items stay hidden and do nothing.
    if (Index == 0)
        DoChannelAction(QStringLiteral("Favorites"));
}

void Form1::DoChannelAction(const QString &strAction)
{
    if (strAction != QLatin1String("Favorites"))
        return;
    const ui::ListItem *channel = ListView1->SelectedItem();
    if (!channel)
        return;
    addFavorite({channel->Text(), channel->Tag(), channel->SubItems(1), channel->SubItems(2)});
    saveFavorites();
}

void Form1::mnuAction2Item_Click(int Index)
{
    if (Index != 0)
        return;
    const ui::ListItem *video = ListView3->SelectedItem();
    if (!video)
        return;
    addFavorite({video->Text(), QStringLiteral("youtube=") + video->Key(), QString(), QString()});
    saveFavorites();
}

void Form1::Command1_Click()
{
    if (const ui::ListItem *item = ListView2->SelectedItem())
        ListView2->ListItems()->Remove(item->Index());
    saveFavorites();
}

void Form1::ListView2_Click()
{
    imgOffline->setVisible(false);
    if (chkLoad->Value() == ui::vbChecked)
        return;
    const ui::ListItem *item = ListView2->SelectedItem();
    if (!item)
        return;
    const QString title = item->Text();
    const QString tag = item->Tag();

    if (tag.contains(QLatin1String("youtube="), Qt::CaseInsensitive)) {
        showPlayer(false);
        showYouTubeVideo(title, favoriteVideoId(tag));
        return;
    }

    showPlayer(true);
    playIfOnline(tag, title);
}

void Form1::ListView2_ColumnClick(int column)
{
    EnhListView_SortColumns(ListView2, column, false);
}
