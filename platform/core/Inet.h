// HTTP GET in the shape of WinINet's synchronous calls (open, open URL, read, close), over
// libcurl. Opening a URL connects and receives the response headers, so an unreachable host
// fails the open; reads pull at most the requested byte count and block until that many bytes
// or the end of the body arrive. All calls are made on the user-interface thread.
#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <functional>

namespace platform
{

class InetHandle; // a root handle or a URL handle

// Access types of inetOpen.
constexpr quint32 InetOpenTypePreconfig = 0; // the environment's proxy settings
constexpr quint32 InetOpenTypeDirect = 1;    // no proxy

// Flags of inetOpenUrl.
constexpr quint32 InetFlagReload = 0x80000000u;        // never answer from a cache
constexpr quint32 InetFlagPragmaNoCache = 0x00000100u; // ask caches on the way not to answer

// Default time-outs: connecting (name lookup included), and waiting for the next data.
constexpr int InetDefaultConnectTimeoutMs = 30000;
constexpr int InetDefaultReceiveTimeoutMs = 30000;

// Time-outs of the root handles opened afterwards (tests shorten them).
void inetSetDefaultTimeouts(int connectTimeoutMs, int receiveTimeoutMs);

// Called about every 10 ms while a call on this root's URL handles waits for the connection,
// the headers or more of the body, so the caller's window can run its messages meanwhile.
// Returning false gives the wait up: what has already arrived is taken in first, without
// waiting, and the call fails as on a time-out only when that is not enough. Time the hook
// itself takes does not count towards the receive time-out. The hook may open and close other
// roots, never this one.
using InetWaitHook = std::function<bool()>;
bool inetSetWaitHook(InetHandle *root, InetWaitHook hook);

// A root handle carrying the user agent and access type, or nullptr.
InetHandle *inetOpen(const QString &userAgent, quint32 accessType, quint32 flags = 0);

// Time-outs of the URL handles opened from this root afterwards.
bool inetSetTimeouts(InetHandle *root, int connectTimeoutMs, int receiveTimeoutMs);

// Sends a GET for url ("http://" or "https://" in any case; redirects followed) with the
// extra header lines (CRLF-separated) and returns once the final response's headers are in,
// or nullptr when the address is bad or the server cannot be reached or does not answer in
// time.
// The HTTP status does not matter: an error page is a body like any other.
InetHandle *inetOpenUrl(InetHandle *root, const QString &url, const QByteArray &headers, quint32 flags,
                        quintptr context = 0);

// Reads up to bytesToRead bytes of the body into buffer. *bytesRead is 0 at the end of the
// body. Returns false (and *bytesRead 0) on a bad handle, a broken connection, a body cut
// short of its announced length or chunk end, a time-out or a wait hook that gave up; so a
// read of 0 bytes that returns true means the whole body has arrived.
bool inetReadFile(InetHandle *handle, char *buffer, qint64 bytesToRead, qint64 *bytesRead);

// Closes a URL handle, or a root handle together with the URL handles still open on it.
bool inetCloseHandle(InetHandle *handle);

} // namespace platform
