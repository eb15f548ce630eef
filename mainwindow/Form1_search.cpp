// Finding a channel by any part of its name: Ctrl+F opens a field over the bottom of the
// channel list, and the list then shows the channels of the category whose names hold what is
// typed, ignoring case and accents, whatever the type filter. Escape brings the list back.
#include "mainwindow/Form1.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QShortcut>
#include <functional>
#include <utility>

namespace
{

bool isEscape(const QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<const QKeyEvent *>(event);
    return key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier;
}

// Escape ends the search from the field and from the list it searches, where a click on a
// found channel leaves the keys; the window has no Escape of its own.
class SearchEscape : public QObject
{
public:
    SearchEscape(QLineEdit *field, QWidget *list, std::function<void()> escaped)
        : QObject(field), m_field(field), m_escaped(std::move(escaped))
    {
        field->installEventFilter(this);
        list->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (!isEscape(event) || m_field->isHidden())
            return false;
        m_escaped();
        return true;
    }

private:
    QLineEdit *m_field;
    std::function<void()> m_escaped;
};

} // namespace

void Form1::connectSearchEvents()
{
    auto *field = new QLineEdit;
    field->setObjectName(QStringLiteral("txtFind"));
    field->setPlaceholderText(QStringLiteral("Find a channel by name (Esc closes)"));
    field->setClearButtonEnabled(true);
    field->hide();
    new SearchEscape(field, ListView1, [this] {
        endChannelSearch(true);
        ListView1->setFocus(Qt::OtherFocusReason);
    });
    txtFind = field;
    ListView1->setFooter(field);
    connect(field, &QLineEdit::textChanged, this, &Form1::txtFind_Change);

    auto *find = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), this);
    find->setContext(Qt::WindowShortcut);
    connect(find, &QShortcut::activated, this, &Form1::txtFind_Open);
}

void Form1::txtFind_Open()
{
    // The editor's commands act on the list's items: a list cut down to the found ones would
    // save, replace and delete only those.
    if (blnAdmin || Frame1->isHidden())
        return;
    if (txtFind->isHidden()) {
        const ui::ListItem *selected = ListView1->SelectedItem();
        m_findHadSelection = selected != nullptr;
        m_findSelectedName = selected ? selected->Text() : QString();
        m_findSelectedUrl = selected ? selected->Tag() : QString();
        m_findScroll = ListView1->verticalScrollBar()->value();
        txtFind->show();
    }
    txtFind->setFocus(Qt::ShortcutFocusReason);
    txtFind->selectAll();
}

void Form1::txtFind_Change()
{
    if (txtFind->isHidden())
        return;
    const QString text = txtFind->text();
    if (text.isEmpty()) {
        restoreChannelList();
        return;
    }
    if (!m_findEveryType && strTypeFilter != QLatin1String("All")) {
        // Once per search: the channels the type filter left out are needed now.
        m_findEveryType = true;
        ListView1->setFilterText(QString());
        LoadChannels(true);
    }
    ListView1->setFilterText(text);
    showChannelCounts(ListView1->shownCount());
}

void Form1::endChannelSearch(bool restore)
{
    if (!txtFind || txtFind->isHidden())
        return;
    txtFind->hide();
    txtFind->clear();
    if (restore) {
        restoreChannelList();
    } else {
        // The caller fills the list anew.
        ListView1->setFilterText(QString());
        m_findEveryType = false;
    }
}

void Form1::restoreChannelList()
{
    // A channel the user picked among those found stays selected when the list still holds
    // it; otherwise the one selected before the search is selected again.
    QList<std::pair<QString, QString>> wanted;
    if (const ui::ListItem *picked = ListView1->SelectedItem())
        wanted.append({picked->Text(), picked->Tag()});
    const bool picked = !wanted.isEmpty();
    if (m_findHadSelection)
        wanted.append({m_findSelectedName, m_findSelectedUrl});
    ListView1->setFilterText(QString());
    if (m_findEveryType) {
        m_findEveryType = false;
        LoadChannels();
    } else {
        showChannelCounts(ListView1->ListItems()->Count());
    }
    ListView1->shownCount(); // places the rows
    ListView1->doItemsLayout();
    ListView1->verticalScrollBar()->setValue(m_findScroll);
    for (const auto &[name, url] : std::as_const(wanted)) {
        if (ListView1->SelectedItem())
            break;
        if (const int index = ListView1->ListItems()->IndexOf(name, url))
            ListView1->ListItems()->Item(index)->setSelected(true);
    }
    if (ui::ListItem *selected = ListView1->SelectedItem(); selected && picked)
        selected->EnsureVisible();
}
