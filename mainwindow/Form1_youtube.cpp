// YouTube view: browse lists and searches of the video site scraped into the result list,
// and the generated page youtube.html that plays a chosen video in the browser pane.
#include "mainwindow/Form1.h"

#include "platform/core/FileWrite.h"
#include "platform/core/Text.h"
#include "platform/core/TextLines.h"
#include "platform/core/UserFolder.h"
#include "platform/ui/WindowGuard.h"
#include "services/ProductAddresses.h"
#include "services/modDownload.h"
#include "services/modSaveFile.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>
#include <optional>

namespace
{

const QLatin1String searchEntry("Search YouTube Videos");

// Path and query of each browse list, before the locale code; "Comedy" has none.
const struct {
    const char *entry;
    const char *path;
} browseLists[] = {
    {"Featured", "/browse?s=rf&t=&l=&e="},
    {"Most Viewed", "/browse?s=mp&t=&l=&e="},
    {"Most Discussed", "/browse?s=md&t=&l=&e="},
    {"Top Favorites", "/browse?s=mf&t=&l=&e="},
    {"Autos and Vehicles", "/browse?s=mf&t=t&c=2&l=&e="},
    {"Comedy", nullptr},
    {"Education", "/browse?s=mf&t=t&c=27&l=&e="},
    {"Entertainment", "/browse?s=mf&t=t&c=24&l=&e="},
    {"Film and Animation", "/browse?s=mf&t=t&c=1&l=&e="},
    {"Howto and Style", "/browse?s=mf&t=t&c=26&l=&e="},
    {"Music", "/browse?s=mf&t=t&c=10&l=&e="},
    {"News and Politics", "/browse?s=mf&t=t&c=25&l=&e="},
    {"People and Blogs", "/browse?s=mf&t=t&c=22&l=&e="},
    {"Pets and Animals", "/browse?s=mf&t=t&c=15&l=&e="},
    {"Science and Technology", "/browse?s=mf&t=t&c=28&l=&e="},
    {"Sports", "/browse?s=mf&t=t&c=17&l=&e="},
    {"Travel and Events", "/browse?s=mf&t=t&c=19&l=&e="},
};

const struct {
    const char *name;
    const char *code;
} countries[] = {
    {"Australia", "en_AU"}, {"Brazil", "pt_BR"},         {"Canada", "en_CA"},
    {"France", "fr_FR"},    {"Germany", "de_DE"},        {"Hong Kong", "zh_HK"},
    {"Ireland", "en_IE"},   {"Italy", "it_IT"},          {"Japan", "ja_JP"},
    {"Mexico", "es_MX"},    {"Netherlands", "nl_NL"},    {"New Zealand", "en_NZ"},
    {"Poland", "pl_PL"},    {"Russia", "ru_RU"},         {"Spain", "es_ES"},
    {"Taiwan", "zh_TW"},    {"United Kingdom", "en_GB"}, {"United States", "en_US"},
};

QString userFile(const char *name)
{
    return platform::userFileForWriting(QLatin1String(name));
}

// A result page's address without its page number; empty for a choice that has none.
QString listAddress(const QString &choice, const QString &locale, const QString &query)
{
    // The words are one value: a raw "&", "+", "%" or "#" would start another parameter,
    // stand for a blank, start an escape or end the address.
    if (choice == searchEntry)
        return videoSite() + QStringLiteral("/results?search_query=") +
               QString::fromLatin1(QUrl::toPercentEncoding(query)) + QStringLiteral("&search_type=&page=");
    for (const auto &list : browseLists) {
        if (list.path && choice == QLatin1String(list.entry))
            return videoSite() + QLatin1String(list.path) + locale + QStringLiteral("&p=");
    }
    return QString();
}

// An id is written into youtube.html inside quoted attributes and into the favourites as it
// is: a quote or "<" could end the attribute or open a tag, a "|" or a line break would split
// a favourites line. Everything else ("#", ":", "/", ...) is the site's business.
bool isVideoId(const QString &id)
{
    if (id.isEmpty())
        return false;
    for (const QChar c : id) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || QLatin1String("\"'<|").contains(c))
            return false;
    }
    return true;
}

