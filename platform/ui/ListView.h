// The report-style list view: column headers, list items with sub-items, and the
// original control's keep-sorted mode. A tree view over a model of its own, so that a
// hundred thousand items fill at once.
#pragma once

#include "platform/ui/ControlProperties.h"

#include <QByteArrayView>
#include <QList>
#include <QStringList>
#include <QStringView>
#include <QTreeView>
#include <QVarLengthArray>
#include <functional>
#include <initializer_list>

namespace ui
{

class ListView;
class ListViewModel;

// Where one text of an item sits among its characters.
struct TextPiece {
    qsizetype start = 0;
    qsizetype size = 0;
};

// One text of an item added in bulk: UTF-8 bytes or characters, read when the item is added.
class ItemText
{
public:
    ItemText(QByteArrayView utf8) : m_utf8(utf8), m_isUtf8(true) {}
    ItemText(const QByteArray &utf8) : m_utf8(utf8), m_isUtf8(true) {}
    ItemText(QStringView text) : m_text(text) {}
    ItemText(const QString &text) : m_text(text) {}

private:
    friend class ListViewModel;
    QByteArrayView m_utf8;
    QStringView m_text;
    bool m_isUtf8 = false;
};

// The texts of an item (text, tag, key, sub-items) live in one string of its own: the editor
// makes every row an item, and one allocation per item keeps its commands on big lists quick.
class ListItem
{
public:
    QString Text() const { return field(TextField).toString(); }
    void setText(const QString &text);
    QString Tag() const { return field(TagField).toString(); }
    void setTag(const QString &tag) { setField(TagField, tag); }
    QString Key() const { return field(KeyField).toString(); }
    void setKey(const QString &key) { setField(KeyField, key); }
    // Sub-items are numbered from 1; one that was never set reads empty.
    QString SubItems(int i) const { return subItemView(i).toString(); }
    void setSubItems(int i, const QString &text);
    bool Selected() const;
    void setSelected(bool selected);
    // Position in the list, from 1.
    int Index() const;
    void EnsureVisible();
    ListView *listView() const;

    // Text of column 0 (the item text) or of sub-item `column`.
    QString columnText(int column) const { return columnView(column).toString(); }
    // The same texts without a copy; valid until the item changes.
    QStringView columnView(int column) const { return column == 0 ? field(TextField) : subItemView(column); }
    QStringView subItemView(int i) const { return i >= 1 ? field(FirstSubItem + i - 1) : QStringView(); }
    QStringView keyView() const { return field(KeyField); }

private:
    friend class ListViewModel;
    friend class ListView;
    enum { TextField = 0, TagField = 1, KeyField = 2, FirstSubItem = 3 };
    explicit ListItem(ListViewModel *model) : m_model(model) {}

    QStringView field(int slot) const
    {
        if (slot >= m_pieces.size())
            return QStringView();
        const TextPiece &p = m_pieces[slot];
        return QStringView(m_chars).mid(p.start, p.size);
    }
    void setField(int slot, QStringView text);

    ListViewModel *m_model;
    QString m_chars;
    QVarLengthArray<TextPiece, 7> m_pieces; // text, tag, key, then the sub-items
    int m_row = -1;                         // -1 while waiting to be placed
    quint32 m_changeOrder = 0;              // when its sort text changed, while a re-sort waits
};

class ColumnHeader
{
public:
    QString Text() const { return m_text; }
    void setText(const QString &text);
    QString Key() const { return m_key; }
    void setKey(const QString &key) { m_key = key; }
    // Twips; 0 hides the column.
    int Width() const;
    void setWidth(int twips);
    // Position among the headers, from 1.
    int Index() const;

private:
    friend class ColumnHeaderCollection;
    friend class ListView;
    explicit ColumnHeader(ListView *view) : m_view(view) {}

    ListView *m_view;
    QString m_text;
    QString m_key;
    TwipsValue m_width;
    int m_widthPixels = 96;
};

class ColumnHeaderCollection
{
public:
    ~ColumnHeaderCollection();
    // Width in twips; -1 = the original default of 1440.
    ColumnHeader *Add(const QString &text, int widthTwips = -1, const QString &key = QString());
    int Count() const { return int(m_headers.size()); }
    // 1-based; nullptr when out of range.
    ColumnHeader *Item(int index) const;
    // nullptr when no header has that key (case-sensitive, as keys are).
    ColumnHeader *Item(const QString &key) const;
    void Clear();
    bool Remove(int index);

private:
    friend class ListView;
    friend class ColumnHeader;
    explicit ColumnHeaderCollection(ListView *view) : m_view(view) {}

