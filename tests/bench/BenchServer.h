// What the benchmark programs share: a test server of their own, its control line, the clock
// and a log-in of the bench account.
#pragma once
#include <winsock2.h>
#include <chrono>
#include <string>

class CToviProto;

namespace bench {

typedef std::chrono::steady_clock Clock;

inline double Seconds(Clock::time_point since)
{
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// One line out, one line back.
class ControlLine {
public:
    bool Connect(int port);
    std::string Send(const std::string& line);

private:
    SOCKET m_socket = INVALID_SOCKET;
};

// Starts T:\native\bin\start-server.sh with its port file in scratch (the server ends with its
// control line); false when it did not come up.
bool StartServer(const std::wstring& scratch, int& port, int& control);

// Logs the account "bench" in on 127.0.0.1:port; the protocol's result code.
int LogIn(CToviProto& proto, int port, const char* connectTimeout, const char* socketTimeout);

}
