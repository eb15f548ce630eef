// The list view: items, column headers, selection and the keep-sorted mode.
#include "platform/ui/ListView.h"

#include "platform/core/Text.h"
#include "platform/ui/ListViewModel.h"

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QTimer>
#include <algorithm>
#include <utility>

namespace ui
{

// --- ListItem

void ListItem::setField(int slot, QStringView text)
{
    if (m_pieces.size() <= slot)
        m_pieces.resize(slot + 1);
    TextPiece &piece = m_pieces[slot];
    if (text.isEmpty()) {
        piece.size = 0;
        return;
    }
    if (text.size() <= piece.size) {
        // Shorter or equal: in place. Pieces never share characters.
        std::copy(text.begin(), text.end(), m_chars.data() + piece.start);
        piece.size = text.size();
        return;
    }
    qsizetype live = text.size();
    for (const TextPiece &p : std::as_const(m_pieces))
        live += p.size;
    if (m_chars.size() + text.size() > 2 * live + 32) {
        // Edits left more dead characters than live ones: pack the live ones together.
        QString packed;
        packed.reserve(live);
        for (qsizetype i = 0; i < m_pieces.size(); ++i) {
            TextPiece &p = m_pieces[i];
            const qsizetype at = packed.size();
            if (i != slot)
                packed.append(QStringView(m_chars).mid(p.start, p.size));
            p.start = at;
            if (i == slot)
                p.size = 0;
        }
        m_chars = std::move(packed);
    }
    piece.start = m_chars.size();
    piece.size = text.size();
    m_chars.append(text);
}

void ListItem::setText(const QString &text)
{
    setField(TextField, text);
    m_model->itemChanged(this, 0);
}

void ListItem::setSubItems(int i, const QString &text)
{
    if (i < 1)
        return;
    setField(FirstSubItem + i - 1, text);
    m_model->itemChanged(this, i);
}

bool ListItem::Selected() const
{
    return m_model->selected() == this;
}

void ListItem::setSelected(bool selected)
{
    if (selected)
        m_model->setSelected(this);
    else if (Selected())
        m_model->setSelected(nullptr);
}

int ListItem::Index() const
{
    return m_model->rowOf(this) + 1;
}

void ListItem::EnsureVisible()
{
    const int row = m_model->rowOf(this);
    m_model->view()->scrollTo(m_model->index(row, 0));
}

ListView *ListItem::listView() const
{
    return m_model->view();
}

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
    if (parent.isValid() || row < 0 || row >= m_placed || column < 0 || column >= columnCount())
        return QModelIndex();
    return createIndex(row, column);
}

QModelIndex ListViewModel::parent(const QModelIndex &) const
{
    return QModelIndex();
}

int ListViewModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_placed;
}

int ListViewModel::columnCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return std::max(1, m_view->ColumnHeaders()->Count());
}

QVariant ListViewModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.model() != this || index.row() >= m_placed ||
        (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return QVariant();
    const int column = index.column();
    return rowText(m_rows[size_t(index.row())], column == 0 ? ListItem::TextField : ListItem::FirstSubItem + column - 1)
        .toString();
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

QStringView ListViewModel::rowText(const Row &row, int slot) const
{
    if (row.item)
        return row.item->field(slot);
    if (slot < 0 || slot >= StoredTexts)
        return QStringView();
    qsizetype at = 0;
    for (int i = 0; i < slot; ++i)
        at += row.sizes[i];
    return QStringView(row.chars + at, row.sizes[slot]);
}

ListItem *ListViewModel::handle(int row)
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
    if (!index.isValid() || index.model() != this || index.row() >= m_placed)
        return nullptr;
    return handle(index.row());
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
    return (row >= 0 && row < m_placed) ? handle(row) : nullptr;
}

QStringView ListViewModel::keyView(int row)
{
    flush();
    return (row >= 0 && row < m_placed) ? rowText(m_rows[size_t(row)], ListItem::KeyField) : QStringView();
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
    endResetModel();
    emit selectionReset();
}