    ListView *m_view;
    QList<ColumnHeader *> m_headers;
};

class ListItemCollection
{
public:
    // Adds at the end, or at the sorted place while the list view is Sorted.
    ListItem *Add(const QString &text, const QString &key = QString());
    // Adds an item with the texts text, tag, key, then sub-items 1, 2, ..., placed as Add places
    // it. The bulk fill's way in: the texts go into a store all rows share and the ListItem is
    // made only when Item() or a click asks for it.
    void AddTexts(std::initializer_list<ItemText> texts);
    int Count() const;
    // 1-based; nullptr when out of range.
    ListItem *Item(int index) const;
    // The key of item `index` (1-based) without making the item; valid until the item changes
    // or goes. Empty when out of range.
    QStringView keyView(int index) const;
    void Clear();
    // 1-based; false when out of range.
    bool Remove(int index);
    // Removes every item `drop` answers true for, asked in list order, in one step; answers
    // how many went.
    int RemoveWhere(const std::function<bool(const ListItem &)> &drop);
    // The index (from 1) of the first item with this text and tag, read without making items;
    // 0 when there is none.
    int IndexOf(QStringView text, QStringView tag) const;

private:
    friend class ListView;
    explicit ListItemCollection(ListViewModel *model) : m_model(model) {}

    ListViewModel *m_model;
};

class ListView : public QTreeView
{
    Q_OBJECT
    UI_CONTROL("ListView")
    Q_PROPERTY(bool Sorted READ Sorted WRITE setSorted)
    Q_PROPERTY(int SortKey READ SortKey WRITE setSortKey)
    Q_PROPERTY(int SortOrder READ SortOrder WRITE setSortOrder)
    Q_PROPERTY(bool HideSelection READ HideSelection WRITE setHideSelection)
    Q_PROPERTY(bool FullRowSelect READ FullRowSelect WRITE setFullRowSelect)
    Q_PROPERTY(int LabelEdit READ LabelEdit WRITE setLabelEdit)
    Q_PROPERTY(bool GridLines READ GridLines WRITE setGridLines)
    Q_PROPERTY(int View READ View WRITE setView)

public:
    enum { lvwAscending = 0, lvwDescending = 1 };
    enum { lvwAutomatic = 0, lvwManual = 1 };
    enum { lvwIcon = 0, lvwSmallIcon = 1, lvwList = 2, lvwReport = 3 };

    Q_INVOKABLE explicit ListView(QWidget *parent = nullptr);
    ~ListView() override;

    ColumnHeaderCollection *ColumnHeaders() const { return m_columns; }
    ListItemCollection *ListItems() const { return m_items; }
    // nullptr when no item is selected.
    ListItem *SelectedItem() const;
    void setSelectedItem(ListItem *item);

    // While Sorted, the items are kept ordered by column SortKey (0 = item text, n = sub-item
    // n) as text ignoring case, ascending (0) or descending (1); equal texts keep their order.
    bool Sorted() const;
    void setSorted(bool sorted);
    int SortKey() const;
    void setSortKey(int column);
    int SortOrder() const;
    void setSortOrder(int order);

    bool HideSelection() const { return m_hideSelection; }
    void setHideSelection(bool hide);
    bool FullRowSelect() const { return m_fullRowSelect; }
    void setFullRowSelect(bool on);
    int LabelEdit() const { return m_labelEdit; }
    void setLabelEdit(int mode);
    bool GridLines() const { return m_gridLines; }
    void setGridLines(bool on) { m_gridLines = on; }
    // Only the report view is drawn; other views are kept as a value.
    int View() const { return m_view; }
    void setView(int view) { m_view = view; }

    // Shows only the items whose text holds `text`, ignoring letter case and accents; an
    // empty text shows them all. ListItems() keeps every item in its order; a selected item
    // that the filter hides is no longer selected.
    void setFilterText(const QString &text);
    QString FilterText() const;
    // How many items the list shows.
    int shownCount() const;

    // A widget kept along the bottom of the list's area while it is shown: the rows end above
    // it, so none is ever out of reach beneath it. The list view takes it as its child.
    void setFooter(QWidget *footer);

    ListViewModel *listModel() const { return m_model; }

signals:
    // A click on an item by the user (the item is selected by then), then Click().
    void ItemClick(ui::ListItem *Item);
    void Click();
    void DblClick();
    // A click on a column header; columns are numbered from 1.
    void ColumnClick(int column);

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void updateGeometries() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    friend class ColumnHeader;
    friend class ColumnHeaderCollection;
    friend class ListViewModel;
    void columnsChanged();
    void applyColumnWidth(int column);
    void syncSelectionToView();
    void updateSelectionColors();

    ListViewModel *m_model;
    ColumnHeaderCollection *m_columns;
    ListItemCollection *m_items;
    // The user must see which row "Add to Favorites" and the like act on after the focus moved.
    bool m_hideSelection = false;
    bool m_fullRowSelect = false;
    int m_labelEdit = lvwAutomatic;
    bool m_gridLines = false;
    int m_view = lvwReport;
    bool m_syncingSelection = false;
    QWidget *m_footer = nullptr;
};

} // namespace ui
