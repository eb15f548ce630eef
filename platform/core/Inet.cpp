#include "platform/core/Inet.h"

#include <QElapsedTimer>
#include <QList>
#include <QSet>
#include <curl/curl.h>

#include <algorithm>
#include <functional>
#include <mutex>

namespace platform
{

class InetHandle
{
public:
    enum class Kind { Root, Url };
    explicit InetHandle(Kind k) : kind(k) {}

    Kind kind;

    // Root
    QByteArray userAgent;
    quint32 accessType = InetOpenTypeDirect;
    int connectTimeoutMs = InetDefaultConnectTimeoutMs;
    int receiveTimeoutMs = InetDefaultReceiveTimeoutMs;
    InetWaitHook waitHook;
    QList<InetHandle *> children;

    // URL
    InetHandle *parent = nullptr;
    CURLM *multi = nullptr;
    CURL *easy = nullptr;
    curl_slist *headerList = nullptr;
    QByteArray body; // received, not yet read from position readPos on
    qsizetype readPos = 0;
    quint64 activity = 0; // bumps on every connection made and every byte received
    bool connected = false;
    bool locationSeen = false;
    bool headersDone = false;
    bool finished = false;
    CURLcode result = CURLE_OK;

    qsizetype available() const { return body.size() - readPos; }
};

namespace
{

// Handles are opened, used and closed on the user-interface thread only.
QSet<InetHandle *> liveHandles;

int defaultConnectTimeoutMs = InetDefaultConnectTimeoutMs;
int defaultReceiveTimeoutMs = InetDefaultReceiveTimeoutMs;

// How long a wait with a hook may last before the hook runs again.
constexpr int HookIntervalMs = 10;

bool isLive(InetHandle *h, InetHandle::Kind kind)
{
    return h && liveHandles.contains(h) && h->kind == kind;
}

void setLive(InetHandle *h, bool live)
{
    if (live)
        liveHandles.insert(h);
    else
        liveHandles.remove(h);
}

void initCurl()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// WinINet took addresses with spaces and 8-bit characters; curl refuses them raw.
QByteArray escapeUrl(const QString &url)
{
    static const char hex[] = "0123456789ABCDEF";
    QByteArray out;
    for (const char ch : url.toUtf8()) {
        const auto b = static_cast<unsigned char>(ch);
        if (b <= 0x20 || b >= 0x7F) {
            out += '%';
            out += hex[b >> 4];
            out += hex[b & 0xF];
        } else {
            out += ch;
        }
    }
    return out;
}

size_t onBody(char *data, size_t size, size_t count, void *user)
{
    auto *h = static_cast<InetHandle *>(user);
    const size_t n = size * count;
    // Keep the buffer from growing with what the caller has already read.
    if (h->readPos > 65536 && h->readPos * 2 > h->body.size()) {
        h->body.remove(0, h->readPos);
        h->readPos = 0;
    }
    h->body.append(data, qsizetype(n));
    h->headersDone = true;
    ++h->activity;
    return n;
}

size_t onHeader(char *data, size_t size, size_t count, void *user)
{
    auto *h = static_cast<InetHandle *>(user);
    const size_t n = size * count;
    const QByteArray line(data, qsizetype(n));
    ++h->activity;
    if (line.startsWith("HTTP/")) {
        h->locationSeen = false;
    } else if (line.trimmed().isEmpty()) {
        long code = 0;
        curl_easy_getinfo(h->easy, CURLINFO_RESPONSE_CODE, &code);
        const bool interim = code >= 100 && code < 200;
        const bool followed =
            h->locationSeen && (code == 301 || code == 302 || code == 303 || code == 307 || code == 308);
        if (!interim && !followed)
            h->headersDone = true;
    } else if (line.toLower().startsWith("location:")) {
        h->locationSeen = true;
    }
    return n;
}

int onConnected(void *user, char *, char *, int, int)
{
    auto *h = static_cast<InetHandle *>(user);
    h->connected = true;
    ++h->activity;
    return CURL_PREREQFUNC_OK;
}

void abortTransfer(InetHandle *h, CURLcode why)
{
    if (!h->finished) {
        curl_multi_remove_handle(h->multi, h->easy);
        h->finished = true;
        h->result = why;
    }
}

// One round of curl's work on whatever the connection holds, without waiting.
bool step(InetHandle *h)
{
    int running = 0;
    if (curl_multi_perform(h->multi, &running) != CURLM_OK) {
        abortTransfer(h, CURLE_RECV_ERROR);
        return false;
    }
    int queued = 0;
    while (CURLMsg *msg = curl_multi_info_read(h->multi, &queued)) {
        if (msg->msg == CURLMSG_DONE && msg->easy_handle == h->easy) {
            h->finished = true;
            h->result = msg->data.result;
        }
    }
    return true;
}

// Takes in everything that has already arrived, without waiting for more.
void drain(InetHandle *h, const std::function<bool()> &done)
{
    while (!h->finished && !done()) {
        const quint64 before = h->activity;
        if (!step(h) || h->activity == before)
            return;
    }
}

// Drives the transfer until done() holds or it ends. Once connected, a wait of more than the
// receive time-out without a byte gives up; connecting is bounded by curl's connect time-out.
// The root's wait hook runs between short polls and may give the transfer up; what has
// arrived by then still counts.
void pump(InetHandle *h, const std::function<bool()> &done)
{
    // A copy: the hook may replace the root's own while it runs.
    const InetWaitHook hook = h->parent->waitHook;
    const int slice = hook ? HookIntervalMs : 200;
    qint64 idleMs = 0;
    quint64 seen = h->activity;
    QElapsedTimer sliceClock;
    while (!h->finished && !done()) {
        if (!step(h) || h->finished || done())
            break;
        if (h->activity != seen || !h->connected) {
            seen = h->activity;
            idleMs = 0;
        }
        const qint64 left = h->parent->receiveTimeoutMs - idleMs;
        if (left <= 0) {
            abortTransfer(h, CURLE_OPERATION_TIMEDOUT);
            break;
        }
        sliceClock.start();
        if (hook && !hook()) {
            drain(h, done);
            if (!h->finished && !done())
                abortTransfer(h, CURLE_ABORTED_BY_CALLBACK);
            break;
        }
        curl_multi_poll(h->multi, nullptr, 0, int(std::min<qint64>(left, slice)), nullptr);
        // The hook may have run a box the user reads or some other long action: the server
        // had no more than one slice of the wait to answer in.
        idleMs += std::min<qint64>(sliceClock.elapsed(), slice);
    }
}

void closeUrl(InetHandle *h)
{
    if (h->multi && h->easy)
        curl_multi_remove_handle(h->multi, h->easy);
    if (h->easy)
        curl_easy_cleanup(h->easy);
    if (h->multi)
        curl_multi_cleanup(h->multi);
    curl_slist_free_all(h->headerList);
    delete h;
}

} // namespace

InetHandle *inetOpen(const QString &userAgent, quint32 accessType, quint32 flags)
{
    Q_UNUSED(flags);
    initCurl();
    auto *root = new InetHandle(InetHandle::Kind::Root);
    root->userAgent = userAgent.toUtf8();
    root->accessType = accessType;
    root->connectTimeoutMs = defaultConnectTimeoutMs;
    root->receiveTimeoutMs = defaultReceiveTimeoutMs;
    setLive(root, true);
    return root;
}

void inetSetDefaultTimeouts(int connectTimeoutMs, int receiveTimeoutMs)
{
    if (connectTimeoutMs > 0)
        defaultConnectTimeoutMs = connectTimeoutMs;
    if (receiveTimeoutMs > 0)
        defaultReceiveTimeoutMs = receiveTimeoutMs;
}

bool inetSetWaitHook(InetHandle *root, InetWaitHook hook)
{
    if (!isLive(root, InetHandle::Kind::Root))
        return false;
    root->waitHook = std::move(hook);
    return true;
}

bool inetSetTimeouts(InetHandle *root, int connectTimeoutMs, int receiveTimeoutMs)
{
    if (!isLive(root, InetHandle::Kind::Root) || connectTimeoutMs <= 0 || receiveTimeoutMs <= 0)
        return false;
    root->connectTimeoutMs = connectTimeoutMs;
    root->receiveTimeoutMs = receiveTimeoutMs;
    return true;
}

InetHandle *inetOpenUrl(InetHandle *root, const QString &url, const QByteArray &headers, quint32 flags,
                        quintptr context)
{
    Q_UNUSED(context);
    if (!isLive(root, InetHandle::Kind::Root))
        return nullptr;
    // WinINet opens only addresses that name their scheme; curl would guess one.
    if (!url.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) &&
        !url.startsWith(QLatin1String("https://"), Qt::CaseInsensitive))
        return nullptr;