// Where what (plain ASCII) first occurs in text from `from` on, letter case aside; -1 if nowhere.
qsizetype indexIgnoringCase(QByteArrayView text, QByteArrayView what, qsizetype from = 0)
{
    for (qsizetype at = from; at + what.size() <= text.size(); ++at) {
        if (qstrnicmp(text.data() + at, what.data(), size_t(what.size())) == 0)
            return at;
    }
    return -1;
}

// Every occurrence of what in text, met from the left and letter case aside, replaced by with.
QByteArray replacedIgnoringCase(QByteArrayView text, QByteArrayView what, QByteArrayView with)
{
    QByteArray out;
    qsizetype from = 0;
    for (qsizetype at; (at = indexIgnoringCase(text, what, from)) >= 0; from = at + what.size()) {
        out += text.sliced(from, at - from);
        out += with;
    }
    if (from == 0)
        return text.toByteArray();
    out += text.sliced(from);
    return out;
}

QByteArray decodeTitle(QByteArrayView title)
{
    if (!title.contains('&'))
        return title.toByteArray();
    return replacedIgnoringCase(replacedIgnoringCase(title, "&amp;", "&"), "&quot;", "\"");
}

// What follows the first quote of text, up to the next one: empty without a quote.
QByteArrayView quoted(QByteArrayView text)
{
    const qsizetype open = text.indexOf('"');
    if (open < 0)
        return QByteArrayView();
    const qsizetype close = text.indexOf('"', open + 1);
    return text.sliced(open + 1, (close < 0 ? text.size() : close) - open - 1);
}

struct VideoLink {
    QString title;
    QString id;
};

// The site's player page for a video. An id taken from a link may carry the link's further
// parameters ("ID&feature=x") or a fragment ("ID#t=30"): those follow the player's own query.
QString embedAddress(const QString &videoId)
{
    static const QRegularExpression idEnd(QStringLiteral("[?&#]"));
    const qsizetype cut = videoId.indexOf(idEnd);
    QString address = videoSite() + QStringLiteral("/embed/") + videoId.left(cut) + QStringLiteral("?rel=1");
    if (cut < 0)
        return address;
    QString rest = videoId.mid(cut);
    const qsizetype hash = rest.indexOf(QLatin1Char('#'));
    const QString fragment = hash < 0 ? QString() : rest.mid(hash);
    rest.truncate(hash < 0 ? rest.size() : hash);
    if (rest.size() > 1)
        address += QLatin1Char('&') + rest.mid(1);
    return address + fragment;
}

// A title is page text: its character references stay as the site wrote them, so only "<",
// which would open a tag, is escaped. Characters outside printable ASCII become references
// too, as the page declares no encoding.
QString htmlText(const QString &text)
{
    QString out;
    for (const char32_t c : text.toUcs4()) {
        const bool plain = c >= 0x20 && c < 0x7F && c != U'<';
        out += plain ? QString(QLatin1Char(char(c))) : QStringLiteral("&#%1;").arg(quint32(c));
    }
    return out;
}

// Whether the line holds the start of a link to a video, letter case aside.
bool hasWatchLink(QByteArrayView line)
{
    static constexpr char watchLink[] = "<a href=\"/watch?";
    constexpr qsizetype size = sizeof watchLink - 1;
    for (qsizetype at = line.indexOf('<'); at >= 0 && at + size <= line.size();
         at = line.indexOf('<', at + 1)) {
        if (qstrnicmp(line.data() + at, watchLink, size) == 0)
            return true;
    }
    return false;
}

