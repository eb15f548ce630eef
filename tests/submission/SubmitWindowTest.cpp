// The submission window itself: its controls in design order with their texts, its place on
// screen, its translation at load, and the language keys it gives the template writer.
#include "tests/submission/SubmissionFixture.h"

#include "localisation/modLanguages.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Forms.h"

#include <QFile>
#include <QRegularExpression>

using subtest::SubmissionTest;

namespace
{

class SubmitWindowTest : public SubmissionTest
{
protected:
    void SetUp() override
    {
        SubmissionTest::SetUp();
        languages = std::make_unique<clsLanguages>();
        objLanguages = languages.get();
        strLanguage = QStringLiteral("English");
    }

    void TearDown() override
    {
        SubmissionTest::TearDown();
        objLanguages = nullptr;
        strLanguage.clear();
        languages.reset();
    }

    // The FRMSUBMIT_ items of the first (English) group of a language file, key -> text.
    static QMap<QString, QString> submitItems(const QByteArray &file)
    {
        static const QRegularExpression item(QStringLiteral("^\\t\\t<(FRMSUBMIT_[A-Z0-9_]+)>(.*)</\\1>\\r?$"),
                                             QRegularExpression::MultilineOption);
        const QString text = QString::fromUtf8(file);
        const QString english = text.left(text.indexOf(QStringLiteral("</LANGUAGE_GROUP>")));
        QMap<QString, QString> items;
        auto it = item.globalMatch(english);
        while (it.hasNext()) {
            const auto m = it.next();
            items.insert(m.captured(1), m.captured(2));
        }
        return items;
    }

    std::unique_ptr<clsLanguages> languages;
};

QString caption(const QObject *control)
{
    return control->property("Caption").toString();
}

} // namespace

TEST_F(SubmitWindowTest, ControlsInDesignOrderWithTheirDesignTexts)
{
    frmSubmit *form = loadWindow();
    QStringList names;
    for (const QObject *c : form->controls())
        names << c->objectName();
    EXPECT_EQ(names,
              QStringList({"Label1", "txtName",    "Label2",    "cmbType",       "Label3",  "txtLang",
                           "Label4", "txtURL",     "Label5",    "cmbRating",     "Label6",  "chkFavorites",
                           "cmdAdd", "StatusBar1", "lblStream", "lblStreamInfo", "lblURL2", "txtURL2",
                           "cmdGo",  "lblResults", "List1",     "wmp1"}));
    EXPECT_EQ(ui::typeName(form->Label1), QStringLiteral("Label"));
    EXPECT_EQ(ui::typeName(form->wmp1), QStringLiteral("WindowsMediaPlayer"));
    EXPECT_EQ(form->Caption(), QStringLiteral("Add Channels"));

    EXPECT_EQ(form->txtName->Text(), QString());
    EXPECT_EQ(form->cmbType->Text(), QStringLiteral("TV/Video"));
    EXPECT_EQ(form->cmbType->Style(), ui::ComboBox::vbComboDropdown);
    EXPECT_EQ(form->cmbType->ListCount(), 2);
    EXPECT_EQ(form->cmbType->List(1), QStringLiteral("Radio/Music"));
    EXPECT_EQ(form->txtLang->Text(), QStringLiteral("English"));
    EXPECT_EQ(form->txtURL->Text(), QString());
    EXPECT_EQ(form->cmbRating->Text(), QStringLiteral("5"));
    EXPECT_EQ(form->cmbRating->Style(), ui::ComboBox::vbComboDropdown);
    QStringList ratings;
    for (int i = 0; i < form->cmbRating->ListCount(); ++i)
        ratings << form->cmbRating->List(i);
    EXPECT_EQ(ratings, QStringList({"5", "4", "3", "2", "1", "0"}));
    EXPECT_TRUE(caption(form->Label6)
                    .contains(QStringLiteral("verify it.   If you cannot find a link to the stream, try "
                                             "using the stream-finder below.  ")));
    EXPECT_EQ(form->chkFavorites->Value(), ui::vbChecked);
    EXPECT_EQ(form->txtURL2->Text(), QStringLiteral("http://"));
    EXPECT_EQ(form->List1->ListCount(), 0);
    EXPECT_EQ(form->wmp1->uiMode(), QStringLiteral("mini"));
    EXPECT_EQ(form->StatusBar1->PanelCount(), 1);
}

