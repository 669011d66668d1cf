// The test's own HTTP server.
#include "TinyHttp.h"

namespace updtest {

TinyHttp::TinyHttp()
    : m_stop(CreateEventW(nullptr, TRUE, FALSE, nullptr)), m_stalled(CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    m_listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    int size = sizeof(address);
    getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &size);
    m_port = ntohs(address.sin_port);
    listen(m_listener, 16);
    m_acceptor = std::thread([this] { Accept(); });
}

TinyHttp::~TinyHttp()
{
    SetEvent(m_stop);
    closesocket(m_listener);
    m_acceptor.join();
    {
        std::lock_guard<std::mutex> hold(m_lock);
        for (SOCKET s : m_clients)
            closesocket(s);
    }
    for (std::thread& t : m_workers)
        t.join();
    CloseHandle(m_stop);
    CloseHandle(m_stalled);
    WSACleanup();
}

void TinyHttp::Serve(const std::string& path, const std::string& body)
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_rules[path].body = body;
}

void TinyHttp::Silent(const std::string& path)
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_rules[path].silent = true;
}

void TinyHttp::StallAfter(const std::string& path, size_t bytes)
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_rules[path].stallAfter = long(bytes);
}

void TinyHttp::DropConnections()
{
    std::lock_guard<std::mutex> hold(m_lock);
    for (SOCKET s : m_clients)
        shutdown(s, SD_BOTH);
}

std::vector<std::string> TinyHttp::Requests() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_requests;
}

void TinyHttp::Accept()
{
    for (;;) {
        SOCKET client = accept(m_listener, nullptr, nullptr);
        if (client == INVALID_SOCKET)
            return;
        std::lock_guard<std::mutex> hold(m_lock);
        if (WaitForSingleObject(m_stop, 0) == WAIT_OBJECT_0) {
            closesocket(client);
            return;
        }
        m_clients.push_back(client);
        m_workers.emplace_back([this, client] { Answer(client); });
    }
}

void TinyHttp::Answer(SOCKET client)
{
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos) {
        int got = recv(client, buffer, sizeof(buffer), 0);
        if (got <= 0)
            return;
        request.append(buffer, size_t(got));
    }
    size_t start = request.find(' ') + 1;
    std::string path = request.substr(start, request.find(' ', start) - start);
    Rule rule;
    bool known = false;
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_requests.push_back(path);
        auto all = m_rules.find("*");
        auto it = m_rules.find(path);
        known = it != m_rules.end();
        if (known)
            rule = it->second;
        if (all != m_rules.end() && all->second.silent)
            rule.silent = true;
    }
    auto send_all = [&](const std::string& bytes) { send(client, bytes.data(), int(bytes.size()), 0); };
    if (rule.silent) {
        WaitForSingleObject(m_stop, INFINITE);
        return;
    }
    if (!known) {
        send_all("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
        return;
    }
    send_all("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(rule.body.size()) + "\r\nConnection: close\r\n\r\n");
    if (rule.stallAfter >= 0 && size_t(rule.stallAfter) < rule.body.size()) {
        send_all(rule.body.substr(0, size_t(rule.stallAfter)));
        SetEvent(m_stalled);
        WaitForSingleObject(m_stop, INFINITE);
        return;
    }
    send_all(rule.body);
    shutdown(client, SD_SEND);
}

}
