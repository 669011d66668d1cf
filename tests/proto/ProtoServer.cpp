// The protocol tests' view of the native test server.
#include <winsock2.h>
#include "ProtoServer.h"
#include <cstdio>
#include <cstring>

namespace protoserver {

namespace {

struct WinsockUser {
    WinsockUser()
    {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    }
    ~WinsockUser() { WSACleanup(); }
};

}

bool ReadPorts(Ports& ports)
{
    FILE* file = _wfopen(L"T:\\proto-server\\ports", L"r");
    if (!file)
        return false;
    int n = fscanf(file, "%d %d", &ports.port, &ports.control);
    fclose(file);
    return n == 2;
}

Control::~Control()
{
    if (m_socket != ~uintptr_t(0))
        closesocket(static_cast<SOCKET>(m_socket));
}

bool Control::Connect(int port)
{
    static WinsockUser winsock;
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in addr = {};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<u_short>(port));
    addr.sin_addr.s_addr = inet_addr("127.0.0.1");
    if (connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        closesocket(s);
        return false;
    }
    DWORD timeout = 30000;
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    m_socket = s;
    return true;
}

std::string Control::Send(const std::string& line)
{
    std::string out = line + "\n";
    send(static_cast<SOCKET>(m_socket), out.data(), static_cast<int>(out.size()), 0);
    for (;;) {
        size_t end = m_buffer.find('\n');
        if (end != std::string::npos) {
            std::string reply = m_buffer.substr(0, end);
            m_buffer.erase(0, end + 1);
            if (!reply.empty() && reply.back() == '\r')
                reply.pop_back();
            return reply;
        }
        char chunk[4096];
        int n = recv(static_cast<SOCKET>(m_socket), chunk, sizeof chunk, 0);
        if (n <= 0)
            return "ERR no reply";
        m_buffer.append(chunk, static_cast<size_t>(n));
    }
}

std::string Control::Value(const std::string& reply, const std::string& key)
{
    const std::string tag = key + "=";
    size_t at = 0;
    while ((at = reply.find(tag, at)) != std::string::npos) {
        if (at == 0 || reply[at - 1] == ' ') {
            size_t start = at + tag.size();
            size_t end = reply.find(' ', start);
            return reply.substr(start, end == std::string::npos ? std::string::npos : end - start);
        }
        at += tag.size();
    }
    return std::string();
}

void TestProto::Aim(int port, const char* timeoutSeconds)
{
    std::strcpy(ServerAddress.szHost, "127.0.0.1");
    ServerAddress.nPort = port;
    std::strcpy(SocketTimeout, timeoutSeconds);
    std::strcpy(ConnectTimeout, "2");
}

int TestProto::Echo(const std::vector<ProtRecord>& records)
{
    ClearResult();
    _PROT msg;
    NewMessage(msg, PROT_CMD('Z', '1'));
    msg.records = records;
    return Request(msg);
}

void ServerTest::SetUp()
{
    ASSERT_TRUE(ReadPorts(m_ports)) << "no test server ports under T:\\proto-server";
    ASSERT_TRUE(m_control.Connect(m_ports.control));
    ASSERT_EQ("OK", m_control.Send("RESET").substr(0, 2));
}

void ServerTest::TearDown()
{
    m_control.Send("RESET");
}

namespace {

DWORD WINAPI RunWork(LPVOID param)
{
    (*static_cast<const std::function<void()>*>(param))();
    return 0;
}

}

bool RunBounded(DWORD seconds, const std::function<void()>& work, const std::function<void()>& unstick)
{
    HANDLE thread = CreateThread(nullptr, 0, RunWork, const_cast<std::function<void()>*>(&work), 0, nullptr);
    if (!thread)
        return false;
    const bool inTime = WaitForSingleObject(thread, seconds * 1000) == WAIT_OBJECT_0;
    if (!inTime) {
        unstick();
        // The work refers to the caller's frame: it has to end before the caller goes on.
        WaitForSingleObject(thread, INFINITE);
    }
    CloseHandle(thread);
    return inTime;
}

void ShutConnection(CToviProto& proto)
{
    CToviConn* conn = proto.m_pConn;
    if (conn && conn->m_hSocket != ~uintptr_t(0))
        shutdown(static_cast<SOCKET>(conn->m_hSocket), SD_BOTH);
}

std::string Bytes(size_t count, char fill)
{
    return std::string(count, fill);
}

std::string Pattern(uint64_t offset, size_t count)
{
    std::string out(count, '\0');
    for (size_t i = 0; i < count; ++i)
        out[i] = static_cast<char>((offset + i) % 251);
    return out;
}

}
