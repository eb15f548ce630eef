// The website launcher, the help launcher and the about box.
#include "tests/mainwindow/MenuWindowsFixture.h"

#include "mainwindow/frmAbout.h"
#include "platform/core/VersionInfo.h"
#include "services/modMarque.h"

#include <QElapsedTimer>
#include <QTest>

using namespace mwtest;

namespace
{

class HelpWindowsTest : public MenuWindowsTest
{
protected:
    void setWebsite(const QString &website)
    {
        platform::setVersionInfo({QStringLiteral("DeckTest"), QStringLiteral("Test Co"), website, 2, 5});
    }

    // One request to a freshly loaded launcher; the launcher is unloaded again afterwards.
    void request(const QString &pageRequest)
    {
        PageRequest = pageRequest;
        ui::Form *launcher = ui::Forms::load(QStringLiteral("frmWebsite"));
        ASSERT_NE(launcher, nullptr);
        EXPECT_FALSE(launcher->isVisible());
        ui::Forms::unload(launcher);
    }
};

} // namespace

TEST_F(HelpWindowsTest, WebsiteRequestOpensTheWebsiteWithASchemeOnlyWhereItHasNone)
{
    const QList<QPair<QString, QString>> cases = {
        {QStringLiteral("www.example.org"), QStringLiteral("http://www.example.org")},
        {QStringLiteral("HTTPS://secure.example.org"), QStringLiteral("HTTPS://secure.example.org")},
        {QStringLiteral("see http://example.org/deck"), QStringLiteral("see http://example.org/deck")},
        {QStringLiteral("Http://example.org"), QStringLiteral("Http://example.org")},
        // The launcher does not judge the address: an empty website opens the bare scheme.
        {QString(), QStringLiteral("http://")},
    };
    for (const auto &[website, expected] : cases) {
        opened.clear();
        setWebsite(website);
        request(QStringLiteral("Website"));
        EXPECT_EQ(opened, QStringList{expected}) << website.toStdString();
        EXPECT_TRUE(PageRequest.isEmpty());
    }
}

TEST_F(HelpWindowsTest, OtherRequestsOpenNothingAndStaySet)
{
    for (const QString &other : {QStringLiteral("website"), QStringLiteral("Sports"),
                                 QStringLiteral("Extras"), QStringLiteral("Website "), QString()}) {
        request(other);
        EXPECT_EQ(PageRequest, other);
    }
    EXPECT_TRUE(opened.isEmpty());
}

TEST_F(HelpWindowsTest, LauncherGoesAwayAfterASecondAndIgnoresRequestsUntilThen)
{
    QElapsedTimer clock;
    clock.start();
    PageRequest = QStringLiteral("Website");
    ui::Form *launcher = ui::Forms::load(QStringLiteral("frmWebsite"));
    ASSERT_NE(launcher, nullptr);
    EXPECT_EQ(opened.size(), 1);

    // Still loaded: a second request within the second opens nothing and stays set.
    PageRequest = QStringLiteral("Website");
    EXPECT_EQ(ui::Forms::load(QStringLiteral("frmWebsite")), launcher);
    EXPECT_EQ(opened.size(), 1);
    EXPECT_EQ(PageRequest, QStringLiteral("Website"));

    EXPECT_TRUE(QTest::qWaitFor([] { return !ui::Forms::find(QStringLiteral("frmWebsite")); }, 5000));
    EXPECT_GE(clock.elapsed(), 900);

    ASSERT_NE(ui::Forms::load(QStringLiteral("frmWebsite")), nullptr);
    EXPECT_EQ(opened, (QStringList{QStringLiteral("http://www.example.org"),
                                   QStringLiteral("http://www.example.org")}));
    EXPECT_TRUE(PageRequest.isEmpty());
}

TEST_F(HelpWindowsTest, HelpLauncherOpensTheHelpFileAndRecordsItMachineWide)
{
    writeHelpFile();
    ui::Form *help = ui::Forms::load(QStringLiteral("Form8"));
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(opened, QStringList{helpFile()});
    EXPECT_EQ(machineSetting(QStringLiteral("showHelp")), QStringLiteral("0"));
    EXPECT_FALSE(help->isVisible());
    EXPECT_EQ(help->size(), QSize(0, 0));
    // The per-user setting is the start-up's business, not the launcher's.
    EXPECT_EQ(setting(QStringLiteral("showHelp")), QStringLiteral("0"));
}

