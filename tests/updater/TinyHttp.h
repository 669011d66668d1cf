// A small HTTP server of the test's own on 127.0.0.1: serves given bodies, and can misbehave on
// purpose (accept a request and never answer, or stop in the middle of a body and hold the
// connection) until it is destroyed.
#pragma once
#include <winsock2.h>
#include <windows.h>
#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace updtest {

class TinyHttp {
public:
    TinyHttp();
    ~TinyHttp();
    int Port() const { return m_port; }
    std::wstring Base() const { return L"http://127.0.0.1:" + std::to_wstring(m_port); }

    // path: the URL path with its leading "/", e.g. "/ToviConnect.dll".
    void Serve(const std::string& path, const std::string& body);
    // Answers nothing at all for path (or for every path with "*").
    void Silent(const std::string& path);
    // Sends the headers and the first bytes of the body, then holds the connection.
    void StallAfter(const std::string& path, size_t bytes);
    // Set once a connection has been stalled on purpose.
    HANDLE StallStarted() const { return m_stalled; }
    // Ends the connections it holds, as a server that gives up would.
    void DropConnections();
    // Paths asked for so far.
    std::vector<std::string> Requests() const;

private:
    void Accept();
    void Answer(SOCKET client);

    struct Rule {
        std::string body;
        bool silent = false;
        long stallAfter = -1;
    };
    SOCKET m_listener = INVALID_SOCKET;
    int m_port = 0;
    HANDLE m_stop;
    HANDLE m_stalled;
    std::thread m_acceptor;
    mutable std::mutex m_lock;
    std::map<std::string, Rule> m_rules;
    std::vector<std::string> m_requests;
    std::vector<SOCKET> m_clients;
    std::vector<std::thread> m_workers;
};

}
