#include "tests/submission/SubmissionFixture.h"

#include "localisation/modLanguages.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Forms.h"
#include "submission/registerSubmission.h"

#include <QCoreApplication>
#include <QEvent>

namespace subtest
{

StandInForm1::StandInForm1(QWidget *parent) : ui::Form(QStringLiteral("Form1"), parent)
{
    ListView2 = addControl<ui::ListView>(QStringLiteral("ListView2"), nullptr, 0, 0, 4935, 3795);
    ListView2->ColumnHeaders()->Add(QStringLiteral("Channel"));
    ListView2->ColumnHeaders()->Add(QStringLiteral("Category"));
    ListView2->ColumnHeaders()->Add(QStringLiteral("Type"));
}

void SavingForm1::addFavorite(const FavoriteRecord &favorite)
{
    ui::ListItem *item = ListView2->ListItems()->Add(favorite.name);
    item->setTag(favorite.tag);
    item->setSubItems(1, favorite.category);
    item->setSubItems(2, favorite.type);
}

void SavingForm1::saveFavorites()
{
    ++saveCalls;
    itemsWhenSaved = ListView2->ListItems()->Count();
}

void SubmissionTest::SetUp()
{
    env = std::make_unique<testsupport::TempEnvironment>();
    env->setEnv("CHANNELDECK_HEADLESS_MEDIA", "1");
    // Nothing listens here unless a test serves something.
    env->setEnv("CHANNELDECK_SERVER",
                QStringLiteral("http://127.0.0.1:%1").arg(testsupport::unusedLoopbackPort()).toUtf8());
    boxes = std::make_unique<testsupport::MsgBoxRecorder>();
    server = std::make_unique<testsupport::LoopbackServer>();
    registerSubmissionWindows();
    ui::Forms::registerClass(QStringLiteral("Form1"), [] { return new SavingForm1; });
}

void SubmissionTest::TearDown()
{
    ui::Forms::unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    server.reset();
    boxes.reset();
    env.reset();
}

void SubmissionTest::answerSubmissionWith(const QByteArray &body)
{
    server->server().Get("/webtv/submit.asp",
                         [this, body](const httplib::Request &req, httplib::Response &res) {
                             {
                                 std::lock_guard lock(mutex);
                                 ++got.count;
                                 got.target = req.target;
                                 got.params.clear();
                                 for (const auto &[key, value] : req.params)
                                     got.params[key] = value;
                                 got.userAgent = req.get_header_value("User-Agent");
                                 got.pragma = req.get_header_value("Pragma");
                             }
                             res.set_content(body.toStdString(), "text/plain");
                         });
    server->start();
    env->setEnv("CHANNELDECK_SERVER", server->url().toUtf8());
}

void SubmissionTest::servePages(const QMap<QString, QByteArray> &pages)
{
    for (auto it = pages.cbegin(); it != pages.cend(); ++it) {
        const std::string body = it.value().toStdString();
        server->server().Get(it.key().toStdString(),
                             [this, body](const httplib::Request &req, httplib::Response &res) {
                                 {
                                     std::lock_guard lock(mutex);
                                     ++got.count;
                                     got.target = req.target;
                                     got.userAgent = req.get_header_value("User-Agent");
                                     got.pragma = req.get_header_value("Pragma");
                                 }
                                 res.set_content(body, "text/html");
                             });
    }
    server->start();
}

Received SubmissionTest::received()
{
    std::lock_guard lock(mutex);
    return got;
}

frmSubmit *SubmissionTest::loadWindow()
{
    return static_cast<frmSubmit *>(ui::Forms::load(QStringLiteral("frmSubmit")));
}

void SubmissionTest::fillValidEntries(frmSubmit *form)
{
    form->txtName->setText(QStringLiteral("Test TV"));
    form->cmbType->setText(QStringLiteral("TV/Video"));
    form->txtLang->setText(QStringLiteral("English"));
    form->txtURL->setText(QStringLiteral("http://streams.example.com/live.asx"));
    form->cmbRating->setText(QStringLiteral("5"));
}

frmSubmit *SubmissionTest::validSubmission(const QByteArray &answer)
{
    answerSubmissionWith(answer);
    frmSubmit *form = loadWindow();
    fillValidEntries(form);
    return form;
}

QStringList SubmissionTest::listEntries(const frmSubmit *form)
{
    QStringList entries;
    for (int i = 0; i < form->List1->ListCount(); ++i)
        entries << form->List1->List(i);
    return entries;
}

} // namespace subtest
