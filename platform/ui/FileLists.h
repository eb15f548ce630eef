// The drive, folder and file lists of the local-file browser. They list real mount
// points, folders and files; "/" is the separator.
#pragma once

#include "platform/ui/ControlProperties.h"

#include <QComboBox>
#include <QListWidget>

namespace ui
{

// Mount points stand in for drives.
class DriveListBox : public QComboBox
{
    Q_OBJECT
    UI_CONTROL("DriveListBox")
    Q_PROPERTY(QString Drive READ Drive WRITE setDrive)
    Q_PROPERTY(int ListIndex READ ListIndex WRITE setListIndex)
    Q_PROPERTY(int ListCount READ ListCount)

public:
    Q_INVOKABLE explicit DriveListBox(QWidget *parent = nullptr);

    // The mount point picked; setting a path picks the mount point that holds it.
    QString Drive() const { return currentText(); }
    void setDrive(const QString &drive);
    int ListIndex() const { return currentIndex(); }
    void setListIndex(int index);
    int ListCount() const { return count(); }
    QString List(int index) const { return itemText(index); }
    Q_INVOKABLE void refreshContents();

signals:
    void Change();

private:
    bool m_setting = false;
};

// The folders from the root down to Path (open folders), then the subfolders of Path.
// Indices count from the first subfolder: List(0) is the first subfolder, List(-1) is Path,
// List(-2) its parent and so on up to the root; ListCount counts the subfolders only.
class DirListBox : public QListWidget
{
    Q_OBJECT
    UI_CONTROL("DirListBox")
    Q_PROPERTY(QString Path READ Path WRITE setPath)
    Q_PROPERTY(int ListIndex READ ListIndex WRITE setListIndex)
    Q_PROPERTY(int ListCount READ ListCount)

public:
    Q_INVOKABLE explicit DirListBox(QWidget *parent = nullptr);

    QString Path() const { return m_path; }
    // Changes to an existing folder and fires Change; a folder that does not exist is refused
    // (false) and the path stays.
    bool setPath(const QString &path);
    int ListIndex() const { return currentRow() - m_openFolders; }
    void setListIndex(int index) { setCurrentRow(index + m_openFolders); }
    int ListCount() const { return count() - m_openFolders; }
    // Full path of subfolder `index`; -1 = Path, -2 its parent, ...
    QString List(int index) const;
    // Reads the folder again; in the same folder the picked row stays.
    Q_INVOKABLE void refreshContents();

signals:
    void Change();
    void Click();

private:
    QString m_path;
    // The folder the rows were read from.
    QString m_listedPath;
    // Rows of the root, of Path and of the folders between them.
    int m_openFolders = 0;
};

class FileListBox : public QListWidget
{
    Q_OBJECT
    UI_CONTROL("FileListBox")
    Q_PROPERTY(QString Path READ Path WRITE setPath)
    Q_PROPERTY(QString Pattern READ Pattern WRITE setPattern)
    Q_PROPERTY(QString FileName READ FileName WRITE setFileName)
    Q_PROPERTY(int ListIndex READ ListIndex WRITE setListIndex)
    Q_PROPERTY(int ListCount READ ListCount)

public:
    Q_INVOKABLE explicit FileListBox(QWidget *parent = nullptr);

    QString Path() const { return m_path; }
    // False (path unchanged) for a folder that does not exist.
    bool setPath(const QString &path);
    // Wildcards separated by ";" ("*.mp3;*.wav"), matched ignoring case; default "*.*".
    QString Pattern() const { return m_pattern; }
    void setPattern(const QString &pattern);
    // Name of the picked file, without folder; empty with nothing picked. Setting a name
    // picks that file.
    QString FileName() const;
    void setFileName(const QString &name);
    int ListIndex() const { return currentRow(); }
    void setListIndex(int index) { setCurrentRow(index); }
    int ListCount() const { return count(); }
    QString List(int index) const;
    // Reads the folder again; in the same folder the picked file stays.
    Q_INVOKABLE void refreshContents();

signals:
    void Click();
    void DblClick();
    void PathChange();
    void PatternChange();

private:
    QString m_path;
    // The folder the rows were read from.
    QString m_listedPath;
    QString m_pattern = QStringLiteral("*.*");
};

} // namespace ui
