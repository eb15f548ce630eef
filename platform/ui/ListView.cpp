// The list view: items, column headers and selection; the rows and their order live in the model.
#include "platform/ui/ListView.h"

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
    const int row = m_model->viewRowOf(m_model->rowOf(this));
    if (row >= 0)
        m_model->view()->scrollTo(m_model->index(row, 0));
}

ListView *ListItem::listView() const
{
    return m_model->view();
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

int ListItemCollection::IndexOf(QStringView text, QStringView tag) const
{
    return m_model->find(text, tag) + 1;
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

void ListView::setFilterText(const QString &text)
{
    m_model->setFilter(text);
}

QString ListView::FilterText() const
{
    return m_model->filter();
}

int ListView::shownCount() const
{
    return m_model->shownCount();
}

void ListView::setFooter(QWidget *footer)
{
    if (m_footer)
        m_footer->removeEventFilter(this);
    m_footer = footer;
    if (footer) {
        footer->setParent(this);
        footer->installEventFilter(this);
    }
    updateGeometries();
}

bool ListView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_footer && (event->type() == QEvent::Show || event->type() == QEvent::Hide))
        updateGeometries();
    return QTreeView::eventFilter(watched, event);
}

void ListView::updateGeometries()
{
    // The tree view sets the margins for its header and leaves none at the bottom; the room
    // for the footer goes back on after it. Setting the margins resizes the viewport, which
    // comes back here once more and finds them as they should be.
    QTreeView::updateGeometries();
    const int room = m_footer && !m_footer->isHidden() ? m_footer->sizeHint().height() : 0;
    const QMargins margins = viewportMargins();
    if (margins.bottom() != room)
        setViewportMargins(margins.left(), margins.top(), margins.right(), room);
    if (room > 0) {
        const QRect area = viewport()->geometry();
        m_footer->setGeometry(area.left(), area.bottom() + 1, area.width(), room);
        m_footer->raise();
    }
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
    const int row = item && item->m_row >= 0 ? m_model->viewRowOf(item->m_row) : -1;
    if (row >= 0) {
        selectionModel()->setCurrentIndex(m_model->index(row, 0),
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
