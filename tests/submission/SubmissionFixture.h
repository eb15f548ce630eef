// Shared set-up of the submission tests: temporary program folder, recorded message boxes,
// a loopback server standing in for the maker's server and for web pages, and a stand-in
// main window with a favourites list.
#pragma once

#include "platform/ui/Form.h"
#include "services/FavouritesStore.h"
#include "submission/frmSubmit.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/MsgBoxRecorder.h"
#include "tests/support/TempEnvironment.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>
#include <memory>
#include <mutex>

namespace ui
{
class ListView;
}

namespace subtest
{

// A window named as the main window, with a favourites list but nothing that keeps favourites.
class StandInForm1 : public ui::Form
{
    Q_OBJECT

public:
    explicit StandInForm1(QWidget *parent = nullptr);

    ui::ListView *ListView2;
};

// The main window as the submission sees it: its favourites list, and the save counted.
class SavingForm1 : public StandInForm1, public FavouritesStore
{
    Q_OBJECT

public:
    using StandInForm1::StandInForm1;
    void addFavorite(const FavoriteRecord &favorite) override;
    void saveFavorites() override;

    int saveCalls = 0;
    int itemsWhenSaved = -1;
};

// What the loopback server received, copied on its own thread.
struct Received {
    int count = 0;
    std::string target;                        // the raw request target, query as sent
    std::map<std::string, std::string> params; // decoded as a server decodes them
    std::string userAgent;
    std::string pragma; // "no-cache" when the request asked caches not to answer
};

class SubmissionTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Serves body for "/webtv/submit.asp" and points the product server at the loopback.
    void answerSubmissionWith(const QByteArray &body);
    // Serves each page (path -> body) on the loopback.
    void servePages(const QMap<QString, QByteArray> &pages);
    Received received();

    frmSubmit *loadWindow();
    // A submission that passes every check.
    void fillValidEntries(frmSubmit *form);
    // The window with valid entries, the server answering with answer.
    frmSubmit *validSubmission(const QByteArray &answer);

    static QStringList listEntries(const frmSubmit *form);

    std::unique_ptr<testsupport::TempEnvironment> env;
    std::unique_ptr<testsupport::MsgBoxRecorder> boxes;
    std::unique_ptr<testsupport::LoopbackServer> server;
    std::mutex mutex;
    Received got;
};

} // namespace subtest
