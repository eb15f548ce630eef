// The language chooser window: its controls and its handlers.
#include "localisation/frmLanguage.h"

#include "localisation/modLanguages.h"
#include "platform/core/Shell.h"
#include "platform/ui/Controls.h"
#include "platform/ui/DoEvents.h"
#include "platform/ui/Forms.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/WindowGuard.h"
#include "services/ProductAddresses.h"
#include "services/modDownload.h"
#include "services/modMarque.h"
#include "services/modSaveFile.h"
#include "services/modSettings.h"
#include "services/modSkin.h"
#include "services/xfileExists.h"

#include <QSignalBlocker>

namespace
{

const QString kDesignCaption = QStringLiteral("Language Selection");
const QString kChooseLanguage = QStringLiteral("Choose Language Here");

// The message table registers no text for the chooser's own two messages; a window without
// a title or an empty box after a download helps no one, so those fall back to English.
QString messageOr(const QString &id, const QString &fallback)
{
    const QString text = objLanguages ? objLanguages->getMessages(id) : QString();
    return text.isEmpty() ? fallback : text;
}

} // namespace

frmLanguage::frmLanguage(QWidget *parent) : ui::Form(QStringLiteral("frmLanguage"), parent)
{
    setFont(QFont(QStringLiteral("Verdana")));
    setCaption(kDesignCaption);

    Label1 = addControl<ui::SkinLabel>(QStringLiteral("Label1"), nullptr, 120, 120, 6060, 255);
    Label1->setCaption(QStringLiteral("Please select the language you would like to use:"));
    Combo1 = addControl<ui::ComboBox>(QStringLiteral("Combo1"), nullptr, 120, 480, 6060, 315);
    Combo1->setStyle(ui::ComboBox::vbComboDropdown);
    Combo1->setText(kChooseLanguage);
    Command1 = addControl<ui::CommandButton>(QStringLiteral("Command1"), nullptr, 120, 1140, 2955, 435);
    Command1->setCaption(QStringLiteral("Check for language updates"));
    Command2 = addControl<ui::CommandButton>(QStringLiteral("Command2"), nullptr, 4965, 1740, 1215, 435);
    Command2->setCaption(QStringLiteral("OK"));
    Command2->setDefault(true);
    Command3 = addControl<ui::CommandButton>(QStringLiteral("Command3"), nullptr, 3225, 1140, 2955, 435);
    Command3->setCaption(QStringLiteral("Translate this program"));
    Line1 = addControl<ui::Line>(QStringLiteral("Line1"), nullptr, 120, 975, 6060, 15);
    Line1->setPoints(120, 975, 6180, 975);

    Move(Left(), Top(), 6300 + DesignFrameWidth, 2295 + DesignFrameHeight);
    setClosesOnEscape(true);

    connect(Combo1, &ui::ComboBox::Click, this, &frmLanguage::Combo1_Click);
    connect(Command1, &ui::CommandButton::Click, this, &frmLanguage::Command1_Click);
    connect(Command2, &ui::CommandButton::Click, this, &frmLanguage::Command2_Click);
    connect(Command3, &ui::CommandButton::Click, this, &frmLanguage::Command3_Click);
}

void frmLanguage::Form_Load()
{
    ChangeLanguage(this, strLanguage);
    setCaption(messageOr(QStringLiteral("MSG_TITLELANGUAGE"), kDesignCaption));
    // Again, so that a translated window caption wins over the message.
    ChangeLanguage(this, strLanguage);
    FillLanguageList();
    if (blnUseSkin)
        ApplySkin(this);
}

void frmLanguage::FillLanguageList()
{
    Combo1->Clear();
    Combo1->setText(QString());
    const QString path = LocalizationFilePath();
    if (!FileExists(path))
        return;

    const QString saved = GetProgramSetting(QStringLiteral("Language"), QStringLiteral("English"));
    try {
        const QString text = readLanguageFile(path);
        qsizetype pos = 0;
        QString group;
        while (nextLanguageGroup(text, pos, group)) {
            Combo1->AddItem(
                groupTagText(group, QStringLiteral("<LANGUAGE_NAME>"), QStringLiteral("</LANGUAGE_NAME>")));
            Combo1->setText(saved);
        }
    } catch (...) {
        // A malformed group ends the list there: the loader cannot reach the groups after it.
    }
    // The arrow keys and the opened list start from the entry shown, so Enter confirms the
    // language the box shows; showing it applies nothing.
    if (Combo1->ListCount() > 0) {
        const QSignalBlocker quiet(Combo1);
        Combo1->setCurrentIndex(Combo1->findText(saved));
        Combo1->setText(saved);
    }
}

void frmLanguage::Combo1_Click()
{
    // A pick reached once the program is ending would save a language and start a new
    // main window on the way out.
    if (ui::programEnding())
        return;
    try {
        const QString text = Combo1->Text();
        if (text == kChooseLanguage)
            return;
        SaveProgramSetting(QStringLiteral("Language"), text);
        ui::Form *mainWindow = ui::Forms::find(QStringLiteral("Form1"));
        if (!mainWindow)
            mainWindow = ui::Forms::load(QStringLiteral("Form1"));
        if (!mainWindow)
            return;
        ChangeLanguage(mainWindow, text);
        ChangeLanguage(this, text);
    } catch (...) {
    }
}

void frmLanguage::Command1_Click()
{
    const QString url = productServer() + QStringLiteral("/Languages/") + QString::number(intProductId) +
                        QStringLiteral("/Localization.txt");
    // The window's messages run during the download: the user may close the chooser meanwhile.
    // Closing it stops the download: the file stays as it was and nothing is announced.
    const ui::WindowGuard guard(this);
    DownloadOptions options;
    options.guard = guard;
    options.maxBytes = LanguageFileMaxBytes;
    DownloadResult download = DownloadUrl(url, options);
    // Half a language file would replace a whole one: only a reply that arrived whole counts,
    // and one that goes on past any real language file is none.
    QByteArray &reply = download.body;
    if (!download.whole || !reply.toUpper().contains("<TRANSLATION_ITEMS>"))
        return;

    // Whatever precedes the first tag (a byte-order mark, blank lines) is dropped.
    reply.remove(0, reply.indexOf('<'));
    if (!SaveFileOrTell(LocalizationFileForWriting(), reply + "\r\n", QStringLiteral("The language file")))
        return;
    if (guard.alive())
        FillLanguageList();
    MsgBox(messageOr(QStringLiteral("MSG_DOWNLOADED"),
                     QStringLiteral("The latest language file has been downloaded.  "
                                    "Please choose your language from the list.")),
           vbOKOnly);
}

void frmLanguage::Command2_Click()
{
    ui::Forms::unload(this);
}

void frmLanguage::Command3_Click()
{
    const QString path = LocalizationFilePath();
    if (FileExists(path))
        ShellOpen(path, 1);
}

bool frmLanguage::ShellOpen(const QString &strFile, int lngShowCmd)
{
    // The desktop decides how the file's program shows itself.
    Q_UNUSED(lngShowCmd);
    return platform::shellOpen(strFile);
}
