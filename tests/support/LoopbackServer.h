// An HTTP server on 127.0.0.1 with a free port, running on its own thread for one test.
#pragma once

#include <httplib.h>

#include <QString>
#include <memory>
#include <thread>

namespace testsupport
{

class LoopbackServer
{
public:
    LoopbackServer();
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer &) = delete;
    LoopbackServer &operator=(const LoopbackServer &) = delete;

    // Register handlers before start().
    httplib::Server &server() { return m_server; }
    void start();
    void stop();

    int port() const { return m_port; }
    // "http://127.0.0.1:<port>" followed by path.
    QString url(const QString &path = QString()) const;

private:
    httplib::Server m_server;
    std::thread m_thread;
    int m_port = 0;
};

// A port on 127.0.0.1 where nothing listens (bound, then released).
int unusedLoopbackPort();

} // namespace testsupport
