// The item model behind ui::ListView: rows kept sorted on demand.
// A row's texts live in a store shared by all rows; the ListItem a window works with is made
// when one is first asked for, and from then on holds the texts itself. Added rows wait at the
// end and are placed in one step, so a bulk fill costs one sort and one model notification
// instead of one per item. Sort texts that change wait the same way, so a thousand edits of a
// sorted list cost one re-sort. A filter shows the view a part of the rows, in their order.
#pragma once

#include "platform/ui/ListViewFilter.h"

#include <QAbstractItemModel>
#include <QStringView>
#include <functional>
#include <initializer_list>
#include <memory>
#include <unordered_map>
#include <vector>

namespace ui
{

class ItemText;
class ListItem;
class ListView;

// Characters that stay where they are until the store is cleared.
class TextStore
{
public:
    // Room for n characters; what is used of it is then given to commit().
    char16_t *reserve(qsizetype n);
    void commit(qsizetype used) { m_free += used, m_left -= used; }
    void clear();

private:
    std::vector<std::unique_ptr<char16_t[]>> m_blocks;
    char16_t *m_free = nullptr;
    qsizetype m_left = 0;
};

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
    void addTexts(std::initializer_list<ItemText> texts);
    int count() const { return int(m_rows.size()); }
    // 0-based row; nullptr when out of range.
    ListItem *item(int row);
    ListItem *itemAt(const QModelIndex &index);
    // The Key of a row without making its item; valid until the row changes or goes.
    QStringView keyView(int row);
    void clear();
    bool remove(int row);
    int removeWhere(const std::function<bool(const ListItem &)> &drop);
    int rowOf(const ListItem *item);
    // The first placed row with this text and tag; -1 when none.
    int find(QStringView text, QStringView tag);

    bool sorted() const { return m_sorted; }
    int sortKey() const { return m_sortKey; }
    int sortOrder() const { return m_sortOrder; }
    void setSortState(bool sorted, int column, int order);

    ListItem *selected() const { return m_selected; }
    void setSelected(ListItem *item);

    // Places waiting rows and applies a pending re-sort.
    void flush();
    // An item's text (column 0) or sub-item changed.
    void itemChanged(ListItem *item, int column);
    void columnsChanged();
    ListView *view() const { return m_view; }
    // True while a row is being removed: the view's own reselection is not the user's.
    bool removing() const { return m_removing; }

    // The view shows only the rows whose text (column 0) holds `text` as TextFinder finds it;
    // an empty text shows them all. The rows, their order and count() stay as they are.
    void setFilter(const QString &text);
    QString filter() const { return m_filterText; }
    bool filtering() const { return !m_finder.isEmpty(); }
    // Rows the view shows.
    int shownCount();
    // The view's row of a placed row; -1 while the filter hides it.
    int viewRowOf(int row) const;

signals:
    void selectionReset();

private:
    // Texts kept in the store: text, tag, key and five sub-items. An item with more is made at once.
    static constexpr int StoredTexts = 8;
    struct Row {
        ListItem *item = nullptr;        // once made, it holds the texts
        const char16_t *chars = nullptr; // the stored texts, one after another, as an item holds them
        quint32 sizes[StoredTexts] = {};
    };
    // What a row sorts by: the text of the sort column (its own characters when plain ASCII,
    // folded while compared, else a case-folded copy) and, to compare quickly, its first four
    // folded characters packed in a number.
    struct SortValue {
        quint64 prefix;
        QStringView text;
        int row;
        quint32 changeOrder;
    };
    struct SortValues {
        std::vector<SortValue> values;
        std::vector<QString> folded; // the characters of the folded copies
    };

    QStringView storedText(const Row &row, int slot) const;
    QStringView columnView(const Row &row, int column) const;
    // The row's item, made from its stored texts the first time it is asked for.
    ListItem *materialise(int row);
    void addRow(const Row &row);
    SortValues sortValuesOf(int from, int to) const;
    SortValue sortValueOf(int row, std::vector<QString> &folded) const;
    int compare(const SortValue &a, const SortValue &b) const;
    void sortByValue(std::vector<SortValue> &values, bool byChangeOrder) const;
    // Puts the placed rows in the order of values; answers the new row of each old one.
    std::vector<int> reorder(const std::vector<SortValue> &values);
    void placeWaitingRows();
    void scheduleFlush();
    void resort(bool byChangeOrder);
    void renumber(int from);
    void noteChanged(int row);
    void emitChanges();
    void deleteItems();
    // The placed row behind a row of the view.
    int placedRow(int viewRow) const { return filtering() ? m_shown[size_t(viewRow)] : viewRow; }
    bool rowMatches(int row);
    // Finds the shown rows again: among those shown only, when the filter only narrowed.
    void refilter(bool narrowed = false);
    // Runs work between a reset's two notices; the filter then finds its rows again.
    template <typename Work> void resetWith(Work work);

    ListView *m_view;
    // The placed rows, then those waiting to be placed.
    std::vector<Row> m_rows;
    int m_placed = 0;
    TextStore m_store;
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
    // The filter: its text as given and folded, the placed rows it lets through in their order,
    // and the folded texts of rows whose text is not plain ASCII, by row item or characters.
    QString m_filterText;
    TextFinder m_finder;
    std::vector<int> m_shown;
    bool m_refilterPending = false;
    std::unordered_map<const void *, QString> m_foldedTexts;
};

} // namespace ui
