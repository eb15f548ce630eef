#include "tests/mainwindow/MainWindowFixture.h"

#include "tests/mainwindow/MainWindowSession.h"

#include "platform/core/SettingsStore.h"
#include "platform/core/VersionInfo.h"
#include "platform/ui/Forms.h"

#include <QAbstractItemModelTester>

namespace mwtest
{

QByteArray dataFile(const QStringList &lines)
{
    QByteArray out;
    for (const QString &line : lines)
        out += line.toUtf8() + "\r\n";
    return out;
}

QString channelLine(const QString &name, const QString &category, const QString &types, const QString &url,
                    const QString &rating, const QString &favourites)
{
    static int id = 0;
    return QStringLiteral("%1|%2|%3|%4|%5|1/1/01|1/1/01|%6|%7|")
        .arg(++id)
        .arg(name, category, url, types, favourites, rating);
}

void MainWindowTest::SetUp()
{
    env = std::make_unique<testsupport::TempEnvironment>();
    env->setEnv("CHANNELDECK_HEADLESS_MEDIA", "1");
    boxes = std::make_unique<testsupport::MsgBoxRecorder>();
    beginMainWindowSession(
        {QStringLiteral("DeckTest"), QStringLiteral("Test Co"), QStringLiteral("www.example.org"), 2, 5},
        [this] { ++endCalls; });
}

void MainWindowTest::TearDown()
{
    endMainWindowSession();
    boxes.reset();
    env.reset();
}

void MainWindowTest::writeData(const QStringList &lines) const
{
    env->writeFile(env->dataHome() + QStringLiteral("/TVDAT/Data.txt"), dataFile(lines));
}

void MainWindowTest::checkChannelListModel()
{
    ui::Forms::registerClass(QStringLiteral("Form1"), [] {
        auto *form = new Form1;
        QAbstractItemModel *model = form->ListView1->model();
        new QAbstractItemModelTester(model, QAbstractItemModelTester::FailureReportingMode::Fatal, model);
        return form;
    });
}

Form1 *MainWindowTest::loadForm1()
{
    auto *form = qobject_cast<Form1 *>(ui::Forms::load(QStringLiteral("Form1")));
    return form;
}

QStringList MainWindowTest::itemTexts(ui::ListView *lv)
{
    QStringList texts;
    for (int i = 1; i <= lv->ListItems()->Count(); ++i)
        texts.append(lv->ListItems()->Item(i)->Text());
    return texts;
}

QStringList MainWindowTest::comboItems(ui::ComboBox *combo)
{
    QStringList items;
    for (int i = 0; i < combo->ListCount(); ++i)
        items.append(combo->List(i));
    return items;
}

void MainWindowTest::pick(ui::ComboBox *combo, const QString &text)
{
    const int index = comboItems(combo).indexOf(text);
    ASSERT_GE(index, 0) << text.toStdString();
    combo->setListIndex(index);
}

QString MainWindowTest::setting(const QString &key)
{
    return platform::getSetting(platform::versionInfo().productName, QStringLiteral("Settings"), key,
                                QStringLiteral("<none>"));
}

void MainWindowTest::putSetting(const QString &key, const QString &value)
{
    putProgramSetting(key, value);
}

} // namespace mwtest
