#include "tests/support/ScriptedServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

namespace testsupport
{

bool ScriptedConnection::readRequest()
{
    std::string received;
    char buffer[1024];
    while (received.find("\r\n\r\n") == std::string::npos) {
        pollfd p{m_fd, POLLIN, 0};
        if (m_stopping)
            return false;
        if (::poll(&p, 1, 20) <= 0)
            continue;
        const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            return false;
        received.append(buffer, size_t(n));
    }
    m_requestLine = received.substr(0, received.find("\r\n"));
    return true;
}

bool ScriptedConnection::send(const std::string &bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        if (m_stopping)
            return false;
        pollfd p{m_fd, POLLOUT, 0};
        if (::poll(&p, 1, 20) <= 0)
            continue;
        const ssize_t n = ::send(m_fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        done += size_t(n);
        m_sent += n;
    }
    return true;
}

bool ScriptedConnection::pause(int ms)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        if (m_stopping)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return !m_stopping;
}

void ScriptedConnection::stall()
{
    while (pause(50)) {
    }
}

ScriptedServer::ScriptedServer(Script script) : m_script(std::move(script))
{
    m_listenFd = ::socket(AF_INET, SOCK_STREAM, 0);
    int yes = 1;
    ::setsockopt(m_listenFd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    ::bind(m_listenFd, reinterpret_cast<sockaddr *>(&addr), sizeof addr);
    ::listen(m_listenFd, 16);
    socklen_t len = sizeof addr;
    ::getsockname(m_listenFd, reinterpret_cast<sockaddr *>(&addr), &len);
    m_port = ntohs(addr.sin_port);
    m_acceptThread = std::thread([this] {
        while (!m_stopping) {
            pollfd p{m_listenFd, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0)
                continue;
            const int fd = ::accept(m_listenFd, nullptr, nullptr);
            if (fd < 0)
                continue;
            ++m_connections;
            std::lock_guard lock(m_mutex);
            m_fds.push_back(fd);
            m_workers.emplace_back([this, fd] {
                ScriptedConnection connection(fd, m_stopping, m_sent);
                m_script(connection);
                ::shutdown(fd, SHUT_RDWR);
            });
        }
    });
}

ScriptedServer::~ScriptedServer()
{
    m_stopping = true;
    m_acceptThread.join();
    for (std::thread &t : m_workers)
        t.join();
    for (int fd : m_fds)
        ::close(fd);
    ::close(m_listenFd);
}

QString ScriptedServer::url(const QString &path) const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(m_port) + path;
}

std::string ScriptedServer::headers(long long contentLength, const std::string &extra,
                                    const std::string &status)
{
    std::string h = "HTTP/1.1 " + status + "\r\nContent-Type: text/plain\r\n";
    if (contentLength >= 0)
        h += "Content-Length: " + std::to_string(contentLength) + "\r\n";
    else if (extra.find("chunked") == std::string::npos)
        h += "Connection: close\r\n";
    return h + extra + "\r\n";
}

ScriptedServer::Script ScriptedServer::whole(const std::string &body)
{
    return [body](ScriptedConnection &c) {
        if (c.readRequest())
            c.send(headers((long long)body.size()) + body);
    };
}

ScriptedServer::Script ScriptedServer::cutWithLength(const std::string &body, size_t sent)
{
    return [body, sent](ScriptedConnection &c) {
        if (c.readRequest())
            c.send(headers((long long)body.size()) + body.substr(0, sent));
    };
}

ScriptedServer::Script ScriptedServer::cutChunked(const std::string &body, size_t sent)
{
    return [body, sent](ScriptedConnection &c) {
        if (!c.readRequest() || !c.send(headers(-1, "Transfer-Encoding: chunked\r\n")))
            return;
        char size[32];
        for (size_t at = 0; at < sent; at += 1000) {
            const std::string piece = body.substr(at, std::min<size_t>(1000, sent - at));
            std::snprintf(size, sizeof size, "%zx\r\n", piece.size());
            if (!c.send(size + piece + "\r\n"))
                return;
        }
    };
}

ScriptedServer::Script ScriptedServer::silent()
{
    return [](ScriptedConnection &c) {
        c.readRequest();
        c.stall();
    };
}

ScriptedServer::Script ScriptedServer::trickledHeaders(int intervalMs)
{
    return [intervalMs](ScriptedConnection &c) {
        if (!c.readRequest() || !c.send("HTTP/1.1 200 OK\r\n"))
            return;
        for (int i = 0; c.pause(intervalMs); ++i) {
            if (!c.send("X-Filler-" + std::to_string(i) + ": slow\r\n"))
                return;
        }
    };
}

ScriptedServer::Script ScriptedServer::trickledBody(int intervalMs, const std::string &chunk)
{
    return [intervalMs, chunk](ScriptedConnection &c) {
        if (!c.readRequest() || !c.send(headers()))
            return;
        while (c.send(chunk) && c.pause(intervalMs)) {
        }
    };
}

ScriptedServer::Script ScriptedServer::stallAfter(const std::string &prefix, long long announced)
{
    return [prefix, announced](ScriptedConnection &c) {
        if (c.readRequest() && c.send(headers(announced) + prefix))
            c.stall();
    };
}

ScriptedServer::Script ScriptedServer::delayed(int delayMs, const std::string &body,
                                               const std::string &status)
{
    return [delayMs, body, status](ScriptedConnection &c) {
        if (c.readRequest() && c.pause(delayMs))
            c.send(headers((long long)body.size(), {}, status) + body);
    };
}

ScriptedServer::Script ScriptedServer::flood(const std::string &block, const std::string &head, long long cap)
{
    return [block, head, cap](ScriptedConnection &c) {
        if (c.readRequest())
            sendFlood(c, block, head, cap);
    };
}

void ScriptedServer::sendFlood(ScriptedConnection &c, const std::string &block, const std::string &head,
                               long long cap)
{
    if (!c.send(headers() + head))
        return;
    for (long long sent = 0; sent < cap; sent += (long long)block.size()) {
        if (!c.send(block))
            return;
    }
}

} // namespace testsupport
