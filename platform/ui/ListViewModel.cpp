// The list view's rows: the shared text store, items made on demand, and the keep-sorted
// placement of added and edited rows.
#include "platform/ui/ListViewModel.h"

#include "platform/core/Text.h"
#include "platform/ui/ListView.h"
#include "platform/ui/PrefixSort.h"

#include <QStringDecoder>
#include <algorithm>
#include <iterator>
#include <numeric>
#include <utility>

namespace ui
{

// --- TextStore

char16_t *TextStore::reserve(qsizetype n)
{
    if (n > m_left) {
        // Blocks big enough that a fill of many rows costs few allocations, small enough that a
        // short list holds little.
        constexpr qsizetype blockSize = 128 * 1024;
        const qsizetype size = std::max(n, blockSize);
        m_blocks.emplace_back(new char16_t[size_t(size)]);
        m_free = m_blocks.back().get();
        m_left = size;
    }
    return m_free;
}

void TextStore::clear()
{
    m_blocks.clear();
    m_free = nullptr;
    m_left = 0;
}

// --- ListViewModel

ListViewModel::ListViewModel(ListView *view) : QAbstractItemModel(view), m_view(view) {}

ListViewModel::~ListViewModel()
{
    deleteItems();
}

void ListViewModel::deleteItems()
{
    for (Row &row : m_rows)
        delete row.item;
}

QModelIndex ListViewModel::index(int row, int column, const QModelIndex &parent) const
{
    if (parent.isValid() || row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return QModelIndex();
    return createIndex(row, column);
}

QModelIndex ListViewModel::parent(const QModelIndex &) const
{
    return QModelIndex();
}

int ListViewModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return filtering() ? int(m_shown.size()) : m_placed;
}

int ListViewModel::columnCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return std::max(1, m_view->ColumnHeaders()->Count());
}

QVariant ListViewModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.model() != this || index.row() >= rowCount() ||
        (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return QVariant();
    return columnView(m_rows[size_t(placedRow(index.row()))], index.column()).toString();
}

QVariant ListViewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    const ColumnHeader *header = m_view->ColumnHeaders()->Item(section + 1);
    return header ? header->Text() : QString();
}

Qt::ItemFlags ListViewModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

QStringView ListViewModel::storedText(const Row &row, int slot) const
{
    if (slot < 0 || slot >= StoredTexts)
        return QStringView();
    qsizetype at = 0;
    for (int i = 0; i < slot; ++i)
        at += row.sizes[i];
    return QStringView(row.chars + at, row.sizes[slot]);
}

QStringView ListViewModel::columnView(const Row &row, int column) const
{
    if (row.item)
        return row.item->columnView(column);
    if (column < 0)
        return QStringView();
    return storedText(row, column == 0 ? ListItem::TextField : ListItem::FirstSubItem + column - 1);
}

ListItem *ListViewModel::materialise(int row)
{
    Row &r = m_rows[size_t(row)];
    if (!r.item) {
        auto *item = new ListItem(this);
        int used = ListItem::FirstSubItem;
        for (int slot = used; slot < StoredTexts; ++slot) {
            if (r.sizes[slot] != 0)
                used = slot + 1;
        }
        qsizetype total = 0;
        for (int slot = 0; slot < used; ++slot) {
            item->m_pieces.append(TextPiece{total, r.sizes[slot]});
            total += r.sizes[slot];
        }
        item->m_chars = QString(reinterpret_cast<const QChar *>(r.chars), total);
        item->m_row = row < m_placed ? row : -1;
        r.item = item;
    }
    return r.item;
}

ListItem *ListViewModel::itemAt(const QModelIndex &index)
{
    if (!index.isValid() || index.model() != this || index.row() >= rowCount())
        return nullptr;
    return materialise(placedRow(index.row()));
}

void ListViewModel::addRow(const Row &row)
{
    m_rows.push_back(row);
    scheduleFlush();
}

ListItem *ListViewModel::add(const QString &text, const QString &key)
{
    auto *item = new ListItem(this);
    item->m_chars = text + key;
    const qsizetype size = text.size();
    item->m_pieces.append(TextPiece{0, size});
    item->m_pieces.append(TextPiece{size, 0});
    item->m_pieces.append(TextPiece{size, key.size()});
    addRow(Row{item, nullptr, {}});
    return item;
}