TEST_F(HelpWindowsTest, MissingHelpFileOpensNothingAndWritesNothing)
{
    // A folder of that name is no help file either.
    QDir().mkpath(helpFile());
    ASSERT_NE(ui::Forms::load(QStringLiteral("Form8")), nullptr);
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_EQ(machineSetting(QStringLiteral("showHelp")), QStringLiteral("<none>"));
}

TEST_F(HelpWindowsTest, AboutBoxShowsTheVersionInformation)
{
    platform::setVersionInfo(
        {QStringLiteral("DeckTest"), QStringLiteral("Test Co"), QStringLiteral("www.example.org"), 2, 0});
    // The caption takes the brand value, the labels the version information itself.
    strProgramName = QStringLiteral("Brand Deck");
    auto *about = qobject_cast<frmAbout *>(ui::Forms::load(QStringLiteral("frmAbout")));
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->Caption(), QStringLiteral("About Brand Deck"));
    EXPECT_EQ(about->Label1->Caption(), QStringLiteral("DeckTest"));
    EXPECT_EQ(about->lblVersion->Caption(), QStringLiteral("2.0"));
    EXPECT_EQ(about->lblCompany->Caption(), QStringLiteral("Test Co"));
    EXPECT_EQ(about->lblWebsite->Caption(), QStringLiteral("www.example.org"));
    EXPECT_EQ(about->Label2->Caption(), QStringLiteral("Version:"));
    EXPECT_EQ(about->Label3->Caption(), QStringLiteral("Owned By:"));
    EXPECT_EQ(about->Label4->Caption(), QStringLiteral("Website:"));
    EXPECT_EQ(about->ScaleWidth(), 7455);
    EXPECT_EQ(about->ScaleHeight(), 2925);
    EXPECT_EQ(about->lblVersion->font().family(), QStringLiteral("Verdana"));
    EXPECT_TRUE(about->lblVersion->font().bold());
    // Outside skin mode the plain labels stay and the skin-label array keeps its one element.
    EXPECT_EQ(about->controlArray(QStringLiteral("SkinLabel1")).size(), 1);
    ui::Forms::unload(about);

    platform::setVersionInfo({QStringLiteral("DeckTest"), QStringLiteral("Test Co"), QString(), 2, 10});
    about = qobject_cast<frmAbout *>(ui::Forms::load(QStringLiteral("frmAbout")));
    EXPECT_EQ(about->lblVersion->Caption(), QStringLiteral("2.10"));
}

TEST_F(HelpWindowsTest, AboutBoxInSkinModeGivesEachPlainLabelASkinLabelTwin)
{
    blnUseSkin = true;
    auto *about = qobject_cast<frmAbout *>(ui::Forms::load(QStringLiteral("frmAbout")));
    blnUseSkin = false;
    ASSERT_NE(about, nullptr);
    const QList<QObject *> twins = about->controlArray(QStringLiteral("SkinLabel1"));
    ASSERT_EQ(twins.size(), 4);
    const ui::Label *labels[] = {about->Label2, about->Label3, about->Label4};
    for (int i = 0; i < 3; ++i) {
        auto *twin = qobject_cast<ui::SkinLabel *>(twins[i + 1]);
        ASSERT_NE(twin, nullptr);
        EXPECT_EQ(ui::controlIndex(twin), i + 1);
        EXPECT_EQ(twin->Caption(), labels[i]->Caption());
        EXPECT_EQ(QRect(twin->Left(), twin->Top(), twin->Width(), twin->Height()),
                  QRect(labels[i]->Left(), labels[i]->Top(), labels[i]->Width(), labels[i]->Height()));
        EXPECT_EQ(twin->font(), labels[i]->font());
        EXPECT_FALSE(twin->isHidden());
        EXPECT_FALSE(labels[i]->isHidden());
    }
}
