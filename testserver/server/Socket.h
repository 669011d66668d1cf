// A TCP socket owned by one thread: whole reads and writes, shutdown from another thread.
#pragma once
#include <cstddef>
#include <string>

namespace tovisrv {

class CSocket {
public:
    CSocket() = default;
    explicit CSocket(int fd) : m_fd(fd) {}
    ~CSocket();
    CSocket(const CSocket&) = delete;
    CSocket& operator=(const CSocket&) = delete;

    bool IsOpen() const { return m_fd >= 0; }
    int Fd() const { return m_fd; }

    // False on end of stream or error; then nothing more should be read.
    bool ReadExact(void* buffer, size_t length);
    // `more`: the next write follows at once, so the two may share a segment.
    bool WriteAll(const void* data, size_t length, bool more = false);
    bool WriteAll(const std::string& data) { return WriteAll(data.data(), data.size()); }
    // One line without its "\n" (a trailing "\r" is dropped too); false at the end.
    bool ReadLine(std::string& line, size_t maxLength = 1 << 20);

    // Safe from any thread: wakes a blocked reader, which then sees the end of the stream.
    void Shutdown();
    void Close();

private:
    int m_fd = -1;
    std::string m_lineBuffer;
};

}
