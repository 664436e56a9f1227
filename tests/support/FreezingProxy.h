#pragma once
// A TCP relay between a client and the test database that can misbehave as
// a server or a network does: go silent (freeze), trickle the server's
// answers a byte at a time, or go away (every connection closed and new ones
// closed at once) and come back.
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
    // Silent: nothing read, nothing written, nothing closed.
    void freeze() { m_frozen = true; }
    // The server's bytes reach the client one every `ms` milliseconds.
    void trickle(int ms) { m_trickleMs = ms; }
    // The server goes away (true) or is back (false).
    void setDown(bool down) { m_down = down; }

private:
    void run() {
        int client = -1, server = -1;
        const auto closeBoth = [&] {
            if (client >= 0) ::close(client);
            if (server >= 0) ::close(server);
            client = server = -1;
        };
        while (!m_stop) {
            if (m_down) closeBoth();
            if (client < 0 || m_down) {
                pollfd p{m_listen, POLLIN, 0};
                if (::poll(&p, 1, 50) <= 0) continue;
                const int accepted = ::accept(m_listen, nullptr, nullptr);
                if (m_down) {
                    ::close(accepted);
                    continue;
                }
                closeBoth();
                client = accepted;
                server = ::socket(AF_INET, SOCK_STREAM, 0);
                sockaddr_in a{};
                a.sin_family = AF_INET;
                a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
                a.sin_port = htons(static_cast<uint16_t>(m_upstream));
                ::connect(server, reinterpret_cast<sockaddr*>(&a), sizeof a);
                continue;
            }
            if (m_frozen) {
                ::usleep(50000);
                continue;
            }
            // A new client replaces the one relayed so far.
            pollfd p[3]{{client, POLLIN, 0}, {server, POLLIN, 0}, {m_listen, POLLIN, 0}};
            if (::poll(p, 3, 50) <= 0) continue;
            if (p[2].revents & POLLIN) {
                closeBoth();
                continue;
            }
            char buf[4096];
            for (int i = 0; i < 2; ++i) {
                if (!(p[i].revents & (POLLIN | POLLHUP))) continue;
                const bool slow = i == 1 && m_trickleMs > 0;
                const ssize_t n = ::read(p[i].fd, buf, slow ? 1 : sizeof buf);
                if (n <= 0) {
                    closeBoth(); // one side closed: so does the other
                    break;
                }
                if (slow) ::usleep(static_cast<useconds_t>(m_trickleMs) * 1000);
                (void)!::send(i == 0 ? server : client, buf, static_cast<size_t>(n), MSG_NOSIGNAL);
            }
        }
        closeBoth();
    }

    int m_upstream;
    int m_listen = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false}, m_frozen{false}, m_down{false};
    std::atomic<int> m_trickleMs{0};
    std::thread m_thread;
};

} // namespace prolis::test
