// A listening socket on 127.0.0.1 whose accept another thread can end.
#pragma once
#include <atomic>
#include <string>

namespace tovisrv {

// A listening socket on 127.0.0.1. Port 0 takes an ephemeral port.
class CListener {
public:
    CListener() = default;
    ~CListener();
    CListener(const CListener&) = delete;
    CListener& operator=(const CListener&) = delete;

    bool Open(int port, std::string& error);
    int Port() const { return m_port; }
    // -1 once Shutdown has been called or on a failure that ends listening.
    int Accept();
    void Shutdown();

private:
    int m_fd = -1;
    int m_port = 0;
    std::atomic<bool> m_stopped{false};
};

}