// One line of the split page: the link to a video with its title, or nothing. Without link
// text on the line only a search result's title attribute can name the video. The line is
// taken apart at ASCII marks, so its bytes are cut where its characters would be.
std::optional<VideoLink> videoLink(QByteArrayView line, bool searchMode)
{
    const qsizetype gt = line.indexOf('>');
    if (gt < 0 || !hasWatchLink(line))
        return std::nullopt;
    const qsizetype nextGt = line.indexOf('>', gt + 1);
    QByteArrayView title = line.sliced(gt + 1, (nextGt < 0 ? line.size() : nextGt) - gt - 1);
    QByteArray titleText;
    QByteArrayView href;
    if (const qsizetype lt = title.indexOf('<'); lt >= 0) {
        title.truncate(lt);
        if (title.isEmpty())
            return std::nullopt;
        titleText = decodeTitle(title);
        href = quoted(line.first(gt));
    } else {
        const qsizetype at = indexIgnoringCase(line, "title=");
        if (!searchMode || at < 0)
            return std::nullopt;
        const QByteArray attribute = decodeTitle(quoted(line.sliced(at + 6)));
        if (attribute.isEmpty())
            return std::nullopt;
        titleText = decodeTitle(attribute); // a second time, as the title of a link is
        href = quoted(line.first(at));
    }
    const QString id = platform::textOfUtf8(replacedIgnoringCase(href, "/watch?v=", ""));
    if (!isVideoId(id))
        return std::nullopt;
    return VideoLink{platform::textOfUtf8(titleText), id};
}

// The page with CR LF before every "<" but that of a closing tag, and at its end: in one pass
// the same bytes as putting CR LF before every "<" and taking it out again before "</".
QByteArray linePerTag(const QByteArray &page)
{
    QByteArray text(page.size() + page.count('<') * 2 + 2, Qt::Uninitialized);
    char *out = text.data();
    const char *const end = page.constEnd();
    for (const char *p = page.constBegin(); p != end; ++p) {
        if (*p == '<' && (p + 1 == end || p[1] != '/')) {
            *out++ = '\r';
            *out++ = '\n';
        }
        *out++ = *p;
    }
    *out++ = '\r';
    *out++ = '\n';
    text.truncate(out - text.constData());
    return text;
}

// The keys of the items listed, copied into one string of its own: rows added while a page is
// read may move the list's texts. One string, not one per key: a scrape copies many keys.
class ListedKeys
{
public:
    explicit ListedKeys(const ui::ListView *lv)
    {
        ui::ListItemCollection *items = lv->ListItems();
        QList<qsizetype> sizes;
        sizes.reserve(items->Count());
        for (int i = 1; i <= items->Count(); ++i) {
            const QStringView key = items->keyView(i);
            m_chars.append(key);
            sizes.append(key.size());
        }
        m_keys.reserve(sizes.size());
        qsizetype at = 0;
        for (const qsizetype size : std::as_const(sizes)) {
            m_keys.insert(QStringView(m_chars).mid(at, size));
            at += size;
        }
    }
    bool contains(QStringView key) const { return m_keys.contains(key); }

private:
    QString m_chars;
    QSet<QStringView> m_keys; // views into m_chars, which no longer changes
};

} // namespace

void Form1::connectYouTubeEvents()
{
    connect(cmdYouTube, &ui::CommandButton::Click, this, &Form1::cmdYouTube_Click);
    connect(Combo3, &ui::ComboBox::Click, this, &Form1::Combo3_Click);
    connect(Combo4, &ui::ComboBox::Click, this, &Form1::Combo4_Click);
    connect(cmdSearch, &ui::CommandButton::Click, this, &Form1::cmdSearch_Click);
    connect(txtYouTube, &ui::TextBox::KeyPress, this, &Form1::txtYouTube_KeyPress);
    connect(ListView3, &ui::ListView::Click, this, &Form1::ListView3_Click);
}

void Form1::cmdYouTube_Click()
{
    showPanel(Frame5);
    strCategory = QStringLiteral("YOUTUBE");
    ListView1->ListItems()->Clear();
    LoadYouTubeList();
}

