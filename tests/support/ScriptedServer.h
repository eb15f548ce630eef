// A raw TCP server on 127.0.0.1 that answers every connection with a script of its own:
// servers that stall, trickle, cut a reply short or never end it, which an HTTP library
// will not play.
#pragma once

#include <QString>

#include <atomic>
#include <functional>
#include <list>
#include <mutex>
#include <string>
#include <thread>

namespace testsupport
{

class ScriptedConnection
{
public:
    ScriptedConnection(int fd, const std::atomic<bool> &stopping, std::atomic<long long> &sent)
        : m_fd(fd), m_stopping(stopping), m_sent(sent)
    {
    }
    // Reads until the end of the request's headers; the request line is kept.
    bool readRequest();
    const std::string &requestLine() const { return m_requestLine; }
    // False once the peer is gone or the server stops.
    bool send(const std::string &bytes);
    // Sleeps, waking early (false) when the server stops.
    bool pause(int ms);
    // Holds the connection open, sending nothing, until the server stops.
    void stall();

private:
    int m_fd;
    const std::atomic<bool> &m_stopping;
    std::atomic<long long> &m_sent;
    std::string m_requestLine;
};

class ScriptedServer
{
public:
    using Script = std::function<void(ScriptedConnection &)>;
    explicit ScriptedServer(Script script);
    ~ScriptedServer();
    ScriptedServer(const ScriptedServer &) = delete;
    ScriptedServer &operator=(const ScriptedServer &) = delete;

    int port() const { return m_port; }
    QString url(const QString &path = QStringLiteral("/")) const;
    int connections() const { return m_connections; }
    // Bytes the scripts have sent so far, headers included.
    long long bytesSent() const { return m_sent; }

    // Ready-made scripts.
    // Headers (with Content-Length when given, else none and the connection closes) and body.
    static std::string headers(long long contentLength = -1, const std::string &extra = {},
                               const std::string &status = "200 OK");
    static Script whole(const std::string &body);
    // Announces the full length, sends the first `sent` bytes of body and hangs up.
    static Script cutWithLength(const std::string &body, size_t sent);
    // Chunked: sends the first `sent` bytes in chunks and hangs up before the last chunk.
    static Script cutChunked(const std::string &body, size_t sent);
    // Accepts, reads the request and never answers.
    static Script silent();
    // Sends one header line every intervalMs and never ends the headers.
    static Script trickledHeaders(int intervalMs);
    // Sends the headers at once, then `chunk` every intervalMs without end.
    static Script trickledBody(int intervalMs, const std::string &chunk = "x");
    // Sends `prefix` of a body announced longer, then stalls.
    static Script stallAfter(const std::string &prefix, long long announced);
    // Waits delayMs, then answers whole.
    static Script delayed(int delayMs, const std::string &body, const std::string &status = "200 OK");
    // A reply without a length that never ends: head, then block after block as fast as the
    // peer takes them. Past cap bytes the server hangs up, which ends the reply for a reader
    // that has no bound of its own.
    static constexpr long long FloodCap = 96LL * 1024 * 1024;
    static Script flood(const std::string &block, const std::string &head = {}, long long cap = FloodCap);
    // The same reply, for scripts that have read the request and chosen to flood.
    static void sendFlood(ScriptedConnection &c, const std::string &block, const std::string &head = {},
                          long long cap = FloodCap);

private:
    int m_listenFd = -1;
    int m_port = 0;
    Script m_script;
    std::atomic<bool> m_stopping{false};
    std::atomic<int> m_connections{0};
    std::atomic<long long> m_sent{0};
    std::thread m_acceptThread;
    std::mutex m_mutex;
    std::list<std::thread> m_workers;
    std::list<int> m_fds;
};

} // namespace testsupport