TEST_F(SubmitWindowTest, ControlsLieInsideTheWindowWithoutOverlapping)
{
    frmSubmit *form = loadWindow();
    form->Show();
    const QRect client = form->client()->rect();
    QList<QWidget *> widgets;
    for (QObject *c : form->controls()) {
        auto *w = qobject_cast<QWidget *>(c);
        ASSERT_NE(w, nullptr) << c->objectName().toStdString();
        EXPECT_TRUE(client.contains(w->geometry())) << w->objectName().toStdString();
        widgets << w;
    }
    for (int i = 0; i < widgets.size(); ++i) {
        for (int j = i + 1; j < widgets.size(); ++j) {
            EXPECT_FALSE(widgets[i]->geometry().intersects(widgets[j]->geometry()))
                << widgets[i]->objectName().toStdString() << " and "
                << widgets[j]->objectName().toStdString();
        }
    }
}

TEST_F(SubmitWindowTest, TranslatesItselfAtLoad)
{
    env->writeFile(LocalizationFilePath(),
                   "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<XML_DIZ_INFO>\r\n"
                   "<LANGUAGE_GROUP xml:lang=\"de\">\r\n\t<LANGUAGE_NAME>Deutsch</LANGUAGE_NAME>\r\n"
                   "\t<TRANSLATION_ITEMS>\r\n"
                   "\t\t<FRMSUBMIT_CAPTION>Sender hinzuf\xc3\xbcgen</FRMSUBMIT_CAPTION>\r\n"
                   "\t\t<FRMSUBMIT_LABEL1>Sendername:</FRMSUBMIT_LABEL1>\r\n"
                   "\t\t<FRMSUBMIT_CHKFAVORITES>Zu meinen Favoriten</FRMSUBMIT_CHKFAVORITES>\r\n"
                   "\t\t<FRMSUBMIT_CMDGO>Los</FRMSUBMIT_CMDGO>\r\n"
                   "\t\t<FRMSUBMIT_TXTURL2>nie</FRMSUBMIT_TXTURL2>\r\n"
                   "\t</TRANSLATION_ITEMS>\r\n</LANGUAGE_GROUP>\r\n</XML_DIZ_INFO>\r\n");
    strLanguage = QStringLiteral("Deutsch");
    frmSubmit *form = loadWindow();
    EXPECT_EQ(form->Caption(), QStringLiteral("Sender hinzuf\u00fcgen"));
    EXPECT_EQ(caption(form->Label1), QStringLiteral("Sendername:"));
    EXPECT_EQ(caption(form->chkFavorites), QStringLiteral("Zu meinen Favoriten"));
    EXPECT_EQ(caption(form->cmdGo), QStringLiteral("Los"));
    EXPECT_EQ(caption(form->cmdAdd), QStringLiteral("Submit Channel")); // no translation: design text
    EXPECT_EQ(form->txtURL2->Text(), QStringLiteral("http://"));        // text boxes are not translated
}

TEST_F(SubmitWindowTest, TemplateKeysAndTextsMatchTheShippedEnglishGroup)
{
    QFile shippedFile(QStringLiteral(CD_SOURCE_DIR "/resources/program/Localization.txt"));
    ASSERT_TRUE(shippedFile.open(QIODevice::ReadOnly));
    const QMap<QString, QString> shipped = submitItems(shippedFile.readAll());

    loadWindow();
    objLanguages->makeLocalizationFile();
    const QMap<QString, QString> written =
        submitItems(testsupport::TempEnvironment::readFile(LocalizationFilePath()));

    ASSERT_FALSE(written.isEmpty());
    EXPECT_EQ(written.keys(), shipped.keys());
    for (auto it = written.cbegin(); it != written.cend(); ++it) {
        SCOPED_TRACE(it.key().toStdString());
        EXPECT_EQ(it.value(), shipped.value(it.key()));
    }
}
