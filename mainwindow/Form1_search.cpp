// Finding a channel by any part of its name: Ctrl+F opens a field over the bottom of the
// channel list, and the list then shows the channels of the category whose names hold what is
// typed, ignoring case and accents, whatever the type filter. Escape brings the list back.
#include "mainwindow/Form1.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QShortcut>
#include <functional>

namespace
{

// Escape belongs to the field while it has the keys: the window has no Escape of its own.
class FindField : public QLineEdit
{
public:
    using QLineEdit::QLineEdit;
    std::function<void()> escaped;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && escaped) {
            event->accept();
            escaped();
            return;
        }
        QLineEdit::keyPressEvent(event);
    }
};

} // namespace

void Form1::connectSearchEvents()
{
    auto *field = new FindField;
    field->setObjectName(QStringLiteral("txtFind"));
    field->setPlaceholderText(QStringLiteral("Find a channel by name (Esc closes)"));
    field->setClearButtonEnabled(true);
    field->hide();
    field->escaped = [this] {
        endChannelSearch(true);
        ListView1->setFocus(Qt::OtherFocusReason);
    };
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
