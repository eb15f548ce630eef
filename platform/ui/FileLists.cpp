// Drive, folder and file lists over the real file system.
#include "platform/ui/FileLists.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
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
    clear();
    const QFileInfoList dirs =
        QDir(m_path).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo &info : dirs) {
        auto *item = new QListWidgetItem(info.fileName(), this);
        item->setData(Qt::UserRole, info.absoluteFilePath());
    }
}

QString DirListBox::List(int index) const
{
    if (index == -1)
        return m_path;
    const QListWidgetItem *it = item(index);
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
    clear();
    QStringList filters;
    for (const QString &p : m_pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        filters.append(p.trimmed() == QLatin1String("*.*") ? QStringLiteral("*") : p.trimmed());
    QDir dir(m_path);
    dir.setNameFilters(filters);
    // Hidden files stay out, as the original's default attributes keep them out.
    dir.setFilter(QDir::Files);
    dir.setSorting(QDir::Name | QDir::IgnoreCase);
    addItems(dir.entryList());
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
