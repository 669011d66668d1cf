// The HTTP fixture's request handling: files, enciphered files and misbehaviour on request.
#include "HttpServer.h"
#include "StoredCipher.h"
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstring>
#include <fstream>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <sstream>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace httpfixture {

namespace {

std::atomic<bool> g_quit{false};
std::atomic<long long> g_lastRequest{0};
std::string g_requestLog;
std::mutex g_logLock;

// One line per request, "METHOD TARGET", so that tests see what a client asked for even when
// nothing was served.
void LogRequest(const std::string& method, const std::string& target)
{
    if (g_requestLog.empty() || method.empty())
        return;
    std::lock_guard<std::mutex> hold(g_logLock);
    std::ofstream out(g_requestLog, std::ios::app);
    out << method << " " << target << "\n";
}

long long Now()
{
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

bool ReadFile(const std::string& path, std::string& data)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream s;
    s << in.rdbuf();
    data = s.str();
    return true;
}

void SendAll(int fd, const std::string& data)
{
    size_t sent = 0;
    while (sent < data.size()) {
        ssize_t n = send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return;
        sent += size_t(n);
    }
}

struct Rules {
    int status = 200;
    int delayMs = 0;
    bool noLength = false;
    long shortBytes = -1;
};

Rules ReadRules(const std::string& path)
{
    Rules rules;
    std::ifstream in(path);
    std::string word;
    while (in >> word) {
        if (word == "status") in >> rules.status;
        else if (word == "delay-ms") in >> rules.delayMs;
        else if (word == "no-length") rules.noLength = true;
        else if (word == "short") in >> rules.shortBytes;
    }
    return rules;
}

std::string StatusLine(int status)
{
    const char* text = status == 200 ? "OK" : status == 404 ? "Not Found" : status == 400 ? "Bad Request" : "Error";
    return "HTTP/1.1 " + std::to_string(status) + " " + text + "\r\n";
}

void Answer(int fd, int status, const std::string& body, const Rules& rules)
{
    std::string head = StatusLine(status);
    if (!rules.noLength)
        head += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    head += "Content-Type: application/octet-stream\r\nConnection: close\r\n\r\n";
    SendAll(fd, head);
    if (rules.shortBytes >= 0 && size_t(rules.shortBytes) < body.size())
        SendAll(fd, body.substr(0, size_t(rules.shortBytes)));
    else
        SendAll(fd, body);
}

void Handle(int fd, std::string root)
{
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
        ssize_t n = recv(fd, buffer, sizeof(buffer), 0);
        if (n <= 0)
            break;
        request.append(buffer, size_t(n));
    }
    g_lastRequest = Now();
    std::istringstream line(request.substr(0, request.find("\r\n")));
    std::string method, target;
    line >> method >> target;
    LogRequest(method, target);
    std::string path = target.substr(0, target.find('?'));
    Rules plain;
    if (path == "/__quit") {
        Answer(fd, 200, "bye", plain);
        g_quit = true;
    } else if ((method != "GET" && method != "HEAD") || path.empty() || path[0] != '/' ||
               path.find("..") != std::string::npos) {
        Answer(fd, 400, "", plain);
    } else {
        std::string file = root + path;
        Rules rules = ReadRules(file + ".http");
        if (rules.delayMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(rules.delayMs));
        std::string body;
        if (rules.status != 200) {
            Answer(fd, rules.status, "", rules);
        } else if (ReadFile(file, body)) {
            Answer(fd, 200, method == "HEAD" ? std::string() : body, rules);
        } else if (path.size() > 4 && path.compare(path.size() - 4, 4, ".enc") == 0 &&
                   ReadFile(file.substr(0, file.size() - 4), body)) {
            std::string cipher;
            if (StoredCipher(body, cipher))
                Answer(fd, 200, cipher, rules);
            else
                Answer(fd, 500, "", plain);
        } else {
            Answer(fd, 404, "", plain);
        }
    }
    shutdown(fd, SHUT_WR);
    // Let the client read everything before the socket goes.
    while (recv(fd, buffer, sizeof(buffer), 0) > 0) {
    }
    close(fd);
}

}

int Listen(int& listener)
{
    listener = socket(AF_INET, SOCK_STREAM, 0);
    if (listener < 0)
        return 0;
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof(address);
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 || listen(listener, 64) != 0 ||
        getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return 0;
    return ntohs(address.sin_port);
}

void Serve(int listener, const std::string& root, int idleSeconds, const std::string& requestLog)
{
    g_requestLog = requestLog;
    if (!requestLog.empty())
        std::ofstream(requestLog, std::ios::trunc);
    g_lastRequest = Now();
    while (!g_quit) {
        pollfd p = { listener, POLLIN, 0 };
        if (poll(&p, 1, 200) > 0) {
            int fd = accept(listener, nullptr, nullptr);
            if (fd >= 0) {
                timeval timeout = { 30, 0 };
                setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof(timeout));
                std::thread(Handle, fd, root).detach();
            }
        }
        if (Now() - g_lastRequest > idleSeconds)
            break;
    }
    // Give a last answer (the quit) time to leave.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
}

}
