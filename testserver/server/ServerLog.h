// The server's log: <state>/server.log, one line per event, optionally echoed to stderr.
#pragma once
#include <cstdio>
#include <mutex>
#include <string>

namespace tovisrv {

class CServerLog {
public:
    ~CServerLog();
    void Open(const std::string& path, bool echo);
    // connection 0 is the server itself; control sessions log with a negative id.
    void Write(int connection, const std::string& text);

private:
    std::mutex m_lock;
    std::FILE* m_file = nullptr;
    bool m_echo = false;
};

}