bool ListViewModel::remove(int row)
{
    flush();
    if (row < 0 || row >= m_placed)
        return false;
    m_removing = true;
    beginRemoveRows(QModelIndex(), row, row);
    ListItem *item = m_rows[size_t(row)].item;
    m_rows.erase(m_rows.begin() + row);
    --m_placed;
    renumber(row);
    if (item && m_selected == item)
        m_selected = nullptr;
    endRemoveRows();
    m_removing = false;
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
        ListItem *item = handle(i);
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
    endResetModel();
    m_removing = false;
    for (ListItem *item : dropped)
        delete item;
    emit selectionReset();
    return int(dropped.size());
}

int ListViewModel::rowOf(const ListItem *item)
{
    if (item->m_row < 0 || m_resortPending || m_changesPending)
        flush();
    return item->m_row;
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

ListViewModel::Keyed ListViewModel::keyOf(int row, std::vector<QString> &folded) const
{
    const Row &r = m_rows[size_t(row)];
    QStringView text = rowText(r, m_sortKey == 0 ? ListItem::TextField : ListItem::FirstSubItem + m_sortKey - 1);
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
    return Keyed{prefix, text, row, r.item ? r.item->m_changeOrder : 0};
}

ListViewModel::SortKeys ListViewModel::keysOf(int from, int to) const
{
    SortKeys keys;
    keys.keyed.reserve(size_t(to - from));
    // Folded copies are few; their characters stay put when the vector grows.
    for (int row = from; row < to; ++row)
        keys.keyed.push_back(keyOf(row, keys.folded));
    return keys;
}

int ListViewModel::compareKeys(const Keyed &a, const Keyed &b) const
{
    int c = a.prefix == b.prefix ? 0 : (a.prefix < b.prefix ? -1 : 1);
    if (c == 0 && (a.text.size() > 4 || b.text.size() > 4))
        c = compareFolded(a.text, b.text);
    else if (c == 0)
        c = a.text.size() == b.text.size() ? 0 : (a.text.size() < b.text.size() ? -1 : 1);
    return m_sortOrder == 0 ? c : -c;
}

void ListViewModel::sortKeys(std::vector<Keyed> &keyed, bool byChangeOrder) const
{
    // Equal texts keep their order (rows are numbered in it): a stable sort.
    const auto before = [this, byChangeOrder](const Keyed &a, const Keyed &b) {
        if (const int c = compareKeys(a, b))
            return c < 0;
        // An edited item goes behind the items of equal text, the later edit the further.
        if (byChangeOrder && a.changeOrder != b.changeOrder)
            return a.changeOrder < b.changeOrder;
        return a.row < b.row;
    };
    if (keyed.size() < 1024) {
        std::sort(keyed.begin(), keyed.end(), before);
        return;
    }
    // Many rows: first by prefix, a character per pass from the last, each pass keeping the
    // order of the one before; then only runs of equal prefix that are out of order are sorted.
    std::vector<Keyed> spare(keyed.size());
    std::vector<quint32> counts(0x10000);
    const quint64 flip = m_sortOrder == 0 ? 0 : ~quint64(0);
    for (int shift = 0; shift < 64; shift += 16) {
        std::fill(counts.begin(), counts.end(), 0);
        for (const Keyed &k : keyed)
            ++counts[((k.prefix ^ flip) >> shift) & 0xFFFF];
        if (std::find(counts.begin(), counts.end(), quint32(keyed.size())) != counts.end())
            continue; // every row has the same character here
        quint32 at = 0;
        for (quint32 &c : counts)
            at += std::exchange(c, at);
        for (const Keyed &k : keyed)
            spare[counts[((k.prefix ^ flip) >> shift) & 0xFFFF]++] = k;
        keyed.swap(spare);
    }
    for (auto run = keyed.begin(); run != keyed.end();) {
        const auto end = std::find_if(run, keyed.end(), [&run](const Keyed &k) { return k.prefix != run->prefix; });
        if (!std::is_sorted(run, end, before))
            std::sort(run, end, before);
        run = end;
    }
}

std::vector<int> ListViewModel::reorder(const std::vector<Keyed> &keyed)
{
    std::vector<Row> rows;
    rows.reserve(m_rows.size());
    std::vector<int> newRow(keyed.size());
    for (const Keyed &k : keyed) {
        newRow[size_t(k.row)] = int(rows.size());
        rows.push_back(m_rows[size_t(k.row)]);
        if (ListItem *item = rows.back().item)
            item->m_changeOrder = 0;
    }
    rows.insert(rows.end(), m_rows.begin() + qsizetype(keyed.size()), m_rows.end());
    m_rows = std::move(rows);
    renumber(0);
    return newRow;
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
    const int first = m_changedFirst;
    const int last = std::min(m_changedLast, m_placed - 1);
    m_changedFirst = m_changedLast = -1;
    if (first <= last)
        emit dataChanged(index(first, 0), index(last, columnCount() - 1));
}

void ListViewModel::flush()
{
    m_flushScheduled = false;
    emitChanges();
    const int waiting = int(m_rows.size()) - m_placed;
    if (m_resortPending) {
        m_resortPending = false;
        m_changesPending = false;
        if (waiting == 0) {
            resort(false);
            return;
        }
        beginResetModel();
        m_placed = int(m_rows.size());
        SortKeys keys = keysOf(0, m_placed);
        sortKeys(keys.keyed, false);
        reorder(keys.keyed);
        endResetModel();
        emit selectionReset();
        return;
    }
    if (m_changesPending) {
        m_changesPending = false;
        resort(true);
    }
    if (waiting == 0)
        return;

    const int first = m_placed;
    const int total = int(m_rows.size());
    if (!m_sorted || first == 0) {
        if (m_sorted) {
            m_placed = total; // rows are placed while their order is made, before the view hears
            SortKeys keys = keysOf(0, total);
            sortKeys(keys.keyed, false);
            reorder(keys.keyed);
            m_placed = first;
        }
        beginInsertRows(QModelIndex(), first, total - 1);
        m_placed = total;
        renumber(first);
        endInsertRows();
        return;
    }

    SortKeys added = keysOf(first, total);
    sortKeys(added.keyed, false);
    if (added.keyed.size() <= 32) {
        std::vector<Row> rows(m_rows.begin() + first, m_rows.end());
        m_rows.resize(size_t(first));
        std::vector<QString> folded;
        for (const Keyed &k : added.keyed) {
            // After every item that does not sort behind it: equal texts keep arrival order.
            const Row row = rows[size_t(k.row - first)];
            int lo = 0;
            int hi = m_placed;
            while (lo < hi) {
                const int mid = (lo + hi) / 2;
                folded.clear();
                if (compareKeys(k, keyOf(mid, folded)) < 0)
                    hi = mid;
                else
                    lo = mid + 1;
            }
            beginInsertRows(QModelIndex(), lo, lo);
            m_rows.insert(m_rows.begin() + lo, row);
            ++m_placed;
            renumber(lo);
            endInsertRows();
        }
        return;
    }
    const SortKeys existing = keysOf(0, first);
    std::vector<Keyed> merged;
    merged.reserve(size_t(total));
    // Items already listed come first among equals: the later an item arrives, the later it sits.
    std::merge(existing.keyed.begin(), existing.keyed.end(), added.keyed.begin(), added.keyed.end(),
               std::back_inserter(merged), [this](const Keyed &a, const Keyed &b) { return compareKeys(a, b) < 0; });
    beginResetModel();
    m_placed = total;
    reorder(merged);
    endResetModel();
    emit selectionReset();
}

void ListViewModel::resort(bool byChangeOrder)
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    SortKeys keys = keysOf(0, m_placed);
    sortKeys(keys.keyed, byChangeOrder);
    const std::vector<int> newRow = reorder(keys.keyed);
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
    if (row < 0)
        return; // still waiting: placed by the next flush
    if (m_sorted && !m_resortPending && column == m_sortKey) {
        item->m_changeOrder = ++m_changeCount;
        m_changesPending = true;
        scheduleFlush();
    }
    noteChanged(row);
}

