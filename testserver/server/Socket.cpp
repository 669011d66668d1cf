// A TCP socket owned by one thread: whole reads and writes, shutdown from another thread.
#include "Socket.h"
#include <cerrno>
#include <sys/socket.h>
#include <unistd.h>

namespace tovisrv {

CSocket::~CSocket()
{
    Close();
}

bool CSocket::ReadExact(void* buffer, size_t length)
{
    auto* p = static_cast<char*>(buffer);
    while (length > 0) {
        const ssize_t got = ::recv(m_fd, p, length, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        p += got;
        length -= static_cast<size_t>(got);
    }
    return true;
}

bool CSocket::WriteAll(const void* data, size_t length, bool more)
{
    const auto* p = static_cast<const char*>(data);
    const int flags = MSG_NOSIGNAL | (more ? MSG_MORE : 0);
    while (length > 0) {
        const ssize_t sent = ::send(m_fd, p, length, flags);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent <= 0)
            return false;
        p += sent;
        length -= static_cast<size_t>(sent);
    }
    return true;
}

bool CSocket::ReadLine(std::string& line, size_t maxLength)
{
    for (;;) {
        const size_t end = m_lineBuffer.find('\n');
        if (end != std::string::npos) {
            line = m_lineBuffer.substr(0, end);
            m_lineBuffer.erase(0, end + 1);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            return true;
        }
        if (m_lineBuffer.size() > maxLength)
            return false;
        char chunk[4096];
        const ssize_t got = ::recv(m_fd, chunk, sizeof chunk, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        m_lineBuffer.append(chunk, static_cast<size_t>(got));
    }
}

void CSocket::Shutdown()
{
    if (m_fd >= 0)
        ::shutdown(m_fd, SHUT_RDWR);
}

void CSocket::Close()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

}
