// The channel submission window: sends a new channel to the maker's server, adds it to the
// favourites when asked, and finds the stream links of a web page to test-play them.
#pragma once

#include "services/modDownload.h"

#include "platform/ui/Form.h"

#include <QByteArray>
#include <QString>

namespace ui
{
class CheckBox;
class ComboBox;
class CommandButton;
class Label;
class ListBox;
class MediaPlayer;
class StatusBar;
class TextBox;
} // namespace ui

class frmSubmit : public ui::Form
{
    Q_OBJECT

public:
    explicit frmSubmit(QWidget *parent = nullptr);

    void Form_Load() override;

    void cmdAdd_Click();
    void cmdGo_Click();
    void List1_Click();

    // The address one directory level up.
    QString backDir(QString URL);

    ui::Label *Label1;
    ui::TextBox *txtName;
    ui::Label *Label2;
    ui::ComboBox *cmbType;
    ui::Label *Label3;
    ui::TextBox *txtLang;
    ui::Label *Label4;
    ui::TextBox *txtURL;
    ui::Label *Label5;
    ui::ComboBox *cmbRating;
    ui::Label *Label6;
    ui::CheckBox *chkFavorites;
    ui::CommandButton *cmdAdd;
    ui::StatusBar *StatusBar1;
    ui::Label *lblStream;
    ui::Label *lblStreamInfo;
    ui::Label *lblURL2;
    ui::TextBox *txtURL2;
    ui::CommandButton *cmdGo;
    ui::Label *lblResults;
    ui::ListBox *List1;
    ui::MediaPlayer *wmp1;

private:
    void addFavorite(const QString &strType);

    DownloadResult DownloadPage(QString strURL);
    void ExtractStreamLinks(const QByteArray &strPage, const QString &strSite, const QString &strPageURL,
                            const QString &strPageDir);
    QString ResolveLink(QString strLink, const QString &strPageURL, const QString &strPageDir,
                        const QString &strSite);

    // Counts the finder's runs: a new "Go" stops the run still under way (see ui::WindowGuard).
    quint64 m_findTicket = 0;

public:
    // Bounds of the finder's page download: a stream's own address never ends its reply.
    qint64 m_pageMaxBytes = 8 * 1024 * 1024;
    int m_pageMaxMs = 30000;
};
