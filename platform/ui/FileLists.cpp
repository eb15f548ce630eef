// Drive, folder and file lists over the real file system.
#include "platform/ui/FileLists.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <QStyle>
#include <QStyledItemDelegate>
#include <optional>

namespace ui
{

namespace
{

QString cleanFolder(const QString &path)
{
    QString p = path.trimmed();
    if (!QFileInfo(p).isDir() && p.contains(QLatin1Char('\\')))
        p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return QDir::cleanPath(QFileInfo(p).absoluteFilePath());
}

// Points `current` at the folder `path` names: nothing when there is no such folder, else
// whether it moved.
std::optional<bool> switchFolder(QString &current, const QString &path)
{
    if (path.trimmed().isEmpty())
        return std::nullopt;
    const QString folder = cleanFolder(path);
    if (!QFileInfo(folder).isDir())
        return std::nullopt;
    const bool changed = folder != current;
    current = folder;
    return changed;
}

constexpr int DepthRole = Qt::UserRole + 1;

// Indents each folder by its depth, so the list reads as the path from the root down.
class FolderTreeDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem indented(option);
        indented.rect.setLeft(option.rect.left() + indent(option, index));
        QStyledItemDelegate::paint(painter, indented, index);
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.rwidth() += indent(option, index);
        return size;
    }

private:
    static int indent(const QStyleOptionViewItem &option, const QModelIndex &index)
    {
        return index.data(DepthRole).toInt() * option.fontMetrics.averageCharWidth() * 2;
    }
};

} // namespace

// --- DriveListBox

DriveListBox::DriveListBox(QWidget *parent) : QComboBox(parent)
{
    refreshContents();
    const int home = findText(QStorageInfo(QDir::homePath()).rootPath());
    setCurrentIndex(home >= 0 ? home : (count() > 0 ? 0 : -1));
    connect(this, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_setting)
            emit Change();
    });
}

void DriveListBox::refreshContents()
{
    const QString current = currentText();
    m_setting = true;
    clear();
    QStringList roots;
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady() && !roots.contains(volume.rootPath()))
            roots.append(volume.rootPath());
    }
    roots.sort();
    addItems(roots);
    const int again = findText(current);
    if (again >= 0)
        setCurrentIndex(again);
    m_setting = false;
}

void DriveListBox::setDrive(const QString &drive)
{
    if (drive.trimmed().isEmpty())
        return;
    // The mount point that holds the path; a name that is not a path picks nothing.
    int index = findText(drive);
    if (index < 0 && QFileInfo::exists(drive))
        index = findText(QStorageInfo(drive).rootPath());
    if (index >= 0 && index != currentIndex())
        setCurrentIndex(index);
}

void DriveListBox::setListIndex(int index)
{
    if (index >= 0 && index < count())
        setCurrentIndex(index);
}

// --- DirListBox

DirListBox::DirListBox(QWidget *parent) : QListWidget(parent)
{
    setItemDelegate(new FolderTreeDelegate(this));
    setPath(QDir::currentPath());
    connect(this, &QListWidget::itemClicked, this, [this] { emit Click(); });
    connect(this, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem *item) { setPath(item->data(Qt::UserRole).toString()); });
}

bool DirListBox::setPath(const QString &path)
{
    const std::optional<bool> changed = switchFolder(m_path, path);
    if (!changed)
        return false;
    refreshContents();
    if (*changed)
        emit Change();
    return true;
}

void DirListBox::refreshContents()
{
    // Read again in the same folder, the list keeps the folder picked.
    const QString picked =
        m_listedPath == m_path && currentItem() ? currentItem()->data(Qt::UserRole).toString() : QString();
    clear();
    m_listedPath = m_path;
    // The way down from the root, so the user sees where the list is and can climb back up.
    QStringList openFolders{m_path};
    for (QDir up(m_path); up.cdUp();)
        openFolders.prepend(up.absolutePath());
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    auto addFolder = [this](const QString &path, const QIcon &icon, int depth) {
        const QString name = QFileInfo(path).fileName();
        auto *folder = new QListWidgetItem(icon, name.isEmpty() ? path : name, this);
        folder->setData(Qt::UserRole, path);
        folder->setData(DepthRole, depth);
    };
    for (int depth = 0; depth < openFolders.size(); ++depth)
        addFolder(openFolders.at(depth), openIcon, depth);
    m_openFolders = int(openFolders.size());

    const QFileInfoList dirs =
        QDir(m_path).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo &info : dirs)
        addFolder(info.absoluteFilePath(), closedIcon, m_openFolders);
    // The folder the list stands in is the one picked, as ListIndex -1.
    setCurrentRow(m_openFolders - 1);
    for (int row = 0; !picked.isEmpty() && row < count(); ++row) {
        if (item(row)->data(Qt::UserRole).toString() == picked) {
            setCurrentRow(row);
            break;
        }
    }
    scrollToItem(currentItem());
}

QString DirListBox::List(int index) const
{
    if (index == -1)
        return m_path;
    const QListWidgetItem *it = item(index + m_openFolders);
    return it ? it->data(Qt::UserRole).toString() : QString();
}

// --- FileListBox

FileListBox::FileListBox(QWidget *parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setPath(QDir::currentPath());
    connect(this, &QListWidget::itemClicked, this, [this] { emit Click(); });
    connect(this, &QListWidget::itemDoubleClicked, this, [this] { emit DblClick(); });
}

bool FileListBox::setPath(const QString &path)
{
    const std::optional<bool> changed = switchFolder(m_path, path);
    if (!changed)
        return false;
    refreshContents();
    if (*changed)
        emit PathChange();
    return true;
}

void FileListBox::setPattern(const QString &pattern)
{
    m_pattern = pattern.isEmpty() ? QStringLiteral("*.*") : pattern;
    refreshContents();
    emit PatternChange();
}

void FileListBox::refreshContents()
{
    // Read again in the same folder, the list keeps the file picked.
    const QString picked = m_listedPath == m_path ? FileName() : QString();
    clear();
    m_listedPath = m_path;
    QStringList filters;
    for (const QString &p : m_pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        filters.append(p.trimmed() == QLatin1String("*.*") ? QStringLiteral("*") : p.trimmed());
    QDir dir(m_path);
    dir.setNameFilters(filters);
    // Hidden files stay out, as the original's default attributes keep them out.
    dir.setFilter(QDir::Files);
    dir.setSorting(QDir::Name | QDir::IgnoreCase);
    addItems(dir.entryList());
    // The very name: a folder may hold names that differ only in letter case.
    if (const QList<QListWidgetItem *> same = findItems(picked, Qt::MatchExactly | Qt::MatchCaseSensitive);
        !picked.isEmpty() && !same.isEmpty())
        setCurrentItem(same.first());
}

QString FileListBox::FileName() const
{
    const QListWidgetItem *it = currentItem();
    return it ? it->text() : QString();
}

void FileListBox::setFileName(const QString &name)
{
    const QList<QListWidgetItem *> found = findItems(name, Qt::MatchFixedString);
    if (!found.isEmpty())
        setCurrentItem(found.first());
}

QString FileListBox::List(int index) const
{
    const QListWidgetItem *it = item(index);
    return it ? it->text() : QString();
}

} // namespace ui
