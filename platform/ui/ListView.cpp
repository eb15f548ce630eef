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

void ListItem::setText(const QString &text)
{
    m_text = text;
    m_model->itemChanged(this, 0);
}

QString ListItem::SubItems(int i) const
{
    return (i >= 1 && i <= m_subItems.size()) ? m_subItems.at(i - 1) : QString();
}

void ListItem::setSubItems(int i, const QString &text)
{
    if (i < 1)
        return;
    if (m_subItems.size() < i)
        m_subItems.resize(i);
    m_subItems[i - 1] = text;
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
    auto *item = new ListItem(this);
    item->m_text = text;
    item->m_key = key;
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

int ListViewModel::rowOf(const ListItem *item)
{
    if (item->m_row < 0 || m_resortPending)
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

QString ListViewModel::sortText(const ListItem *item) const
{
    return item->columnText(m_sortKey).toCaseFolded();
}

bool ListViewModel::lessThan(const QString &foldedA, const QString &foldedB) const
{
    return m_sortOrder == 0 ? foldedA < foldedB : foldedB < foldedA;
}

std::vector<ListViewModel::Keyed> ListViewModel::keyedInOrder(const QList<ListItem *> &items) const
{
    std::vector<Keyed> keyed;
    keyed.reserve(items.size());
    for (ListItem *item : items)
        keyed.emplace_back(sortText(item), item);
    std::stable_sort(keyed.begin(), keyed.end(),
                     [this](const Keyed &a, const Keyed &b) { return lessThan(a.first, b.first); });
    return keyed;
}

void ListViewModel::sortRows()
{
    const std::vector<Keyed> keyed = keyedInOrder(m_rows);
    for (size_t i = 0; i < keyed.size(); ++i)
        m_rows[qsizetype(i)] = keyed[i].second;
    renumber(0);
}

void ListViewModel::flush()
{
    m_flushScheduled = false;
    if (m_resortPending) {
        m_resortPending = false;
        if (m_pending.isEmpty()) {
            resortAll();
            return;
        }
        beginResetModel();
        m_rows.append(m_pending);
        m_pending.clear();
        sortRows();
        endResetModel();
        emit selectionReset();
        return;
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

    const std::vector<Keyed> added = keyedInOrder(m_pending);
    m_pending.clear();
    const auto less = [this](const Keyed &a, const Keyed &b) { return lessThan(a.first, b.first); };

    if (m_rows.isEmpty()) {
        beginInsertRows(QModelIndex(), 0, int(added.size()) - 1);
        for (const Keyed &k : added)
            m_rows.append(k.second);
        renumber(0);
        endInsertRows();
    } else if (added.size() <= 32) {
        for (const Keyed &k : added) {
            const int pos = insertPosition(k.first, nullptr);
            beginInsertRows(QModelIndex(), pos, pos);
            m_rows.insert(pos, k.second);
            renumber(pos);
            endInsertRows();
        }
    } else {
        std::vector<Keyed> existing;
        existing.reserve(m_rows.size());
        for (ListItem *item : std::as_const(m_rows))
            existing.emplace_back(sortText(item), item);
        std::vector<Keyed> merged;
        merged.reserve(existing.size() + added.size());
        // Items already listed come first among equals: the later an item arrives, the later it sits.
        std::merge(existing.begin(), existing.end(), added.begin(), added.end(), std::back_inserter(merged),
                   less);
        beginResetModel();
        m_rows.clear();
        m_rows.reserve(qsizetype(merged.size()));
        for (const Keyed &k : merged)
            m_rows.append(k.second);
        renumber(0);
        endResetModel();
        emit selectionReset();
    }
}

void ListViewModel::resortAll()
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    sortRows();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex &index : before) {
        const ListItem *item = static_cast<const ListItem *>(index.internalPointer());
        after.append(createIndex(item->m_row, index.column(), const_cast<ListItem *>(item)));
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int ListViewModel::insertPosition(const QString &folded, const ListItem *except) const
{
    // After every item that does not sort behind it: equal texts keep arrival order.
    int lo = 0;
    int hi = int(m_rows.size());
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (m_rows.at(mid) != except && lessThan(folded, sortText(m_rows.at(mid))))
            hi = mid;
        else
            lo = mid + 1;
    }
    return lo;
}

void ListViewModel::itemChanged(ListItem *item, int column)
{
    const int row = item->m_row;
    if (row < 0)
        return; // still pending: placed by the next flush
    if (m_sorted && !m_resortPending && column == m_sortKey) {
        m_rows.removeAt(row);
        const int pos = insertPosition(sortText(item), nullptr);
        m_rows.insert(row, item);
        if (pos != row) {
            beginMoveRows(QModelIndex(), row, row, QModelIndex(), pos > row ? pos + 1 : pos);
            m_rows.move(row, pos);
            renumber(std::min(row, pos));
            endMoveRows();
        }
    }
    const int now = item->m_row;
    emit dataChanged(index(now, 0), index(now, columnCount() - 1));
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
