// The stream finder: downloads a web page, splits it at its links through a scratch file,
// drops what is plainly not a stream, makes the rest into addresses and lists the Windows
// Media ones.
#include "submission/frmSubmit.h"

#include "platform/core/FileWrite.h"
#include "platform/core/TextLines.h"
#include "platform/core/UserFolder.h"
#include "platform/ui/Controls.h"
#include "platform/ui/DoEvents.h"
#include "platform/ui/WindowGuard.h"
#include "services/modDownload.h"

namespace
{

const QStringList kDropped = {
    QStringLiteral("javascript"), QStringLiteral("mailto"), QStringLiteral(".mpg"), QStringLiteral(".js"),
    QStringLiteral(".mpeg"),      QStringLiteral(".swf"),   QStringLiteral(".avi"), QStringLiteral(".jpg"),
    QStringLiteral(".jpeg"),      QStringLiteral(".gif"),   QStringLiteral(".bmp"), QStringLiteral(".mov"),
    QStringLiteral(".rm"),        QStringLiteral(".mp3"),   QStringLiteral(".wav"), QStringLiteral(".ra"),
    QStringLiteral(".pdf"),       QStringLiteral(".css"),   QStringLiteral(".exe"), QStringLiteral(".sit"),
    QStringLiteral(".zip"),       QStringLiteral(".msi"),   QStringLiteral(".ppt"), QStringLiteral(".doc"),
    QStringLiteral(".xls"),       QStringLiteral(".ico"),   QStringLiteral("#"),
};

const QStringList kKept = {
    QStringLiteral(".asx"),   QStringLiteral(".asf"),    QStringLiteral(".wma"), QStringLiteral(".wmv"),
    QStringLiteral(".wmvhd"), QStringLiteral(".dvr-ms"), QStringLiteral(".wmx"),
};

// A link holding none of these names no host, so it lies on the page's own site.
const QStringList kHostMarks = {
    QStringLiteral(".com"), QStringLiteral("www."), QStringLiteral(".net"),
    QStringLiteral(".edu"), QStringLiteral(".gov"), QStringLiteral("ww2."),
};

const QString kHttp = QStringLiteral("http://");
const QString kHttps = QStringLiteral("https://");
const QString kHref = QStringLiteral("href=");

bool containsAny(const QString &text, const QStringList &parts)
{
    for (const QString &part : parts) {
        if (text.contains(part, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

QString withoutScheme(QString address)
{
    address.remove(kHttp, Qt::CaseInsensitive);
    address.remove(kHttps, Qt::CaseInsensitive);
    return address;
}

// The folder of the page, ending in "/". An address with nothing after its host is the
// site's root; cutting it back to its last "/" would leave the scheme alone.
QString pageDirectoryOf(const QString &address)
{
    qsizetype hostStart = 0;
    for (const QString &scheme : {kHttp, kHttps}) {
        if (address.startsWith(scheme, Qt::CaseInsensitive))
            hostStart = scheme.size();
    }
    const qsizetype lastSlash = address.lastIndexOf(QLatin1Char('/'));
    if (lastSlash < hostStart)
        return address + QLatin1Char('/');
    return address.left(lastSlash + 1);
}

QString sitePartOf(QString address)
{
    address.remove(kHttp);
    address.remove(kHttps);
    address.remove(QStringLiteral("www."));
    const qsizetype slash = address.indexOf(QLatin1Char('/'));
    if (slash >= 0)
        address.truncate(slash + 1);
    return address;
}

// A CR LF before every "href=", so that every link target begins a line of its own.
QByteArray splitAtLinks(const QByteArray &page)
{
    const QByteArray lower = page.toLower();
    QByteArray out;
    out.reserve(page.size() + page.size() / 16);
    qsizetype from = 0;
    qsizetype at;
    while ((at = lower.indexOf("href=", from)) >= 0) {
        out += QByteArrayView(page).sliced(from, at - from);
        out += "\r\nhref=";
        from = at + 5;
    }
    out += QByteArrayView(page).sliced(from);
    return out;
}

// The link target of a line that begins at its "href=", cut at its closing quote or ">".
// One character more than the terminator is lost when the terminator ends the line or is
// missing; the end repairs of ResolveLink mend some of those.
QString cutLink(const QString &line)
{
    QString text = line.mid(line.indexOf(kHref, 0, Qt::CaseInsensitive));
    text.replace(QStringLiteral("href=\""), kHref, Qt::CaseInsensitive);
    text.replace(QStringLiteral("href='"), kHref, Qt::CaseInsensitive);
    const qsizetype length = text.size();
    qsizetype terminator = -1;
    for (qsizetype i = 0; i < length; ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('>')) {
            terminator = i;
            break;
        }
    }
    QString link =
        (terminator >= 0 && terminator + 1 < length) ? text.left(terminator) : text.left(length - 2);
    link.remove(kHref, Qt::CaseInsensitive);
    return link;
}

} // namespace

void frmSubmit::cmdGo_Click()
{
    // A run lets the window's messages run throughout; a second "Go" stops this one.
    const ui::WindowGuard guard = ui::WindowGuard::newTicket(this, m_findTicket);

    StatusBar1->setPanelText(1, QStringLiteral("Conecting to ") + txtURL2->Text());
    DoEvents();
    if (!guard.alive())
        return;
    const QString strPageURL = txtURL2->Text();
    const DownloadResult strPage = DownloadPage(strPageURL);
    if (!guard.alive() || strPage.stopped)
        return;
    if (!strPage.whole) {
        // Half a page would list half its links as if that were all of them; the scratch file
        // is left alone.
        StatusBar1->setPanelText(
            1, strPage.cut || !strPage.body.isEmpty()
                   ? QStringLiteral("Extracted 0 link(s) - the page was cut off before its end")
                   : QStringLiteral("Extracted 0 link(s)"));
        return;
    }
    ExtractStreamLinks(strPage.body, sitePartOf(strPageURL), strPageURL, pageDirectoryOf(strPageURL));
}

DownloadResult frmSubmit::DownloadPage(QString strURL)
{
    if (!strURL.contains(kHttp, Qt::CaseInsensitive))
        strURL.prepend(kHttp);
    DownloadOptions options;
    // Unlike the program's other downloads, the page may come from a cache.
    options.openUrlFlags = 0;
    // The run under way: a new "Go" stops it.
    options.guard = ui::WindowGuard(this, m_findTicket);
    options.maxBytes = m_pageMaxBytes;
    options.maxMs = m_pageMaxMs;
    return DownloadUrl(strURL, options);
}

void frmSubmit::ExtractStreamLinks(const QByteArray &strPage, const QString &strSite,
                                   const QString &strPageURL, const QString &strPageDir)
{
    // Written fresh for every run: what a run cut short left behind belongs to another page.
    // Where the user folder takes no file, the page is read back from memory instead.
    const QByteArray scratch = platform::passThroughScratchFile(
        platform::userFileForWriting(QStringLiteral("temp.txt")), splitAtLinks(strPage) + "\r\n");
    // Lines end at CR or CR LF; a lone LF stays in its line.
    const QList<QByteArray> lines = platform::splitLines(scratch, platform::LineEnds::CrLfOrCr);

    StatusBar1->setPanelText(1, QStringLiteral("Extracted 0 link(s)"));
    const ui::WindowGuard guard(this, m_findTicket);
    int count = 0;
    for (const QByteArray &line : lines) {
        DoEvents();
        if (!guard.alive())
            return;
        const QString text = QString::fromUtf8(line);
        if (!text.contains(kHref, Qt::CaseInsensitive))
            continue;
        QString link = cutLink(text);
        if (containsAny(link, kDropped))
            continue;
        link = ResolveLink(link, strPageURL, strPageDir, strSite);
        if (!containsAny(link, kKept))
            continue;
        if (!link.contains(kHttp, Qt::CaseInsensitive))
            link.prepend(kHttp);
        List1->AddItem(link);
        ++count;
        StatusBar1->setPanelText(1, QStringLiteral("Extracted %1 link(s)").arg(count));
        DoEvents();
        if (!guard.alive())
            return;
    }
}

QString frmSubmit::ResolveLink(QString strLink, const QString &strPageURL, const QString &strPageDir,
                               const QString &strSite)
{
    // Relative links are joined to the page's folder, which carries the page's own host; the
    // site part has lost its "www.", which not every host answers without.
    Q_UNUSED(strPageURL);
    Q_UNUSED(strSite);

    bool absolute = false;
    if (strLink.contains(kHttp, Qt::CaseInsensitive)) {
        strLink.remove(kHttp, Qt::CaseInsensitive);
        absolute = true;
    }
    if (strLink.contains(kHttps, Qt::CaseInsensitive))
        strLink.remove(kHttps, Qt::CaseInsensitive);

    if (strLink.startsWith(QLatin1Char('/')) || strLink.startsWith(QStringLiteral("..")) ||
        strLink.startsWith(QStringLiteral("./")) || (!absolute && !containsAny(strLink, kHostMarks))) {
        QString folder = withoutScheme(strPageDir);
        if (strLink.startsWith(QLatin1Char('/'))) {
            strLink = folder.left(folder.indexOf(QLatin1Char('/')) + 1) + strLink.mid(1);
        } else {
            for (;;) {
                if (strLink.startsWith(QStringLiteral("./"))) {
                    strLink.remove(0, 2);
                } else if (strLink.startsWith(QStringLiteral("../")) || strLink == QLatin1String("..")) {
                    strLink.remove(0, 3);
                    folder = backDir(folder);
                } else {
                    break;
                }
            }
            strLink.prepend(folder);
        }
    }

    if (!strLink.contains(QLatin1Char('/')))
        strLink += QLatin1Char('/');
    for (int i = 0; i < 4; ++i)
        strLink.replace(QStringLiteral("//"), QStringLiteral("/"));

    if (strLink.size() > 6) {
        const auto endsWith = [&strLink](const char *tail) {
            return strLink.endsWith(QLatin1String(tail), Qt::CaseInsensitive);
        };
        if (endsWith(".as"))
            strLink.replace(QStringLiteral(".as"), QStringLiteral(".asp"), Qt::CaseInsensitive);
        if (endsWith(".ht"))
            strLink.replace(QStringLiteral(".ht"), QStringLiteral(".htm"), Qt::CaseInsensitive);
        if (endsWith(".ph"))
            strLink.replace(QStringLiteral(".ph"), QStringLiteral(".php"), Qt::CaseInsensitive);
        if (endsWith("/hre"))
            strLink.chop(4);
        if (endsWith("/href"))
            strLink.chop(5);
        if (endsWith("/http:"))
            strLink.chop(6);
        if (endsWith("/http"))
            strLink.chop(5);
    }
    return strLink;
}

QString frmSubmit::backDir(QString URL)
{
    bool hadHttp = false;
    bool hadHttps = false;
    if (URL.contains(kHttp, Qt::CaseInsensitive)) {
        URL.remove(kHttp);
        hadHttp = true;
    }
    if (URL.contains(kHttps, Qt::CaseInsensitive)) {
        URL.remove(kHttps);
        hadHttps = true;
    }
    if (URL.endsWith(QLatin1Char('/')))
        URL.chop(1);
    QString result = URL.left(URL.lastIndexOf(QLatin1Char('/')) + 1);
    if (hadHttp)
        result.prepend(kHttp);
    if (hadHttps)
        result.prepend(kHttps);
    if (result.isEmpty() || result == kHttp || result == kHttps)
        return URL + QLatin1Char('/');
    return result;
}
