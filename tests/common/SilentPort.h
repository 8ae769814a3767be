// A loopback port whose connections never come up: a listening socket with a backlog of one,
// filled by connections nobody accepts, so the kernel drops every further SYN and a connect
// waits until its own time limit (a logger's address that does not answer). Header-only.
#pragma once

#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <fcntl.h>
#include <thread>
#include <vector>
#endif

namespace nodalyx::test {

#ifdef Q_OS_UNIX
class SilentPort {
public:
    SilentPort() {
        m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (m_listener < 0 ||
            ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(m_listener, 0) != 0 ||
            ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            return;
        m_port = ntohs(address.sin_port);
        for (int i = 0; i < 3; ++i) { // fill the accept queue
            const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
            ::fcntl(fd, F_SETFL, O_NONBLOCK);
            ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
            m_fillers.push_back(fd);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100)); // let the handshakes settle
    }
    ~SilentPort() {
        for (int fd : m_fillers)
            ::close(fd);
        if (m_listener >= 0)
            ::close(m_listener);
    }
    SilentPort(const SilentPort&) = delete;
    SilentPort& operator=(const SilentPort&) = delete;

    quint16 port() const { return m_port; }

private:
    int m_listener = -1;
    quint16 m_port = 0;
    std::vector<int> m_fillers;
};
#else
// Windows answers a connection beyond the backlog with a refusal, not silence: there is no
// silent port to offer (port() is 0, and the tests that need one skip).
class SilentPort {
public:
    quint16 port() const { return 0; }
};
#endif

} // namespace nodalyx::test
