// Colouring from the skin control, the skin call and the banner container.
#include "platform/ui/Controls.h"
#include "platform/ui/Form.h"
#include "services/modMarque.h"
#include "services/modSkin.h"
#include "tests/support/LoopbackServer.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace ui;

namespace
{

constexpr int kRed = 0x0000FF;
constexpr int kGreen = 0x00FF00;
constexpr int kBlue = 0xFF0000;

class SkinTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        cmd1 = form.addControl<CommandButton>(QStringLiteral("Command1"), nullptr, 0, 0, 1200, 400);
        cmd2 = form.addControl<CommandButton>(QStringLiteral("Command2"), nullptr, 0, 450, 1200, 400);
        text = form.addControl<TextBox>(QStringLiteral("Text1"), nullptr, 0, 900, 1200, 300);
        label = form.addControl<Label>(QStringLiteral("Label1"), nullptr, 0, 1300, 1200, 300);
        pic = form.addControl<PictureBox>(QStringLiteral("Picture1"), nullptr, 0, 1700, 1200, 600);
        labelBack = label->BackColor();
        labelFore = label->ForeColor();
    }
    void TearDown() override { objSkin = nullptr; }

    Form form{QStringLiteral("frmSkin")};
    CommandButton *cmd1 = nullptr, *cmd2 = nullptr;
    TextBox *text = nullptr;
    Label *label = nullptr;
    PictureBox *pic = nullptr;
    int labelBack = 0, labelFore = 0;
};

} // namespace

TEST_F(SkinTest, ColorizeControlsColoursButtonsListsTextsAndPictures)
{
    ColorizeControls(&form, kRed, kGreen, kBlue);
    EXPECT_EQ(cmd1->BackColor(), kRed);
    EXPECT_EQ(cmd2->BackColor(), kRed);
    EXPECT_EQ(text->BackColor(), kRed);
    EXPECT_EQ(text->ForeColor(), kGreen);
    EXPECT_EQ(pic->BackColor(), kBlue);
    EXPECT_EQ(label->BackColor(), labelBack);
    EXPECT_EQ(label->ForeColor(), labelFore);
}

TEST_F(SkinTest, ApplySkinUsesTheSkinControlsColoursAndSkinsTheWindow)
{
    Skin skin;
    skin.setControlBackColor(kRed);
    skin.setControlForeColor(kGreen);
    skin.setPictureBackColor(kBlue);
    objSkin = &skin;
    ApplySkin(&form);
    EXPECT_EQ(cmd1->BackColor(), kRed);
    EXPECT_EQ(text->ForeColor(), kGreen);
    EXPECT_EQ(pic->BackColor(), kBlue);
    EXPECT_EQ(skin.skinnedWindows(), (QList<QWidget *>{&form}));
    EXPECT_FALSE(IsVistaOrLater());
    EXPECT_TRUE(form.mask().isEmpty()); // the region is never touched here
    EXPECT_FALSE(skin.isVisibleTo(&form));
}

TEST_F(SkinTest, WithoutASkinControlColoursReadAsZero)
{
    ASSERT_EQ(objSkin, nullptr);
    ApplySkin(&form);
    EXPECT_EQ(cmd1->BackColor(), 0);
    EXPECT_EQ(text->ForeColor(), 0);
    EXPECT_EQ(pic->BackColor(), 0);
}

TEST_F(SkinTest, TheSkinHelperIsCreatedOnFirstUseAndRecordsItsCalls)
{
    Skin skin;
    SkinHelper *helper = SkinHelperObject();
    ASSERT_NE(helper, nullptr);
    EXPECT_EQ(SkinHelperObject(), helper);
    helper->attach(skin.skinSource());
    helper->activate();
    EXPECT_EQ(helper->calls(), (QStringList{QStringLiteral("attach"), QStringLiteral("activate")}));
    EXPECT_EQ(helper->attachedSource(), skin.skinSource());
    NotifySkinHelperOnVista(); // not that platform: no third call
    EXPECT_EQ(helper->calls().size(), 2);
}

TEST(BannerTest, SetupBannerPutsTheBrowserIntoANarrowerBorderlessContainer)
{
    Form form(QStringLiteral("Form1"));
    auto *wbBanner = form.addControl<WebBrowser>(QStringLiteral("wbBanner"), nullptr, 5520, 1020, 7335, 945);
    wbBanner->setVisible(false);
    auto *wbPicture =
        form.addControl<PictureBox>(QStringLiteral("wbPicture"), nullptr, 12600, 1020, 330, 920);
    BannerUrl = QStringLiteral("http://");
    SetupBanner(&form);

    ASSERT_NE(picBanner, nullptr);
    EXPECT_EQ(form.control(QStringLiteral("picBox")), picBanner);
    EXPECT_EQ(picBanner->Left(), 5520);
    EXPECT_EQ(picBanner->Top(), 1020);
    EXPECT_EQ(picBanner->Width(), 7055);
    EXPECT_EQ(picBanner->Height(), 945);
    EXPECT_EQ(picBanner->BorderStyle(), 0);
    EXPECT_EQ(wbBanner->parentWidget(), picBanner);
    EXPECT_EQ(wbBanner->Left(), 0);
    EXPECT_EQ(wbBanner->Top(), 0);
    EXPECT_EQ(wbBanner->Width(), 7335);
    EXPECT_EQ(wbBanner->Height(), 945);
    EXPECT_TRUE(wbBanner->Visible());
    EXPECT_TRUE(picBanner->Visible());
    EXPECT_FALSE(wbPicture->Visible());

    // Once per window: a second call adds nothing.
    SetupBanner(&form);
    EXPECT_EQ(form.controls().size(), 3);
}

TEST(BannerTest, InAPixelWindowTheMarginIsTwentyPixelsAndTheBannerPageLoads)
{
    testsupport::LoopbackServer server;
    server.server().set_keep_alive_max_count(1);
    server.server().Get("/banner.html", [](const httplib::Request &, httplib::Response &res) {
        res.set_content("<html><head><title>Banner</title></head></html>", "text/html");
    });
    server.start();
    Form form(QStringLiteral("Form1"));
    form.setScaleMode(Form::vbPixels);
    auto *wbBanner = form.addControl<WebBrowser>(QStringLiteral("wbBanner"), nullptr, 5520, 1020, 7335, 945);
    form.addControl<PictureBox>(QStringLiteral("wbPicture"), nullptr, 12600, 1020, 330, 920);
    QSignalSpy done(wbBanner, &WebBrowser::DocumentComplete);
    form.show(); // the browser engine starts with the first browser shown
    BannerUrl = server.url(QStringLiteral("/banner.html"));
    SetupBanner(&form);
    EXPECT_EQ(picBanner->Width(), 7335 - toTwips(20));
    ASSERT_TRUE(done.wait(20000));
    EXPECT_EQ(wbBanner->title(), QStringLiteral("Banner"));
    BannerUrl.clear();
}
