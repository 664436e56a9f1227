#pragma once
// A TCP relay between a client and the test database that can go silent:
// after freeze() it keeps the connection open and forwards nothing more, as
// a stopped server or a dead network would.
#include <arpa/inet.h>
#include <atomic>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace prolis::test {

class FreezingProxy {
public:
    explicit FreezingProxy(int upstreamPort) : m_upstream(upstreamPort) {
        m_listen = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = 0;
        ::bind(m_listen, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::listen(m_listen, 4);
        socklen_t len = sizeof a;
        ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&a), &len);
        m_port = ntohs(a.sin_port);
        m_thread = std::thread([this] { run(); });
    }
    ~FreezingProxy() {
        m_stop = true;
        m_thread.join();
        ::close(m_listen);
    }
    int port() const { return m_port; }
    void freeze() { m_frozen = true; }

private:
    void run() {
        int client = -1, server = -1;
        while (!m_stop) {
            if (client < 0) {
                pollfd p{m_listen, POLLIN, 0};
                if (::poll(&p, 1, 50) <= 0) continue;
                client = ::accept(m_listen, nullptr, nullptr);
                server = ::socket(AF_INET, SOCK_STREAM, 0);
                sockaddr_in a{};
                a.sin_family = AF_INET;
                a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
                a.sin_port = htons(static_cast<uint16_t>(m_upstream));
                ::connect(server, reinterpret_cast<sockaddr*>(&a), sizeof a);
                continue;
            }
            if (m_frozen) { // silent: nothing read, nothing written, nothing closed
                ::usleep(50000);
                continue;
            }
            pollfd p[2]{{client, POLLIN, 0}, {server, POLLIN, 0}};
            if (::poll(p, 2, 50) <= 0) continue;
            char buf[4096];
            for (int i = 0; i < 2; ++i) {
                if (!(p[i].revents & (POLLIN | POLLHUP))) continue;
                const ssize_t n = ::read(p[i].fd, buf, sizeof buf);
                if (n <= 0) {
                    m_frozen = true; // one side closed: stop relaying
                    break;
                }
                (void)!::write(i == 0 ? server : client, buf, static_cast<size_t>(n));
            }
        }
        if (client >= 0) ::close(client);
        if (server >= 0) ::close(server);
    }

    int m_upstream;
    int m_listen = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false}, m_frozen{false};
    std::thread m_thread;
};

} // namespace prolis::test
