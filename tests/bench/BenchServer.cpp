// The benchmarks' shared set-up.
#include "BenchServer.h"
#include "ToviProto.h"
#include <cstdio>
#include <cstring>

namespace bench {

bool ControlLine::Connect(int port)
{
    m_socket = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in addr = {};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<u_short>(port));
    addr.sin_addr.s_addr = inet_addr("127.0.0.1");
    return connect(m_socket, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
}

std::string ControlLine::Send(const std::string& line)
{
    std::string out = line + "\n";
    send(m_socket, out.data(), static_cast<int>(out.size()), 0);
    std::string reply;
    char c;
    while (recv(m_socket, &c, 1, 0) == 1 && c != '\n')
        reply.push_back(c);
    return reply;
}

bool StartServer(const std::wstring& scratch, int& port, int& control)
{
    const std::wstring portFile = scratch + L"\\ports";
    DeleteFileW(portFile.c_str());
    std::wstring command = L"start-server.sh --port-file " + portFile + L" --exit-with-control";
    // The script prints the ports; the file carries them, so its output goes nowhere.
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE nul = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                             OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = si.hStdOutput = si.hStdError = nul;
    PROCESS_INFORMATION pi = {};
    const BOOL started = CreateProcessW(L"T:\\native\\bin\\start-server.sh", &command[0], nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &si, &pi);
    if (nul != INVALID_HANDLE_VALUE)
        CloseHandle(nul);
    if (!started)
        return false;
    if (pi.hProcess)
        CloseHandle(pi.hProcess);
    if (pi.hThread)
        CloseHandle(pi.hThread);
    for (int i = 0; i < 400; ++i) {
        FILE* file = _wfopen(portFile.c_str(), L"r");
        if (file) {
            int n = fscanf(file, "%d %d", &port, &control);
            fclose(file);
            if (n == 2)
                return true;
        }
        Sleep(50);
    }
    return false;
}

int LogIn(CToviProto& proto, int port, const char* connectTimeout, const char* socketTimeout)
{
    std::strcpy(proto.ServerAddress.szHost, "127.0.0.1");
    proto.ServerAddress.nPort = port;
    std::strncpy(proto.ConnectTimeout, connectTimeout, sizeof proto.ConnectTimeout - 1);
    std::strncpy(proto.SocketTimeout, socketTimeout, sizeof proto.SocketTimeout - 1);
    int code = proto.GetSecureCode(nullptr, proto.ServerAddress.szHost, port, proto.ServerAddress.szCode,
                                   PROT_CMD('B', '0'));
    if (code != 0)
        return code;
    return proto.GetLoginInfo(L"1", CString(L"bench"), CString(L"bench1234"), const_cast<char*>("ko"),
                              const_cast<char*>("N"), const_cast<char*>("2"), false, CString(), nullptr);
}

}
