// The online update against a loopback guide server: which replies replace Data.txt and how,
// the count box, the status texts, the TV list reload, and that a failed update keeps the
// old list. Also the removal by id and the date file.
#include "tests/mainwindow/MainWindowFixture.h"
#include "tests/support/LoopbackServer.h"

#include "platform/ui/Forms.h"

#include <QAbstractItemModelTester>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QMetaObject>
#include <QPointer>

using namespace mwtest;
using testsupport::LoopbackServer;

namespace
{

const QString ConnectError = QStringLiteral("Error connecting to update site.");
const QString NoUpdates = QStringLiteral("No updates were available.");

class UpdateTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        putSetting("TVLang", "All");
        writeData({channelLine("Old One", "TV", "English"), channelLine("Old Two", "TV", "German")});
        original = testsupport::TempEnvironment::readFile(dataPath());
    }

    // Serves body as /guide.sat, then loads the window pointed at the server.
    void serve(const QByteArray &body)
    {
        server.server().Get("/guide.sat", [body](const httplib::Request &, httplib::Response &res) {
            res.set_content(body.toStdString(), "text/html");
        });
        server.start();
        env->setEnv("CHANNELDECK_SERVER", server.url().toUtf8());
        load();
    }

    void load()
    {
        form = loadForm1();
        ASSERT_NE(form, nullptr);
        boxes->clear();
    }

    QString dataPath() const { return env->dataHome() + QStringLiteral("/TVDAT/Data.txt"); }
    QByteArray data() const { return testsupport::TempEnvironment::readFile(dataPath()); }
    QStringList boxTexts() const
    {
        QStringList texts;
        for (const auto &box : boxes->boxes())
            texts.append(box.prompt);
        return texts;
    }
    void expectUntouched()
    {
        EXPECT_EQ(data(), original);
        QStringList shown = itemTexts(form->ListView1);
        shown.sort();
        EXPECT_EQ(shown, (QStringList{"Old One", "Old Two"}));
    }

    // The update ends with a status text alone: no box, the old file and list kept.
    void expectRefusedWith(const QString &status)
    {
        EXPECT_FALSE(form->updateChannelsOnline());
        EXPECT_EQ(form->StatusBar1->panelText(1), status);
        EXPECT_EQ(boxes->count(), 0);
        expectUntouched();
    }

    LoopbackServer server;
    Form1 *form = nullptr;
    QByteArray original;
};

} // namespace

