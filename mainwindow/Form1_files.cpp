// Local media files: drive, folder and file lists feeding the player, and the last drive
// and folder kept in the settings.
#include "mainwindow/Form1.h"

#include "services/modSettings.h"

#include <QEvent>
#include <functional>

namespace
{

// Runs a call whenever the watched widget is shown.
class ShowWatcher : public QObject
{
public:
    ShowWatcher(QObject *watched, std::function<void()> onShow)
        : QObject(watched), m_onShow(std::move(onShow))
    {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show)
            m_onShow();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_onShow;
};

} // namespace

void Form1::connectFilesEvents()
{
    connect(Drive1, &ui::DriveListBox::Change, this, &Form1::Drive1_Change);
    connect(Dir1, &ui::DirListBox::Change, this, &Form1::Dir1_Change);
    connect(File1, &ui::FileListBox::Click, this, &Form1::File1_Click);
    // Files copied into the folder while the panel was away show when it comes back; the
    // folder and the file picked stay.
    new ShowWatcher(Frame4, [this] {
        Dir1->refreshContents();
        File1->refreshContents();
    });
}

void Form1::Drive1_Change()
{
    // A drive that cannot be opened leaves the folder list where it was.
    Dir1->setPath(Drive1->Drive());
    SaveProgramSetting(QStringLiteral("Drive"), Drive1->Drive());
}

void Form1::Dir1_Change()
{
    SaveProgramSetting(QStringLiteral("Dir"), Dir1->Path());
    File1->setPath(Dir1->Path());
    File1->refreshContents();
}

void Form1::File1_Click()
{
    const QString name = File1->FileName();
    if (name.isEmpty())
        return;
    QString folder = File1->Path();
    // A root folder already ends in the separator.
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    playUrl(folder + name);
}

void Form1::restoreFileBrowser()
{
    // Both values are read first: a drive change saves that drive's folder as "Dir" and
    // would otherwise replace the folder to restore. A missing drive or folder is refused
    // by the lists, which keep what they show.
    const QString drive = GetProgramSetting(QStringLiteral("Drive"));
    const QString folder = GetProgramSetting(QStringLiteral("Dir"));
    Drive1->setDrive(drive);
    Dir1->setPath(folder);
    File1->setPath(folder);
}
