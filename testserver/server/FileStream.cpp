// Sends a stored file (or its tail) as an H4 header and H4 data frames.
#include "FileStream.h"
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace tovisrv {

namespace {

struct Descriptor {
    explicit Descriptor(int value) : fd(value) {}
    ~Descriptor() { ::close(fd); }
    int fd;
};

// The frame factor that the options hand to the clients (159) sizes the data frames too:
// pieces per frame, 1 to 32; anything else means 2.
size_t FrameFactor(const StoreConfig& config)
{
    const auto it = config.a1.find(159);
    const long factor = it == config.a1.end() ? 0 : std::strtol(it->second.c_str(), nullptr, 10);
    return factor >= 1 && factor <= 32 ? static_cast<size_t>(factor) : 2;
}

}

void CFileStream::Send(CStoreRequest& request, const std::string& path, uint64_t offset, uint64_t length,
                       std::vector<Record> header)
{
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) {
        request.Error("1301", "The file cannot be read.");
        return;
    }
    auto file = std::make_shared<Descriptor>(fd);
    const size_t framePayload = FrameFactor(request.Config()) * kFilePieceSize;
    request.Unlock();
    request.Exchange().Stream(std::move(header), length, [file, offset](uint64_t at, size_t size, std::string& out) {
        out.resize(size);
        size_t got = 0;
        while (got < size) {
            const ssize_t n = ::pread(file->fd, &out[got], size - got, static_cast<off_t>(offset + at + got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            got += static_cast<size_t>(n);
        }
        return true;
    }, framePayload);
}

}
