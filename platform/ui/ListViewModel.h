// The item model behind ui::ListView: rows of ListItems, kept sorted on demand.
// Added items wait in a pending list and are placed in one step, so a bulk fill costs one
// sort and one model notification instead of one per item. Sort texts that change wait the
// same way, so a thousand edits of a sorted list cost one re-sort.
#pragma once

#include <QAbstractItemModel>
#include <QList>
#include <QStringView>
#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

namespace ui
{

class ListItem;
class ListView;
struct TextPiece;

class ListViewModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    explicit ListViewModel(ListView *view);
    ~ListViewModel() override;

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    ListItem *add(const QString &text, const QString &key);
    ListItem *addPieces(const QString &chars, std::initializer_list<TextPiece> pieces);
    int count() const { return int(m_rows.size() + m_pending.size()); }
    // 0-based row; nullptr when out of range.
    ListItem *item(int row);
    ListItem *itemAt(const QModelIndex &index) const;
    void clear();
    bool remove(int row);
    int removeWhere(const std::function<bool(const ListItem &)> &drop);
    int rowOf(const ListItem *item);

    bool sorted() const { return m_sorted; }
    int sortKey() const { return m_sortKey; }
    int sortOrder() const { return m_sortOrder; }
    void setSortState(bool sorted, int column, int order);

    ListItem *selected() const { return m_selected; }
    void setSelected(ListItem *item);

    // Places pending items and applies a pending re-sort.
    void flush();
    // An item's text (column 0) or sub-item changed.
    void itemChanged(ListItem *item, int column);
    void columnsChanged();
    ListView *view() const { return m_view; }
    // True while a row is being removed: the view's own reselection is not the user's.
    bool removing() const { return m_removing; }

signals:
    void selectionReset();

private:
    // An item with the text it sorts by: its own characters when they are plain ASCII (folded
    // while compared), else a case-folded copy held in `folded`.
    using Keyed = std::pair<QStringView, ListItem *>;
    struct SortKeys {
        std::vector<Keyed> keyed;
        std::vector<QString> folded;
    };
    SortKeys keysOf(const QList<ListItem *> &items) const;
    QStringView sortView(const ListItem *item, std::vector<QString> &folded) const;
    bool lessThan(QStringView foldedA, QStringView foldedB) const;
    void stableSort(std::vector<Keyed> &keyed, bool byChangeOrder) const;
    void sortRows(bool byChangeOrder);
    void scheduleFlush();
    void resort(bool byChangeOrder);
    void renumber(int from);
    void noteChanged(int row);
    void emitChanges();

    ListView *m_view;
    QList<ListItem *> m_rows;
    QList<ListItem *> m_pending;
    ListItem *m_selected = nullptr;
    bool m_sorted = false;
    int m_sortKey = 0;
    int m_sortOrder = 0;
    bool m_resortPending = false;
    // Items whose sort text changed wait behind their equals in the order of their changes.
    bool m_changesPending = false;
    quint32 m_changeCount = 0;
    // Rows whose texts changed since the view was last told.
    int m_changedFirst = -1;
    int m_changedLast = -1;
    bool m_flushScheduled = false;
    bool m_removing = false;
};

} // namespace ui