namespace
{

// Writes UTF-8 as UTF-16 to out, which has room for as many characters as there are bytes;
// answers how many it wrote.
qsizetype decodeInto(QByteArrayView utf8, char16_t *out)
{
    const char *in = utf8.data();
    const qsizetype n = utf8.size();
    uchar high = 0;
    for (qsizetype i = 0; i < n; ++i) {
        out[i] = uchar(in[i]);
        high |= uchar(in[i]);
    }
    if (high < 0x80)
        return n;
    QStringDecoder decoder = platform::utf8Decoder();
    return reinterpret_cast<char16_t *>(decoder.appendToBuffer(reinterpret_cast<QChar *>(out), utf8)) - out;
}

} // namespace

void ListViewModel::addTexts(std::initializer_list<ItemText> texts)
{
    if (texts.size() > size_t(StoredTexts)) {
        // More texts than a stored row holds: an item of its own from the start.
        auto *item = new ListItem(this);
        for (const ItemText &t : texts) {
            const QString text = t.m_isUtf8 ? platform::textOfUtf8(t.m_utf8) : t.m_text.toString();
            item->m_pieces.append({item->m_chars.size(), text.size()});
            item->m_chars += text;
        }
        addRow(Row{item, nullptr, {}});
        return;
    }
    qsizetype room = 0;
    for (const ItemText &t : texts)
        room += t.m_isUtf8 ? t.m_utf8.size() : t.m_text.size();
    Row row;
    char16_t *const start = m_store.reserve(room);
    char16_t *out = start;
    int slot = 0;
    for (const ItemText &t : texts) {
        qsizetype n;
        if (t.m_isUtf8) {
            n = decodeInto(t.m_utf8, out);
        } else {
            n = t.m_text.size();
            std::copy(t.m_text.utf16(), t.m_text.utf16() + n, out);
        }
        row.sizes[slot++] = quint32(n);
        out += n;
    }
    row.chars = start;
    m_store.commit(out - start);
    addRow(row);
}

ListItem *ListViewModel::item(int row)
{
    flush();
    return (row >= 0 && row < m_placed) ? materialise(row) : nullptr;
}

QStringView ListViewModel::keyView(int row)
{
    flush();
    if (row < 0 || row >= m_placed)
        return QStringView();
    const Row &r = m_rows[size_t(row)];
    return r.item ? r.item->keyView() : storedText(r, ListItem::KeyField);
}

void ListViewModel::clear()
{
    beginResetModel();
    deleteItems();
    m_rows.clear();
    m_placed = 0;
    m_store.clear();
    m_selected = nullptr;
    m_resortPending = false;
    m_changesPending = false;
    m_changedFirst = m_changedLast = -1;
    m_shown.clear();
    m_refilterPending = false;
    m_foldedTexts.clear();
    endResetModel();
    emit selectionReset();
}

bool ListViewModel::remove(int row)
{
    flush();
    if (row < 0 || row >= m_placed)
        return false;
    m_removing = true;
    ListItem *item = m_rows[size_t(row)].item;
    const auto take = [&] {
        m_rows.erase(m_rows.begin() + row);
        --m_placed;
        renumber(row);
        if (item && m_selected == item)
            m_selected = nullptr;
    };
    if (filtering()) {
        resetWith(take);
    } else {
        beginRemoveRows(QModelIndex(), row, row);
        take();
        endRemoveRows();
    }
    m_removing = false;
    m_foldedTexts.erase(item);
    delete item;
    emit selectionReset();
    return true;
}

int ListViewModel::removeWhere(const std::function<bool(const ListItem &)> &drop)
{
    flush();
    std::vector<Row> kept;
    std::vector<ListItem *> dropped;
    kept.reserve(m_rows.size());
    for (int i = 0; i < m_placed; ++i) {
        ListItem *item = materialise(i);
        if (drop(*item))
            dropped.push_back(item);
        else
            kept.push_back(m_rows[size_t(i)]);
    }
    if (dropped.empty())
        return 0;
    m_removing = true;
    beginResetModel();
    m_rows = std::move(kept);
    m_placed = int(m_rows.size());
    renumber(0);
    if (std::find(dropped.begin(), dropped.end(), m_selected) != dropped.end())
        m_selected = nullptr;
    if (filtering())
        refilter();
    endResetModel();
    m_removing = false;
    for (ListItem *item : dropped) {
        m_foldedTexts.erase(item);
        delete item;
    }
    emit selectionReset();
    return int(dropped.size());
}