void ListViewModel::columnsChanged()
{
    flush();
    beginResetModel();
    endResetModel();
    emit selectionReset();
}

// --- ColumnHeader

void ColumnHeader::setText(const QString &text)
{
    m_text = text;
    const int section = Index() - 1;
    if (section >= 0)
        emit m_view->listModel()->headerDataChanged(Qt::Horizontal, section, section);
}

int ColumnHeader::Width() const
{
    return m_width.read(m_widthPixels);
}

void ColumnHeader::setWidth(int twips)
{
    m_widthPixels = std::max(0, m_width.write(std::max(0, twips)));
    m_view->applyColumnWidth(Index() - 1);
}

int ColumnHeader::Index() const
{
    return int(m_view->ColumnHeaders()->m_headers.indexOf(this)) + 1;
}

// --- ColumnHeaderCollection

ColumnHeaderCollection::~ColumnHeaderCollection()
{
    qDeleteAll(m_headers);
}

ColumnHeader *ColumnHeaderCollection::Add(const QString &text, int widthTwips, const QString &key)
{
    auto *header = new ColumnHeader(m_view);
    header->m_text = text;
    header->m_key = key;
    m_headers.append(header);
    m_view->columnsChanged();
    header->setWidth(widthTwips < 0 ? 1440 : widthTwips);
    return header;
}

