// A listening socket on 127.0.0.1 whose accept another thread can end.
#include "Listener.h"
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tovisrv {

CListener::~CListener()
{
    Shutdown();
    if (m_fd >= 0)
        ::close(m_fd);
}

bool CListener::Open(int port, std::string& error)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        error = std::string("socket: ") + std::strerror(errno);
        return false;
    }
    const int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<uint16_t>(port));
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 64) != 0) {
        error = std::string("bind/listen: ") + std::strerror(errno);
        ::close(fd);
        return false;
    }
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    m_port = ntohs(addr.sin_port);
    m_fd = fd;
    return true;
}

int CListener::Accept()
{
    while (!m_stopped) {
        const int client = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC);
        if (client >= 0) {
            const int one = 1;
            ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
            return client;
        }
        if (errno != EINTR && errno != ECONNABORTED && errno != EMFILE && errno != ENFILE)
            break;
    }
    return -1;
}

void CListener::Shutdown()
{
    // Wakes a thread blocked in accept; the descriptor stays until destruction so that its
    // number cannot be reused under that thread.
    if (!m_stopped.exchange(true) && m_fd >= 0)
        ::shutdown(m_fd, SHUT_RDWR);
}

}