int ListViewModel::rowOf(const ListItem *item)
{
    if (item->m_row < 0 || m_resortPending || m_changesPending)
        flush();
    return item->m_row;
}

int ListViewModel::find(QStringView text, QStringView tag)
{
    flush();
    for (int row = 0; row < m_placed; ++row) {
        const Row &r = m_rows[size_t(row)];
        const auto field = [&r, this](int slot) {
            return r.item ? r.item->field(slot) : storedText(r, slot);
        };
        if (field(ListItem::TextField) == text && field(ListItem::TagField) == tag)
            return row;
    }
    return -1;
}

// Setting Sorted, SortKey and SortOrder in a row costs one sort, done when the items are
// next needed.
void ListViewModel::setSortState(bool sorted, int column, int order)
{
    column = std::max(0, column);
    order = order == 0 ? 0 : 1;
    if (sorted == m_sorted && column == m_sortKey && order == m_sortOrder)
        return;
    // Edits made under the old order take their places first: the new sort keeps equals as
    // they then stand.
    if (m_changesPending)
        flush();
    m_sorted = sorted;
    m_sortKey = column;
    m_sortOrder = order;
    if (m_sorted) {
        m_resortPending = true;
        scheduleFlush();
    }
}

void ListViewModel::setSelected(ListItem *item)
{
    if (item && item->m_row < 0)
        flush();
    m_selected = item;
    emit selectionReset();
}

void ListViewModel::scheduleFlush()
{
    if (m_flushScheduled)
        return;
    m_flushScheduled = true;
    QMetaObject::invokeMethod(
        this, [this] { flush(); }, Qt::QueuedConnection);
}

void ListViewModel::renumber(int from)
{
    for (int i = from; i < m_placed; ++i) {
        if (ListItem *item = m_rows[size_t(i)].item)
            item->m_row = i;
    }
}

