// Online update of the channel list: the product server's channel guide replaces Data.txt.
// Also the channel removal by id and the date file, which the window offers to callers.
#include "mainwindow/Form1.h"

#include "platform/core/Text.h"
#include "platform/core/TextLines.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/WindowGuard.h"
#include "services/ProductAddresses.h"
#include "services/modDownload.h"
#include "services/modGlobals.h"
#include "services/modSaveFile.h"
#include "services/xfileExists.h"

#include <QScopeGuard>

namespace
{

QString dataFile(const char *name)
{
    return strDataFolder + QLatin1Char('/') + QLatin1String(name);
}

// A guide record that cannot become a channel line stops the whole update.
struct BadRecord {
};

// One Data.txt line from a guide record: the id as a plain whole number, the four fields as
// received.
QByteArray channelLine(const QString &record)
{
    const QStringList fields = record.split(QLatin1Char('|'));
    if (fields.size() < 5)
        throw BadRecord();
    bool ok = false;
    const int id = fields.at(0).trimmed().toInt(&ok);
    if (!ok)
        throw BadRecord();
    return Form1::channelDataLine(id, fields.at(1).toLatin1(), fields.at(2).toLatin1(),
                                  fields.at(3).toLatin1(), fields.at(4).toLatin1());
}

} // namespace

QByteArray Form1::channelDataLine(qint64 id, QByteArrayView name, QByteArrayView category, QByteArrayView url,
                                  QByteArrayView types)
{
    QByteArray line = QByteArray::number(id) + '|';
    line.reserve(line.size() + name.size() + category.size() + url.size() + types.size() + 28);
    for (const QByteArrayView field : {name, category, url, types}) {
        // A line break inside a field would split the channel over two lines of the file.
        if (field.contains('\r') || field.contains('\n')) {
            for (const char c : field) {
                if (c != '\r' && c != '\n')
                    line += c;
            }
        } else {
            line += field;
        }
        line += '|';
    }
    return line + "1/1/01|1/1/01|1/1/01|5|";
}

bool Form1::updateChannelsOnline()
{
    // An import under way would write its list over this one, or this one over the import's.
    if (m_writingChannelList)
        return false;
    const ui::WindowGuard guard(this);
    setWritingChannelList(true);
    const auto writersBack = qScopeGuard([&] {
        if (guard.alive())
            setWritingChannelList(false);
    });
    DownloadOptions options;
    options.guard = guard;
    options.maxBytes = ChannelGuideMaxBytes;
    DownloadResult download = DownloadUrl(productServer() + QStringLiteral("/guide.sat"), options);
    if (!guard.alive() || download.stopped)
        return false;

    // The guide replaces the whole list: a reply cut off on the way is no guide at all.
    QByteArray &reply = download.body;
    int count = 0;
    if (download.whole && reply.toUpper().contains("<BR>")) {
        if (!reply.contains("<BR>")) {
            txtStatus->setText(QStringLiteral("No updates were available."));
        } else {
            count = extractNewDefs(reply);
            MsgBox(QStringLiteral("Downloaded ") + QString::number(count) +
                       QStringLiteral(" channel updates"),
                   vbOKOnly);
        }
    } else {
        txtStatus->setText(QStringLiteral("Error connecting to update site."));
    }
    // The box lets other events run; the window may have been unloaded meanwhile.
    if (count > 0 && guard.alive())
        cmdTV_Click();
    return count > 0;
}

int Form1::extractNewDefs(QByteArray &strDefs)
{
    // One character per byte, so that every field goes back into the file exactly as received.
    const QStringList pieces = QString::fromLatin1(strDefs).split(QStringLiteral("<BR>"));
    QList<QByteArray> lines;
    try {
        for (const QString &piece : pieces) {
            if (piece.contains(QLatin1Char('|')))
                lines.append(channelLine(piece));
        }
    } catch (const BadRecord &) {
        return 0;
    }
    // A reply without a single record (an error page, say) is not a channel list: the old one stays.
    if (lines.isEmpty())
        return 0;
    if (!SaveFileOrTell(dataFile("Data.txt"), platform::joinLines(lines), QStringLiteral("The channel list")))
        return 0;
    return int(lines.size());
}

void Form1::removeChannelsById(const QString &ids)
{
    QStringList removed;
    for (const QString &id : ids.split(QLatin1Char(','))) {
        const QString trimmed = platform::trimBlanks(id);
        // A blank entry is a separator's leftover, not a request for lines without an id.
        if (!trimmed.isEmpty())
            removed.append(trimmed);
    }

    const QString path = dataFile("Data.txt");
    const auto lines = platform::readLines(path, platform::LineEnds::CrLfOrLf);
    if (!lines)
        return;
    QList<QByteArray> kept;
    for (const QByteArray &line : *lines) {
        const qsizetype bar = line.indexOf('|');
        if (bar < 0)
            continue;
        if (!removed.contains(platform::trimBlanks(QString::fromUtf8(line.left(bar)))))
            kept.append(line);
    }
    kept.append(QByteArray());
    SaveFileOrTell(path, platform::joinLines(kept), QStringLiteral("The channel list"));
}

QString Form1::getINI()
{
    const QString path = dataFile("date.dat");
    if (FileExists(path)) {
        const auto lines = platform::readLines(path, platform::LineEnds::CrLfOrLf);
        if (lines)
            return lines->isEmpty() ? QString() : QString::fromUtf8(lines->first());
    }
    return QStringLiteral("3/16/2006 12:00:00 AM");
}

void Form1::makeINI(QString &strDate)
{
    SaveFileOrTell(dataFile("date.dat"), strDate.toUtf8() + "\r\n", QStringLiteral("The update date"));
}