    auto *h = new InetHandle(InetHandle::Kind::Url);
    h->parent = root;
    h->easy = curl_easy_init();
    h->multi = curl_multi_init();
    if (!h->easy || !h->multi) {
        closeUrl(h);
        return nullptr;
    }

    for (const QByteArray &line : headers.split('\n')) {
        const QByteArray trimmed = line.trimmed();
        if (!trimmed.isEmpty())
            h->headerList = curl_slist_append(h->headerList, trimmed.constData());
    }
    if (flags & (InetFlagReload | InetFlagPragmaNoCache)) {
        h->headerList = curl_slist_append(h->headerList, "Pragma: no-cache");
        h->headerList = curl_slist_append(h->headerList, "Cache-Control: no-cache");
    }

    CURL *e = h->easy;
    curl_easy_setopt(e, CURLOPT_URL, escapeUrl(url).constData());
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(e, CURLOPT_MAXREDIRS, 20L);
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, long(root->connectTimeoutMs));
    if (!root->userAgent.isEmpty())
        curl_easy_setopt(e, CURLOPT_USERAGENT, root->userAgent.constData());
    if (root->accessType == InetOpenTypeDirect)
        curl_easy_setopt(e, CURLOPT_PROXY, "");
    if (h->headerList)
        curl_easy_setopt(e, CURLOPT_HTTPHEADER, h->headerList);
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, onBody);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, h);
    curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, onHeader);
    curl_easy_setopt(e, CURLOPT_HEADERDATA, h);
    curl_easy_setopt(e, CURLOPT_PREREQFUNCTION, onConnected);
    curl_easy_setopt(e, CURLOPT_PREREQDATA, h);
    curl_multi_add_handle(h->multi, e);

    pump(h, [h] { return h->headersDone; });
    if (!h->headersDone && !(h->finished && h->result == CURLE_OK)) {
        closeUrl(h);
        return nullptr;
    }
    root->children.append(h);
    setLive(h, true);
    return h;
}

bool inetReadFile(InetHandle *h, char *buffer, qint64 bytesToRead, qint64 *bytesRead)
{
    if (bytesRead)
        *bytesRead = 0;
    if (!isLive(h, InetHandle::Kind::Url) || !buffer || !bytesRead || bytesToRead < 0)
        return false;
    pump(h, [h, bytesToRead] { return h->available() >= bytesToRead; });
    const qint64 n = std::min<qint64>(h->available(), bytesToRead);
    if (n == 0 && bytesToRead > 0 && h->finished && h->result != CURLE_OK)
        return false;
    std::copy_n(h->body.constData() + h->readPos, n, buffer);
    h->readPos += n;
    *bytesRead = n;
    return true;
}

bool inetCloseHandle(InetHandle *h)
{
    if (isLive(h, InetHandle::Kind::Url)) {
        setLive(h, false);
        h->parent->children.removeOne(h);
        closeUrl(h);
        return true;
    }
    if (isLive(h, InetHandle::Kind::Root)) {
        setLive(h, false);
        for (InetHandle *child : std::as_const(h->children)) {
            setLive(child, false);
            closeUrl(child);
        }
        delete h;
        return true;
    }
    return false;
}

} // namespace platform
