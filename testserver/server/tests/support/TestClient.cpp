// A raw protocol client for the tests: frames by hand, the session cipher straight from
// OpenSSL, and reads that never block longer than a time limit.
#include "TestClient.h"
#include <algorithm>
#include <arpa/inet.h>
#include <cstdlib>
#include <cerrno>
#include <chrono>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int ConnectLoopback(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<uint16_t>(port));
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return -1;
    }
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return fd;
}

// One read of at most `max` bytes: >0 bytes, 0 end of stream, -1 time-out or error.
long ReadSome(int fd, char* buffer, size_t max, int timeoutMs)
{
    pollfd p{fd, POLLIN, 0};
    int ready;
    do {
        ready = ::poll(&p, 1, timeoutMs);
    } while (ready < 0 && errno == EINTR);
    if (ready <= 0)
        return -1;
    const ssize_t got = ::recv(fd, buffer, max, 0);
    return got < 0 ? (errno == ECONNRESET ? 0 : -1) : got;
}

void WriteAll(int fd, const std::string& bytes)
{
    size_t at = 0;
    while (at < bytes.size()) {
        const ssize_t sent = ::send(fd, bytes.data() + at, bytes.size() - at, MSG_NOSIGNAL);
        if (sent <= 0)
            return;
        at += static_cast<size_t>(sent);
    }
}

}

TestClient::~TestClient()
{
    Close();
}

bool TestClient::Connect(int port)
{
    Close();
    m_fd = ConnectLoopback(port);
    return m_fd >= 0;
}

void TestClient::Close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_cipherName.clear();
    m_key.clear();
}

void TestClient::SendRaw(const std::string& bytes)
{
    WriteAll(m_fd, bytes);
}

void TestClient::SendFrame(uint8_t flags, const std::string& command, const std::string& payload)
{
    SendRaw(testwire::Prefix(static_cast<uint32_t>(payload.size() + 3)) + static_cast<char>(flags) +
            command + payload);
}

void TestClient::SendRequest(const std::string& command, const std::string& plainPayload, bool more)
{
    const uint8_t moreFlag = more ? 0x20 : 0;
    if (IsKeyed() && !plainPayload.empty())
        SendFrame(0x81 | moreFlag, command, testwire::Crypt(m_cipherName, m_key, plainPayload, true));
    else
        SendFrame((IsKeyed() ? 0x81 : 0x01) | moreFlag, command, plainPayload);
}

bool TestClient::ReadExact(size_t n, std::string& out, int timeoutMs)
{
    out.clear();
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string buffer(65536, '\0');
    while (out.size() < n) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now()).count();
        if (left <= 0)
            return false;
        const long got = ReadSome(m_fd, &buffer[0], std::min(buffer.size(), n - out.size()),
                                  static_cast<int>(left));
        if (got <= 0)
            return false;
        out.append(buffer, 0, static_cast<size_t>(got));
    }
    return true;
}

bool TestClient::ReadFrame(RawFrame& frame, int timeoutMs)
{
    std::string lead, rest, header, payload;
    if (!ReadExact(1, lead, timeoutMs))
        return false;
    const unsigned char c = static_cast<unsigned char>(lead[0]);
    const size_t extra = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : 9;
    if (c == 0 || extra == 9 || !ReadExact(extra, rest, timeoutMs))
        return false;
    frame.prefix = lead + rest;
    uint32_t length = extra == 0 ? c : c & (0x3F >> extra);
    for (unsigned char k : rest)
        length = (length << 6) | (k & 0x3F);
    if (length < 3 || !ReadExact(3, header, timeoutMs) || !ReadExact(length - 3, payload, timeoutMs))
        return false;
    frame.flags = static_cast<uint8_t>(header[0]);
    frame.command = header.substr(1, 2);
    frame.payload = payload;
    return true;
}

std::string TestClient::ReadUntilClosed(bool& closed, int timeoutMs)
{
    std::string out;
    closed = false;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    char buffer[65536];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now()).count();
        if (left <= 0)
            return out;
        const long got = ReadSome(m_fd, buffer, sizeof buffer, static_cast<int>(left));
        if (got == 0) {
            closed = true;
            return out;
        }
        if (got < 0)
            return out;
        out.append(buffer, static_cast<size_t>(got));
    }
}

bool TestClient::NothingArrives(int timeoutMs)
{
    pollfd p{m_fd, POLLIN, 0};
    return ::poll(&p, 1, timeoutMs) == 0;
}

bool TestClient::KeyExchange(A0Reply& reply, const std::string& code)
{
    m_cipherName.clear();
    SendFrame(0x01, "A0", code.empty() ? std::string() : testwire::Record({{220, code}}));
    RawFrame frame;
    if (!ReadFrame(frame) || frame.command != "A0")
        return false;
    std::vector<testwire::Fields> records;
    if (testwire::Decode(frame.payload, records) != 0 || records.size() != 1)
        return false;
    auto& f = records[0];
    reply.flags = frame.flags;
    reply.algo = std::atoi(f[21].c_str());
    reply.mode = std::atoi(f[22].c_str());
    reply.bits = std::atoi(f[3].c_str());
    reply.phrase = f[9];
    m_algo = reply.algo;
    m_bits = reply.bits;
    m_cipherName = testwire::CipherName(reply.algo, reply.mode, reply.bits);
    if (!m_cipherName.empty())
        m_key = testwire::DeriveKey(reply.algo, reply.bits, reply.phrase);
    return true;
}

void TestClient::Rekey(const std::string& phrase)
{
    m_key = testwire::DeriveKey(m_algo, m_bits, phrase);
}

std::string TestClient::Plain(const RawFrame& frame) const
{
    if ((frame.flags & 0x80) && !frame.payload.empty())
        return testwire::Crypt(m_cipherName, m_key, frame.payload, false);
    return frame.payload;
}

bool TestClient::ReadMessage(std::string& command, std::string& plainPayload, int* frames, int timeoutMs)
{
    plainPayload.clear();
    int count = 0;
    RawFrame frame;
    do {
        if (!ReadFrame(frame, timeoutMs))
            return false;
        if (count == 0)
            command = frame.command;
        else if (frame.command != command)
            return false;
        plainPayload += Plain(frame);
        ++count;
    } while (frame.flags & 0x20);
    if (frames)
        *frames = count;
    return true;
}

bool TestClient::Exchange(const std::string& command, const std::string& plainPayload,
                          std::string& replyCommand, std::vector<testwire::Fields>& records)
{
    SendRequest(command, plainPayload);
    std::string payload;
    return ReadMessage(replyCommand, payload) && testwire::Decode(payload, records) == 0;
}

TestControl::~TestControl()
{
    Close();
}

bool TestControl::Connect(int port)
{
    Close();
    m_fd = ConnectLoopback(port);
    return m_fd >= 0;
}

std::string TestControl::Send(const std::string& line)
{
    WriteAll(m_fd, line + "\n");
    char buffer[4096];
    for (;;) {
        const size_t end = m_buffer.find('\n');
        if (end != std::string::npos) {
            std::string reply = m_buffer.substr(0, end);
            m_buffer.erase(0, end + 1);
            return reply;
        }
        const long got = ReadSome(m_fd, buffer, sizeof buffer, 10000);
        if (got <= 0)
            return "<no reply>";
        m_buffer.append(buffer, static_cast<size_t>(got));
    }
}

void TestControl::Close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_buffer.clear();
}