void Form1::Combo3_Click()
{
    const bool search = Combo3->Text() == searchEntry;
    Combo4->setVisible(!search);
    txtYouTube->setVisible(search);
    cmdSearch->setVisible(search);
    // A search waits for its words.
    if (!search)
        LoadYouTubeList();
}

void Form1::Combo4_Click()
{
    const QString country = Combo4->Text();
    for (const auto &entry : countries) {
        if (country == QLatin1String(entry.name))
            strYouTubeLocale = QLatin1String(entry.code);
    }
    Combo3->setVisible(true);
    cmdSearch->setVisible(false);
    txtSearch->setVisible(false);
    LoadYouTubeList();
}

void Form1::cmdSearch_Click()
{
    LoadYouTubeList();
}

void Form1::txtYouTube_KeyPress(int &KeyAscii)
{
    if (KeyAscii == 13)
        cmdSearch_Click();
}

void Form1::ListView3_Click()
{
    if (chkLoad->Value() == ui::vbChecked)
        return;
    if (const ui::ListItem *item = ListView3->SelectedItem())
        showYouTubeVideo(item->Text(), item->Key());
}

void Form1::LoadYouTubeList()
{
    // Other events run during the downloads: the window may be unloaded, or a newer load
    // (another pick or search) may empty the list for its own pages.
    const ui::WindowGuard guard = ui::WindowGuard::newTicket(this, m_youTubeLoads);
    ListView3->ListItems()->Clear();
    const QString address = listAddress(Combo3->Text(), strYouTubeLocale, txtYouTube->Text());
    if (address.isEmpty())
        return;
    for (int page = 1; page <= 5; ++page) {
        DownloadOptions options;
        options.progress = DownloadProgressInto(txtStatus);
        options.maxBytes = VideoPageMaxBytes;
        options.guard = guard;
        const DownloadResult download = DownloadUrl(address + QString::number(page), options);
        if (!guard.alive() || download.stopped)
            return;
        // A page that goes on past any real result page is no page: it adds nothing.
        ParseYouTubePage(download.cut ? QByteArray() : download.body);
    }
}

void Form1::ParseYouTubePage(const QByteArray &strPage)
{
    // Every opening tag starts a line; a closing tag stays with the text it closes.
    QByteArray text = linePerTag(strPage);

    // The page passes through the scratch file; where the user folder cannot be written
    // it is read from memory instead.
    text = platform::passThroughScratchFile(userFile("youtube.tmp"), text);

    const bool searchMode = Combo3->Text() == searchEntry;
    const ListedKeys listed(ListView3);
    QSet<QString> added;
    // Lines end at CR or CR LF; a bare LF stays inside its line. Lines are read as bytes: no
    // character outside ASCII folds to one of the letters of the marks looked for.
    platform::forEachLine(text, platform::LineEnds::CrLfOrCr, [&](QByteArrayView line) {
        std::optional<VideoLink> link = videoLink(line, searchMode);
        // The first link to a video names it.
        if (!link || listed.contains(link->id) || added.contains(link->id))
            return;
        ListView3->ListItems()->AddTexts({link->title, QStringView(), link->id});
        added.insert(std::move(link->id));
    });
}

void Form1::showYouTubeVideo(const QString &title, const QString &videoId)
{
    if (!isVideoId(videoId))
        return;
    // One pass of arg(): a "%" in the id or the title is not taken for a place marker.
    const QString page =
        QStringLiteral("<html><body bgcolor=black><center><font color=white><h1>%1</h1><br></font>"
                       "<iframe width='425' height='355' src='%2' frameborder='0' allowfullscreen>"
                       "</iframe></center></body></html>\r\n")
            .arg(htmlText(title), embedAddress(videoId));

    const QString path = userFile("youtube.html");
    // A page that could not be replaced would show the previous video; the pane stays as it is.
    if (SaveFileOrTell(path, page.toUtf8(), QStringLiteral("The video page")))
        wbyoutube->Navigate2(path);
}
