// The submission: checks the entries, sends them to the maker's server, reports its verdict
// and adds the channel to the main window's favourites when asked.
#include "submission/frmSubmit.h"

#include "platform/ui/Controls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/WindowGuard.h"
#include "services/FavouritesStore.h"
#include "services/ProductAddresses.h"
#include "services/modDownload.h"
#include "services/modGenDec.h"

namespace
{

// The server splits the query at "&", "=" and "#" and decodes "%xx" and "+", so a value that
// went out raw could be cut short or changed, and the scrambled address can hold any byte.
// Percent-encoded, every value arrives exactly as typed and the address byte for byte.
QString queryValue(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toPercentEncoding());
}

QString queryValue(const QString &text)
{
    return queryValue(text.toUtf8());
}

} // namespace

void frmSubmit::cmdAdd_Click()
{
    QString strType;
    if (cmbType->Text() == QLatin1String("Radio/Music"))
        strType = QStringLiteral("Radio");
    else if (cmbType->Text() == QLatin1String("TV/Video"))
        strType = QStringLiteral("TV");
    if (strType.isEmpty()) {
        MsgBox(QStringLiteral("Error: You must choose 'Radio/Music' or 'TV/Video'"), vbOKOnly);
        return;
    }
    if (txtURL->Text().isEmpty() || txtURL->Text() == QLatin1String("http://")) {
        MsgBox(QStringLiteral("You must enter a URL"), vbOKOnly);
        return;
    }
    if (txtName->Text().isEmpty()) {
        MsgBox(QStringLiteral("Error: You must enter a channel name"), vbOKOnly);
        return;
    }
    if (txtLang->Text().isEmpty()) {
        MsgBox(QStringLiteral("Error: You must enter a channel language"), vbOKOnly);
        return;
    }

    const QByteArray strEncURL = EncryptString(txtURL->Text().toUtf8());
    const QString strRequest = productServer() + QStringLiteral("/webtv/submit.asp?name=") +
                               queryValue(txtName->Text()) + QStringLiteral("&type=") + strType +
                               QStringLiteral("&lang=") + queryValue(txtLang->Text()) +
                               QStringLiteral("&rating=") + queryValue(cmbRating->Text()) +
                               QStringLiteral("&url=") + queryValue(strEncURL);

    // The window may be closed while the answer is awaited.
    const ui::WindowGuard guard(this);
    DownloadOptions options;
    options.guard = guard;
    options.maxBytes = SubmitAnswerMaxBytes;
    const DownloadResult download = DownloadUrl(strRequest, options);
    if (!guard.alive() || download.stopped)
        return;
    const QByteArray &strAnswer = download.body;

    // An answer that goes on past any the server gives is not the server's answer.
    if (download.cut || !strAnswer.contains('|')) {
        MsgBox(QStringLiteral("There was an error submitting your channel.  Please try again or check your "
                              "internet connection."),
               vbOKOnly);
        return;
    }
    const QByteArray strVerdict = strAnswer.left(strAnswer.indexOf('|'));
    if (strVerdict == "SUCCESS") {
        StatusBar1->setPanelText(1, txtName->Text() + QStringLiteral(" submitted!  Thank you!"));
    } else if (strVerdict == "DUPE") {
        if (chkFavorites->Value() == ui::vbChecked)
            StatusBar1->setPanelText(1,
                                     txtName->Text() + QStringLiteral(" is a duplicate submission.  It has "
                                                                      "still beed added to your favorites."));
        else
            StatusBar1->setPanelText(1, txtName->Text() + QStringLiteral(" is a duplicate submission."));
    } else {
        MsgBox(
            QStringLiteral("There was an error submitting your channel.  Please check the contents of your "
                           "submission for non-ascii characters, punctuation or illegal characters."),
            vbOKOnly);
        return;
    }

    if (chkFavorites->Value() == ui::vbChecked)
        addFavorite(strType);
}

void frmSubmit::addFavorite(const QString &strType)
{
    // Taken before the main window loads: its start-up may let messages run, and this window
    // may be closed meanwhile.
    const FavoriteRecord favorite{txtName->Text(), txtURL->Text(), strType, txtLang->Text()};
    // The main window is loaded (not shown) when it is not there.
    auto *favorites = dynamic_cast<FavouritesStore *>(ui::Forms::load(QStringLiteral("Form1")));
    if (!favorites)
        return;
    favorites->addFavorite(favorite);
    favorites->saveFavorites();
}