ColumnHeader *ColumnHeaderCollection::Item(int index) const
{
    return (index >= 1 && index <= m_headers.size()) ? m_headers.at(index - 1) : nullptr;
}

ColumnHeader *ColumnHeaderCollection::Item(const QString &key) const
{
    for (ColumnHeader *h : m_headers) {
        if (!key.isEmpty() && h->Key() == key)
            return h;
    }
    return nullptr;
}

void ColumnHeaderCollection::Clear()
{
    qDeleteAll(m_headers);
    m_headers.clear();
    m_view->columnsChanged();
}

bool ColumnHeaderCollection::Remove(int index)
{
    if (index < 1 || index > m_headers.size())
        return false;
    delete m_headers.takeAt(index - 1);
    m_view->columnsChanged();
    return true;
}

// --- ListItemCollection

ListItem *ListItemCollection::Add(const QString &text, const QString &key)
{
    return m_model->add(text, key);
}

void ListItemCollection::AddTexts(std::initializer_list<ItemText> texts)
{
    m_model->addTexts(texts);
}

int ListItemCollection::Count() const
{
    return m_model->count();
}

ListItem *ListItemCollection::Item(int index) const
{
    return m_model->item(index - 1);
}

QStringView ListItemCollection::keyView(int index) const
{
    return m_model->keyView(index - 1);
}

void ListItemCollection::Clear()
{
    m_model->clear();
}

bool ListItemCollection::Remove(int index)
{
    return m_model->remove(index - 1);
}

int ListItemCollection::RemoveWhere(const std::function<bool(const ListItem &)> &drop)
{
    return m_model->removeWhere(drop);
}

// --- ListView

ListView::ListView(QWidget *parent)
    : QTreeView(parent), m_model(new ListViewModel(this)), m_columns(new ColumnHeaderCollection(this)),
      m_items(new ListItemCollection(m_model))
{
    setModel(m_model);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    header()->setStretchLastSection(false);
    header()->setSectionsClickable(true);
    header()->setSectionsMovable(false);
    header()->setSectionResizeMode(QHeaderView::Interactive);

    connect(header(), &QHeaderView::sectionClicked, this,
            [this](int section) { emit ColumnClick(section + 1); });
    connect(header(), &QHeaderView::sectionResized, this, [this](int section, int, int size) {
        // A width the user dragged becomes the column's width.
        if (ColumnHeader *h = m_columns->Item(section + 1); h && !isColumnHidden(section) && size > 0)
            h->m_widthPixels = size;
    });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (m_syncingSelection || m_model->removing())
            return;
        const QModelIndexList rows = selectionModel()->selectedRows();
        if (rows.isEmpty())
            return;
        m_syncingSelection = true;
        m_model->setSelected(m_model->itemAt(rows.first()));
        m_syncingSelection = false;
    });
    connect(m_model, &ListViewModel::selectionReset, this, &ListView::syncSelectionToView);
}