namespace
{

char16_t asciiFolded(char16_t c)
{
    return (c >= u'A' && c <= u'Z') ? char16_t(c + (u'a' - u'A')) : c;
}

// Compares two texts as their case-folded forms compare, for texts that are either plain
// ASCII or already folded (folding leaves no A-Z behind).
int compareFolded(QStringView a, QStringView b)
{
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t x = asciiFolded(a[i].unicode());
        const char16_t y = asciiFolded(b[i].unicode());
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

} // namespace

ListViewModel::SortValue ListViewModel::sortValueOf(int row, std::vector<QString> &folded) const
{
    const Row &r = m_rows[size_t(row)];
    QStringView text = columnView(r, m_sortKey);
    char16_t high = 0;
    for (const QChar c : text)
        high |= c.unicode();
    if (high >= 0x80) {
        folded.push_back(text.toString().toCaseFolded());
        text = folded.back();
    }
    // A shorter text pads with the smallest character: prefixes that differ order as the
    // texts do, and equal ones leave it to the whole texts.
    quint64 prefix = 0;
    for (qsizetype i = 0; i < 4; ++i)
        prefix = (prefix << 16) | (i < text.size() ? asciiFolded(text[i].unicode()) : 0);
    return SortValue{prefix, text, row, r.item ? r.item->m_changeOrder : 0};
}

ListViewModel::SortValues ListViewModel::sortValuesOf(int from, int to) const
{
    SortValues result;
    result.values.reserve(size_t(to - from));
    // Folded copies are few; their characters stay put when the vector grows.
    for (int row = from; row < to; ++row)
        result.values.push_back(sortValueOf(row, result.folded));
    return result;
}

int ListViewModel::compare(const SortValue &a, const SortValue &b) const
{
    int c = a.prefix == b.prefix ? 0 : (a.prefix < b.prefix ? -1 : 1);
    if (c == 0 && (a.text.size() > 4 || b.text.size() > 4))
        c = compareFolded(a.text, b.text);
    else if (c == 0)
        c = a.text.size() == b.text.size() ? 0 : (a.text.size() < b.text.size() ? -1 : 1);
    return m_sortOrder == 0 ? c : -c;
}

// Equal texts keep their order: the values come in row order and the sort is stable.
void ListViewModel::sortByValue(std::vector<SortValue> &values, bool byChangeOrder) const
{
    const quint64 flip = m_sortOrder == 0 ? 0 : ~quint64(0);
    prefixSort(
        values, [flip](const SortValue &v) { return v.prefix ^ flip; },
        [this, byChangeOrder](const SortValue &a, const SortValue &b) {
            if (const int c = compare(a, b))
                return c < 0;
            // An edited item goes behind the items of equal text, the later edit the further.
            return byChangeOrder && a.changeOrder < b.changeOrder;
        });
}

std::vector<int> ListViewModel::reorder(const std::vector<SortValue> &values)
{
    std::vector<Row> rows;
    rows.reserve(m_rows.size());
    std::vector<int> newRow(values.size());
    for (const SortValue &v : values) {
        newRow[size_t(v.row)] = int(rows.size());
        rows.push_back(m_rows[size_t(v.row)]);
        if (ListItem *item = rows.back().item)
            item->m_changeOrder = 0;
    }
    rows.insert(rows.end(), m_rows.begin() + qsizetype(values.size()), m_rows.end());
    m_rows = std::move(rows);
    renumber(0);
    return newRow;
}

template <typename Work> void ListViewModel::resetWith(Work work)
{
    beginResetModel();
    work();
    if (filtering())
        refilter();
    endResetModel();
    emit selectionReset();
}

void ListViewModel::noteChanged(int row)
{
    if (m_changedFirst < 0) {
        m_changedFirst = m_changedLast = row;
        scheduleFlush();
    } else {
        m_changedFirst = std::min(m_changedFirst, row);
        m_changedLast = std::max(m_changedLast, row);
    }
}

// One notice for every row changed since the last one.
void ListViewModel::emitChanges()
{
    if (m_changedFirst < 0)
        return;
    int first = m_changedFirst;
    int last = std::min(m_changedLast, m_placed - 1);
    m_changedFirst = m_changedLast = -1;
    if (filtering() && first <= last) {
        // The shown rows between the first and the last changed one.
        first = int(std::lower_bound(m_shown.begin(), m_shown.end(), first) - m_shown.begin());
        last = int(std::upper_bound(m_shown.begin(), m_shown.end(), last) - m_shown.begin()) - 1;
    }
    if (first <= last)
        emit dataChanged(index(first, 0), index(last, columnCount() - 1));
}

void ListViewModel::flush()
{
    m_flushScheduled = false;
    emitChanges();
    const bool waiting = m_rows.size() > size_t(m_placed);
    if (m_resortPending) {
        m_resortPending = false;
        m_changesPending = false;
        if (!waiting) {
            resort(false);
            return;
        }
        // The new order takes in the waiting rows: all are placed in one step.
        resetWith([this] {
            m_placed = int(m_rows.size());
            SortValues all = sortValuesOf(0, m_placed);
            sortByValue(all.values, false);
            reorder(all.values);
        });
        return;
    }
    if (m_changesPending) {
        m_changesPending = false;
        resort(true);
    }
    if (waiting)
        placeWaitingRows();
    if (m_refilterPending)
        resetWith([] {});
}

void ListViewModel::placeWaitingRows()
{
    const int first = m_placed;
    const int total = int(m_rows.size());
    if (m_sorted) {
        SortValues added = sortValuesOf(first, total);
        sortByValue(added.values, false);
        if (first > 0) {
            const SortValues placed = sortValuesOf(0, first);
            std::vector<SortValue> merged;
            merged.reserve(size_t(total));
            // Rows already listed come first among equals: the later a row arrives, the later it sits.
            std::merge(placed.values.begin(), placed.values.end(), added.values.begin(), added.values.end(),
                       std::back_inserter(merged),
                       [this](const SortValue &a, const SortValue &b) { return compare(a, b) < 0; });
            // New rows among the listed ones: the view takes the list afresh.
            resetWith([&] {
                m_placed = total;
                reorder(merged);
            });
            return;
        }
        // The rows are put in order before the view hears of them.
        m_placed = total;
        reorder(added.values);
        m_placed = first;
    }
    if (filtering()) {
        resetWith([&] {
            m_placed = total;
            renumber(first);
        });
        return;
    }
    beginInsertRows(QModelIndex(), first, total - 1);
    m_placed = total;
    renumber(first);
    endInsertRows();
}

void ListViewModel::resort(bool byChangeOrder)
{
    if (filtering()) {
        // The shown rows are found again in the new order.
        resetWith([&] {
            SortValues all = sortValuesOf(0, m_placed);
            sortByValue(all.values, byChangeOrder);
            reorder(all.values);
        });
        return;
    }
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    SortValues all = sortValuesOf(0, m_placed);
    sortByValue(all.values, byChangeOrder);
    const std::vector<int> newRow = reorder(all.values);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex &index : before)
        after.append(createIndex(newRow[size_t(index.row())], index.column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void ListViewModel::itemChanged(ListItem *item, int column)
{
    const int row = item->m_row;
    if (column == 0) {
        m_foldedTexts.erase(item);
        if (filtering() && row >= 0) {
            // The new text may be found or no longer.
            m_refilterPending = true;
            scheduleFlush();
        }
    }
    if (row < 0)
        return; // still waiting: placed by the next flush
    if (m_sorted && !m_resortPending && column == m_sortKey) {
        item->m_changeOrder = ++m_changeCount;
        m_changesPending = true;
        scheduleFlush();
    }
    noteChanged(row);
}

void ListViewModel::setFilter(const QString &text)
{
    flush();
    TextFinder finder(text);
    m_filterText = text;
    m_refilterPending = false;
    if (finder.folded() == m_finder.folded())
        return;
    const bool narrowed = filtering() && finder.narrows(m_finder);
    beginResetModel();
    m_finder = std::move(finder);
    if (filtering())
        refilter(narrowed);
    else
        m_shown.clear();
    endResetModel();
    emit selectionReset();
}

int ListViewModel::shownCount()
{
    flush();
    return rowCount();
}

int ListViewModel::viewRowOf(int row) const
{
    if (row < 0 || row >= m_placed || !filtering())
        return row < m_placed ? row : -1;
    const auto at = std::lower_bound(m_shown.begin(), m_shown.end(), row);
    return (at != m_shown.end() && *at == row) ? int(at - m_shown.begin()) : -1;
}

bool ListViewModel::rowMatches(int row)
{
    const Row &r = m_rows[size_t(row)];
    const QStringView text = columnView(r, 0);
    if (isPlainAscii(text))
        return m_finder.inPlainAscii(text);
    const void *key = r.item ? static_cast<const void *>(r.item) : static_cast<const void *>(r.chars);
    auto [at, added] = m_foldedTexts.try_emplace(key);
    if (added)
        at->second = foldedForFinding(text);
    return m_finder.inFolded(at->second);
}

void ListViewModel::refilter(bool narrowed)
{
    m_refilterPending = false;
    std::vector<int> candidates;
    if (!narrowed) {
        candidates.resize(size_t(m_placed));
        std::iota(candidates.begin(), candidates.end(), 0);
    }
    const std::vector<int> &rows = narrowed ? m_shown : candidates;
    std::vector<int> shown;
    // A sorted list reads its texts all over memory: asking for those a few rows ahead
    // early keeps the scan from waiting on each in turn.
    constexpr size_t ahead = 16;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (i + ahead < rows.size()) {
            const Row &next = m_rows[size_t(rows[i + ahead])];
            __builtin_prefetch(next.item ? static_cast<const void *>(next.item->m_chars.constData())
                                         : static_cast<const void *>(next.chars));
        }
        if (rowMatches(rows[i]))
            shown.push_back(rows[i]);
    }
    m_shown = std::move(shown);
    // What the user cannot see is not what a command acts on.
    if (m_selected && viewRowOf(m_selected->m_row) < 0)
        m_selected = nullptr;
}

void ListViewModel::columnsChanged()
{
    flush();
    beginResetModel();
    endResetModel();
    emit selectionReset();
}

} // namespace ui