TEST_F(UpdateTest, GuideReplacesDataTxtReportsTheCountAndReloadsTheTvList)
{
    serve("1|Alpha TV|TV|http://a.example/live|English/News<BR>"
          "007|Beta FM|Radio|http://b.example/fm|Spanish<BR>"
          "3|Gamma|TV|http://g.example/x|German|extra|fields|here<BR>");
    QAbstractItemModelTester tester(form->ListView1->model(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_TRUE(form->updateChannelsOnline());

    EXPECT_EQ(data(),
              QByteArray("1|Alpha TV|TV|http://a.example/live|English/News|1/1/01|1/1/01|1/1/01|5|\r\n"
                         "7|Beta FM|Radio|http://b.example/fm|Spanish|1/1/01|1/1/01|1/1/01|5|\r\n"
                         "3|Gamma|TV|http://g.example/x|German|1/1/01|1/1/01|1/1/01|5|\r\n"));
    EXPECT_EQ(boxTexts(), QStringList{"Downloaded 3 channel updates"});
    ASSERT_EQ(boxes->count(), 1);
    EXPECT_EQ(boxes->boxes().first().title, "DeckTest");

    // The TV list now shows the new channels with the rating and figure the update gives.
    EXPECT_EQ(form->strCategory, "TV");
    ASSERT_EQ(form->ListView1->ListItems()->Count(), 2);
    for (int i = 1; i <= 2; ++i) {
        const ui::ListItem *item = form->ListView1->ListItems()->Item(i);
        EXPECT_TRUE(item->Text() == "Alpha TV" || item->Text() == "Gamma") << item->Text().toStdString();
        EXPECT_EQ(item->SubItems(3), "5.0");
        EXPECT_EQ(item->SubItems(4), "1/1/01");
    }
    EXPECT_EQ(comboItems(form->Combo1), (QStringList{"All", "English", "German", "News"}));
}

TEST_F(UpdateTest, WindowClosedWhileTheCountBoxIsReadIsNotReloaded)
{
    serve("1|Alpha TV|TV|http://a.example/live|English/News<BR>");
    QPointer<Form1> alive(form);
    const platform::MessageBoxPresenter recorder =
        platform::setMessageBoxPresenter([](const platform::MessageBoxRequest &) {
            ui::Forms::unload(QStringLiteral("Form1"));
            return int(vbOK);
        });
    EXPECT_TRUE(form->updateChannelsOnline());
    platform::setMessageBoxPresenter(recorder);

    // The guide is stored, but the window that went during the box is left as it was.
    EXPECT_TRUE(data().startsWith("1|Alpha TV|"));
    EXPECT_EQ(ui::Forms::find(QStringLiteral("Form1")), nullptr);
    ASSERT_FALSE(alive.isNull());
    QStringList shown = itemTexts(form->ListView1);
    shown.sort();
    EXPECT_EQ(shown, (QStringList{"Old One", "Old Two"}));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull());
}

TEST_F(UpdateTest, OneRecordAndSeparatorCountsOneAndLeadingBlankLinesAroundIdsAreTolerated)
{
    serve("\r\n 12 |Solo|TV|http://s.example/|Music<BR>\r\n");
    EXPECT_TRUE(form->updateChannelsOnline());
    EXPECT_EQ(data(), QByteArray("12|Solo|TV|http://s.example/|Music|1/1/01|1/1/01|1/1/01|5|\r\n"));
    EXPECT_EQ(boxTexts(), QStringList{"Downloaded 1 channel updates"});
    EXPECT_EQ(itemTexts(form->ListView1), QStringList{"Solo"});
}

TEST_F(UpdateTest, FieldsKeepTheirBytesButNoLineBreak)
{
    serve("5|Caf\xc3\xa9 \xe9|TV|http://c.example/a|Fran\xe7\x61is\r\n<BR>");
    EXPECT_TRUE(form->updateChannelsOnline());
    EXPECT_EQ(
        data(),
        QByteArray("5|Caf\xc3\xa9 \xe9|TV|http://c.example/a|Fran\xe7\x61is|1/1/01|1/1/01|1/1/01|5|\r\n"));
}

TEST_F(UpdateTest, ReplyWithoutSeparatorIsAConnectionErrorAndChangesNothing)
{
    serve("1|Solo|TV|http://s.example/|Music");
    expectRefusedWith(ConnectError);
}

TEST_F(UpdateTest, UnreachableServerIsAConnectionError)
{
    env->setEnv("CHANNELDECK_SERVER",
                QByteArray("http://127.0.0.1:") + QByteArray::number(testsupport::unusedLoopbackPort()));
    load();
    expectRefusedWith(ConnectError);
}

TEST_F(UpdateTest, SeparatorOnlyInLowerCaseMeansNoUpdates)
{
    serve("1|Solo|TV|http://s.example/|Music<br>2|Duo|TV|http://d.example/|Music<Br>");
    expectRefusedWith(NoUpdates);
}

TEST_F(UpdateTest, BrokenRecordsKeepTheOldListAndReportZero)
{
    const QByteArray shortRecord = "1|Good|TV|http://g.example/|News<BR>2|Short|TV|http://s.example/<BR>";
    serve(shortRecord);
    const QByteArray others[] = {
        "1|Good|TV|http://g.example/|News<BR>x7|Bad id|TV|http://b.example/|News<BR>",
        "1.5|Fraction|TV|http://f.example/|News<BR>",
        "99999999999|Too big|TV|http://f.example/|News<BR>",
    };
    for (const QByteArray &reply : others) {
        SCOPED_TRACE(reply.toStdString());
        QByteArray defs = reply;
        EXPECT_EQ(form->extractNewDefs(defs), 0);
        EXPECT_EQ(data(), original);
    }

    // Through the menu command: the zero box, and the list is not reloaded.
    form->ListView1->ListItems()->Clear();
    EXPECT_FALSE(form->updateChannelsOnline());
    EXPECT_EQ(boxTexts(), QStringList{"Downloaded 0 channel updates"});
    EXPECT_EQ(form->ListView1->ListItems()->Count(), 0);
    EXPECT_EQ(data(), original);
}

TEST_F(UpdateTest, PageWithSeparatorsButNoRecordsDoesNotEmptyTheList)
{
    serve("<html><body>Service unavailable<BR>Try later<BR></body></html>");
    EXPECT_FALSE(form->updateChannelsOnline());
    EXPECT_EQ(boxTexts(), QStringList{"Downloaded 0 channel updates"});
    expectUntouched();
}

TEST_F(UpdateTest, MissingDataFolderReportsZeroAndCreatesNothing)
{
    serve("1|Solo|TV|http://s.example/|Music<BR>");
    ASSERT_TRUE(QDir(env->dataHome() + QStringLiteral("/TVDAT")).removeRecursively());
    EXPECT_FALSE(form->updateChannelsOnline());
    const QStringList texts = boxTexts();
    ASSERT_EQ(texts.size(), 2);
    EXPECT_TRUE(texts.first().startsWith("The channel list could not be saved to " + dataPath()));
    EXPECT_EQ(texts.last(), "Downloaded 0 channel updates");
    EXPECT_FALSE(QFile::exists(dataPath()));
}

TEST_F(UpdateTest, RemoveChannelsByIdKeepsOtherLinesAndEndsWithAnEmptyLine)
{
    load();
    env->writeFile(dataPath(), "12|A|TV|u|T|1/1/01|1/1/01|1/1/01|5|\r\n"
                               "a note without bars\r\n"
                               "13|B|TV|u|T|1/1/01|1/1/01|1/1/01|5|\r\n"
                               " 12 |C|TV|u|T|1/1/01|1/1/01|1/1/01|5|\r\n"
                               "|D no id|TV|u|T|1/1/01|1/1/01|1/1/01|5|\r\n"
                               "15|E|TV|u|T|1/1/01|1/1/01|1/1/01|5|\r\n");
    ASSERT_TRUE(QMetaObject::invokeMethod(form, "removeChannelsById", Q_ARG(QString, "12")));
    EXPECT_EQ(data(), QByteArray("13|B|TV|u|T|1/1/01|1/1/01|1/1/01|5|\r\n"
                                 "|D no id|TV|u|T|1/1/01|1/1/01|1/1/01|5|\r\n"
                                 "15|E|TV|u|T|1/1/01|1/1/01|1/1/01|5|\r\n"
                                 "\r\n"));

    ASSERT_TRUE(QMetaObject::invokeMethod(form, "removeChannelsById", Q_ARG(QString, "13, 15")));
    EXPECT_EQ(data(), QByteArray("|D no id|TV|u|T|1/1/01|1/1/01|1/1/01|5|\r\n\r\n"));

    // The ids are compared as written: 012 is not 12.
    env->writeFile(dataPath(), "12|A|\r\n");
    ASSERT_TRUE(QMetaObject::invokeMethod(form, "removeChannelsById", Q_ARG(QString, "012")));
    EXPECT_EQ(data(), QByteArray("12|A|\r\n\r\n"));

    // The loader still reads the rewritten file, skipping the empty last line.
    env->writeFile(dataPath(),
                   dataFile({channelLine("Kept", "TV", "News"), channelLine("Gone", "TV", "News")}));
    const QString goneId = QString::fromUtf8(data().split('\n').at(1).split('|').first());
    ASSERT_TRUE(QMetaObject::invokeMethod(form, "removeChannelsById", Q_ARG(QString, goneId)));
    form->cmdTV_Click();
    EXPECT_EQ(itemTexts(form->ListView1), QStringList{"Kept"});
    EXPECT_EQ(boxes->count(), 0);
}

TEST_F(UpdateTest, RemoveChannelsByIdWithoutDataTxtCreatesNothing)
{
    load();
    ASSERT_TRUE(QFile::remove(dataPath()));
    ASSERT_TRUE(QMetaObject::invokeMethod(form, "removeChannelsById", Q_ARG(QString, "1")));
    EXPECT_FALSE(QFile::exists(dataPath()));
}

TEST_F(UpdateTest, DateFileDefaultsAndRoundTrips)
{
    load();
    EXPECT_EQ(form->getINI(), "3/16/2006 12:00:00 AM");
    QString date = QStringLiteral("7/4/2008 10:30:00 PM");
    form->makeINI(date);
    EXPECT_EQ(testsupport::TempEnvironment::readFile(env->dataHome() + QStringLiteral("/TVDAT/date.dat")),
              QByteArray("7/4/2008 10:30:00 PM\r\n"));
    EXPECT_EQ(form->getINI(), date);
    QString later = QStringLiteral("1/1/2009");
    form->makeINI(later);
    EXPECT_EQ(form->getINI(), later);
}