ListView::~ListView()
{
    // Detach the model first: the view asks it for columns while it is torn down.
    ListViewModel *model = m_model;
    setModel(nullptr);
    delete model;
    delete m_items;
    delete m_columns;
}

ListItem *ListView::SelectedItem() const
{
    return m_model->selected();
}

void ListView::setSelectedItem(ListItem *item)
{
    m_model->setSelected(item);
}

bool ListView::Sorted() const
{
    return m_model->sorted();
}
void ListView::setSorted(bool sorted)
{
    m_model->setSortState(sorted, SortKey(), SortOrder());
}
int ListView::SortKey() const
{
    return m_model->sortKey();
}
void ListView::setSortKey(int column)
{
    m_model->setSortState(Sorted(), column, SortOrder());
}
int ListView::SortOrder() const
{
    return m_model->sortOrder();
}
void ListView::setSortOrder(int order)
{
    m_model->setSortState(Sorted(), SortKey(), order);
}

void ListView::setHideSelection(bool hide)
{
    m_hideSelection = hide;
    updateSelectionColors();
}

void ListView::setFullRowSelect(bool on)
{
    m_fullRowSelect = on;
}

void ListView::setLabelEdit(int mode)
{
    m_labelEdit = mode;
}

void ListView::columnsChanged()
{
    m_model->columnsChanged();
    for (int i = 0; i < m_columns->Count(); ++i)
        applyColumnWidth(i);
}

void ListView::applyColumnWidth(int column)
{
    const ColumnHeader *h = m_columns ? m_columns->Item(column + 1) : nullptr;
    if (!h || column >= m_model->columnCount())
        return;
    const int px = h->m_widthPixels;
    setColumnHidden(column, px == 0);
    if (px > 0)
        setColumnWidth(column, px);
}

void ListView::syncSelectionToView()
{
    if (m_syncingSelection || !selectionModel())
        return;
    m_syncingSelection = true;
    const ListItem *item = m_model->selected();
    if (item && item->m_row >= 0) {
        selectionModel()->setCurrentIndex(m_model->index(item->m_row, 0),
                                          QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    } else {
        selectionModel()->clearSelection();
    }
    m_syncingSelection = false;
}

void ListView::updateSelectionColors()
{
    QPalette p = palette();
    const QPalette inherited = QApplication::palette(this);
    const bool hidden = m_hideSelection && !hasFocus();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(group, QPalette::Highlight,
                   hidden ? p.color(group, QPalette::Base) : inherited.color(group, QPalette::Highlight));
        p.setColor(group, QPalette::HighlightedText,
                   hidden ? p.color(group, QPalette::Text)
                          : inherited.color(group, QPalette::HighlightedText));
    }
    setPalette(p);
}

void ListView::focusInEvent(QFocusEvent *event)
{
    QTreeView::focusInEvent(event);
    updateSelectionColors();
}

void ListView::focusOutEvent(QFocusEvent *event)
{
    QTreeView::focusOutEvent(event);
    updateSelectionColors();
}

void ListView::mouseReleaseEvent(QMouseEvent *event)
{
    QTreeView::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    if (ListItem *item = m_model->itemAt(indexAt(event->position().toPoint())))
        emit ItemClick(item);
    emit Click();
}

void ListView::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTreeView::mouseDoubleClickEvent(event);
    emit DblClick();
}

} // namespace ui
