// The list view: items, column headers, selection and the keep-sorted mode.
#include "platform/ui/ListView.h"

#include "platform/ui/ListViewModel.h"

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

// --- ListViewModel

ListViewModel::ListViewModel(ListView *view) : QAbstractItemModel(view), m_view(view) {}

ListViewModel::~ListViewModel()
{
    qDeleteAll(m_rows);
    qDeleteAll(m_pending);
}

QModelIndex ListViewModel::index(int row, int column, const QModelIndex &parent) const
{
    if (parent.isValid() || row < 0 || row >= m_rows.size() || column < 0 || column >= columnCount())
        return QModelIndex();
    return createIndex(row, column, m_rows.at(row));
}

QModelIndex ListViewModel::parent(const QModelIndex &) const
{
    return QModelIndex();
}

int ListViewModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ListViewModel::columnCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return std::max(1, m_view->ColumnHeaders()->Count());
}

QVariant ListViewModel::data(const QModelIndex &index, int role) const
{
    const ListItem *item = itemAt(index);
    if (!item || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return QVariant();
    return item->columnText(index.column());
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

ListItem *ListViewModel::itemAt(const QModelIndex &index) const
{
    if (!index.isValid() || index.model() != this || index.row() >= m_rows.size())
        return nullptr;
    return m_rows.at(index.row());
}

ListItem *ListViewModel::add(const QString &text, const QString &key)
{
    const qsizetype size = text.size();
    return addPieces(text + key, {{0, size}, {size, 0}, {size, key.size()}});
}

ListItem *ListViewModel::addPieces(const QString &chars, std::initializer_list<TextPiece> pieces)
{
    auto *item = new ListItem(this);
    item->m_chars = chars;
    item->m_pieces.append(pieces.begin(), qsizetype(pieces.size()));
    if (item->m_pieces.size() < ListItem::FirstSubItem)
        item->m_pieces.resize(ListItem::FirstSubItem);
    m_pending.append(item);
    scheduleFlush();
    return item;
}

ListItem *ListViewModel::item(int row)
{
    flush();
    return (row >= 0 && row < m_rows.size()) ? m_rows.at(row) : nullptr;
}

void ListViewModel::clear()
{
    beginResetModel();
    qDeleteAll(m_rows);
    qDeleteAll(m_pending);
    m_rows.clear();
    m_pending.clear();
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
    if (row < 0 || row >= m_rows.size())
        return false;
    m_removing = true;
    beginRemoveRows(QModelIndex(), row, row);
    ListItem *item = m_rows.takeAt(row);
    renumber(row);
    if (m_selected == item)
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
    QList<ListItem *> kept;
    QList<ListItem *> dropped;
    kept.reserve(m_rows.size());
    for (ListItem *item : std::as_const(m_rows))
        (drop(*item) ? dropped : kept).append(item);
    if (dropped.isEmpty())
        return 0;
    m_removing = true;
    beginResetModel();
    m_rows = std::move(kept);
    renumber(0);
    if (dropped.contains(m_selected))
        m_selected = nullptr;
    endResetModel();
    m_removing = false;
    qDeleteAll(dropped);
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
    for (int i = from; i < m_rows.size(); ++i)
        m_rows[i]->m_row = int(i);
}

namespace
{

bool isAscii(QStringView text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

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

QStringView ListViewModel::sortView(const ListItem *item, std::vector<QString> &folded) const
{
    const QStringView text = item->columnView(m_sortKey);
    if (isAscii(text))
        return text;
    folded.push_back(text.toString().toCaseFolded());
    return folded.back();
}

bool ListViewModel::lessThan(QStringView foldedA, QStringView foldedB) const
{
    const int c = compareFolded(foldedA, foldedB);
    return m_sortOrder == 0 ? c < 0 : c > 0;
}

ListViewModel::SortKeys ListViewModel::keysOf(const QList<ListItem *> &items) const
{
    SortKeys keys;
    keys.keyed.reserve(items.size());
    // Folded copies are few; their characters stay put when the vector grows.
    for (ListItem *item : items)
        keys.keyed.emplace_back(sortView(item, keys.folded), item);
    return keys;
}

void ListViewModel::stableSort(std::vector<Keyed> &keyed, bool byChangeOrder) const
{
    std::stable_sort(keyed.begin(), keyed.end(), [this, byChangeOrder](const Keyed &a, const Keyed &b) {
        const int c = compareFolded(a.first, b.first);
        if (c != 0)
            return m_sortOrder == 0 ? c < 0 : c > 0;
        // An edited item goes behind the items of equal text, the later edit the further.
        return byChangeOrder && a.second->m_changeOrder < b.second->m_changeOrder;
    });
}

void ListViewModel::sortRows(bool byChangeOrder)
{
    SortKeys keys = keysOf(m_rows);
    stableSort(keys.keyed, byChangeOrder);
    for (size_t i = 0; i < keys.keyed.size(); ++i) {
        m_rows[qsizetype(i)] = keys.keyed[i].second;
        keys.keyed[i].second->m_changeOrder = 0;
    }
    renumber(0);
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
    const int last = std::min(m_changedLast, int(m_rows.size()) - 1);
    m_changedFirst = m_changedLast = -1;
    if (first <= last)
        emit dataChanged(index(first, 0), index(last, columnCount() - 1));
}

void ListViewModel::flush()
{
    m_flushScheduled = false;
    emitChanges();
    if (m_resortPending) {
        m_resortPending = false;
        m_changesPending = false;
        if (m_pending.isEmpty()) {
            resort(false);
            return;
        }
        beginResetModel();
        m_rows.append(m_pending);
        m_pending.clear();
        sortRows(false);
        endResetModel();
        emit selectionReset();
        return;
    }
    if (m_changesPending) {
        m_changesPending = false;
        resort(true);
    }
    if (m_pending.isEmpty())
        return;

    const int first = int(m_rows.size());
    if (!m_sorted) {
        beginInsertRows(QModelIndex(), first, first + int(m_pending.size()) - 1);
        m_rows.append(m_pending);
        m_pending.clear();
        renumber(first);
        endInsertRows();
        return;
    }

    SortKeys added = keysOf(m_pending);
    stableSort(added.keyed, false);
    m_pending.clear();

    if (m_rows.isEmpty()) {
        beginInsertRows(QModelIndex(), 0, int(added.keyed.size()) - 1);
        for (const Keyed &k : added.keyed)
            m_rows.append(k.second);
        renumber(0);
        endInsertRows();
        return;
    }
    if (added.keyed.size() <= 32) {
        std::vector<QString> folded;
        for (const Keyed &k : added.keyed) {
            // After every item that does not sort behind it: equal texts keep arrival order.
            int lo = 0;
            int hi = int(m_rows.size());
            while (lo < hi) {
                const int mid = (lo + hi) / 2;
                folded.clear();
                if (lessThan(k.first, sortView(m_rows.at(mid), folded)))
                    hi = mid;
                else
                    lo = mid + 1;
            }
            beginInsertRows(QModelIndex(), lo, lo);
            m_rows.insert(lo, k.second);
            renumber(lo);
            endInsertRows();
        }
        return;
    }
    const SortKeys existing = keysOf(m_rows);
    std::vector<Keyed> merged;
    merged.reserve(existing.keyed.size() + added.keyed.size());
    // Items already listed come first among equals: the later an item arrives, the later it sits.
    std::merge(existing.keyed.begin(), existing.keyed.end(), added.keyed.begin(), added.keyed.end(),
               std::back_inserter(merged),
               [this](const Keyed &a, const Keyed &b) { return lessThan(a.first, b.first); });
    beginResetModel();
    m_rows.clear();
    m_rows.reserve(qsizetype(merged.size()));
    for (const Keyed &k : merged)
        m_rows.append(k.second);
    renumber(0);
    endResetModel();
    emit selectionReset();
}

void ListViewModel::resort(bool byChangeOrder)
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    sortRows(byChangeOrder);
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex &index : before) {
        const ListItem *item = static_cast<const ListItem *>(index.internalPointer());
        after.append(createIndex(item->m_row, index.column(), const_cast<ListItem *>(item)));
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void ListViewModel::itemChanged(ListItem *item, int column)
{
    const int row = item->m_row;
    if (row < 0)
        return; // still pending: placed by the next flush
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

ListItem *ListItemCollection::AddPieces(const QString &chars, std::initializer_list<TextPiece> pieces)
{
    return m_model->addPieces(chars, pieces);
}

int ListItemCollection::Count() const
{
    return m_model->count();
}

ListItem *ListItemCollection::Item(int index) const
{
    return m_model->item(index - 1);
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
    const QPalette defaults = style()->standardPalette();
    const bool hidden = m_hideSelection && !hasFocus();
    p.setColor(QPalette::Highlight, hidden ? p.color(QPalette::Base) : defaults.color(QPalette::Highlight));
    p.setColor(QPalette::HighlightedText,
               hidden ? p.color(QPalette::Text) : defaults.color(QPalette::HighlightedText));
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
