// A backup run in a process of its own, for tests that end the process in the middle of it:
//   BackupRunChild.exe SESSION HOST PORT CODEHEX POLICYKEY TARGETIDX DOCUMENTS
// joins the logged-in session given, runs the policy and waits until it is ended.
#include "BackupThread.h"
#include "Library.h"
#include "ToviProto.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int wmain(int argc, wchar_t** argv)
{
    if (argc != 8) {
        std::fprintf(stderr, "usage: BackupRunChild SESSION HOST PORT CODEHEX POLICYKEY TARGETIDX DOCUMENTS\n");
        return 2;
    }
    auto narrow = [](const wchar_t* text) {
        std::string out;
        for (const wchar_t* p = text; *p; ++p)
            out += static_cast<char>(*p);
        return out;
    };
    ToviInterfaceInit();
    CToviProto session;
    strncpy(session.LoginInfo.SessionId, narrow(argv[1]).c_str(), sizeof session.LoginInfo.SessionId - 1);
    strncpy(session.ServerAddress.szHost, narrow(argv[2]).c_str(), sizeof session.ServerAddress.szHost - 1);
    session.ServerAddress.nPort = _wtoi(argv[3]);
    const std::string code = narrow(argv[4]);
    for (size_t i = 0; i + 1 < code.size() && i / 2 < sizeof session.ServerAddress.szCode; i += 2)
        session.ServerAddress.szCode[i / 2] = static_cast<char>(std::strtoul(code.substr(i, 2).c_str(), nullptr, 16));
    strncpy(session.ConnectTimeout, "20", sizeof session.ConnectTimeout - 1);
    strncpy(session.SocketTimeout, "20", sizeof session.SocketTimeout - 1);

    CBackupThread* worker = static_cast<CBackupThread*>(
        AfxBeginThread(RUNTIME_CLASS(CBackupThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED));
    if (!worker)
        return 1;
    worker->m_bAutoDelete = FALSE;
    worker->SetBackupInfo(nullptr, nullptr, &session, argv[5]);
    worker->SetBackupTarget(narrow(argv[6]).c_str(), "1");
    worker->SetLogDocumentsFolder(CString(argv[7]));
    worker->ResumeThread();
    std::printf("running\n");
    std::fflush(stdout);
    // The test ends this process; a run that reaches its end waits in its message loop.
    WaitForSingleObject(worker->m_hThread, 300000);
    return 0;
}
