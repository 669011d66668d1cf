// ServiceInstall and ServiceControl: the service "CorvaneIXO" in the Service Control Manager.
#include "ServiceControl.h"
#include <windows.h>

namespace {

const wchar_t kServiceName[] = L"CorvaneIXO";
const wchar_t kDisplayName[] = L"Corvane IXO";
const DWORD kStopLimitMs = 10000;

class ScHandle {
public:
    explicit ScHandle(SC_HANDLE h = nullptr) : m_h(h) {}
    ~ScHandle() { if (m_h != nullptr) ::CloseServiceHandle(m_h); }
    ScHandle(const ScHandle&) = delete;
    ScHandle& operator=(const ScHandle&) = delete;
    SC_HANDLE Get() const { return m_h; }
    explicit operator bool() const { return m_h != nullptr; }
private:
    SC_HANDLE m_h;
};

bool QueryStatus(SC_HANDLE service, SERVICE_STATUS_PROCESS& status)
{
    DWORD needed = 0;
    return ::QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status), sizeof(status),
                                  &needed) != FALSE;
}

// Waits while the service is start-pending, as long as its check point keeps moving within its
// wait hint. True when it runs at the end.
bool WaitWhileStarting(SC_HANDLE service, SERVICE_STATUS_PROCESS& status)
{
    DWORD lastTick = ::GetTickCount();
    DWORD lastCheckPoint = status.dwCheckPoint;
    while (status.dwCurrentState == SERVICE_START_PENDING) {
        DWORD pause = status.dwWaitHint / 10;
        pause = pause < 1000 ? 1000 : pause > 10000 ? 10000 : pause;
        ::Sleep(pause);
        if (!QueryStatus(service, status))
            return false;
        if (status.dwCheckPoint > lastCheckPoint) {
            lastCheckPoint = status.dwCheckPoint;
            lastTick = ::GetTickCount();
        } else if (::GetTickCount() - lastTick > status.dwWaitHint) {
            break;
        }
    }
    return status.dwCurrentState == SERVICE_RUNNING;
}

// Sends the stop control and waits up to kStopLimitMs from since for the stopped state.
bool StopAndWait(SC_HANDLE service, DWORD since)
{
    SERVICE_STATUS reply = {};
    if (!::ControlService(service, SERVICE_CONTROL_STOP, &reply))
        return false;
    if (reply.dwCurrentState == SERVICE_STOPPED)
        return true;
    DWORD hint = reply.dwWaitHint;
    for (;;) {
        ::Sleep(hint < 100 ? 100 : hint > 1000 ? 1000 : hint);
        SERVICE_STATUS_PROCESS status = {};
        if (!QueryStatus(service, status))
            return false;
        if (status.dwCurrentState == SERVICE_STOPPED)
            return true;
        if (::GetTickCount() - since > kStopLimitMs)
            return false;
        hint = status.dwWaitHint;
    }
}

bool StartAndWait(SC_HANDLE service)
{
    if (!::StartServiceW(service, 0, nullptr))
        return false;
    SERVICE_STATUS_PROCESS status = {};
    if (!QueryStatus(service, status))
        return false;
    return WaitWhileStarting(service, status);
}

}

bool ServiceInstall(bool install, const wchar_t* path)
{
    ScHandle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!manager)
        return false;
    if (install) {
        if (path == nullptr || path[0] == L'\0')
            return false;
        ScHandle service(::CreateServiceW(manager.Get(), kServiceName, kDisplayName, SERVICE_ALL_ACCESS,
                                          SERVICE_WIN32_OWN_PROCESS | SERVICE_INTERACTIVE_PROCESS, SERVICE_AUTO_START,
                                          SERVICE_ERROR_NORMAL, path, nullptr, nullptr, nullptr, nullptr, nullptr));
        return service && StartAndWait(service.Get());
    }
    ScHandle service(::OpenServiceW(manager.Get(), kServiceName, SERVICE_ALL_ACCESS));
    if (!service)
        return false;
    SERVICE_STATUS_PROCESS status = {};
    if (!QueryStatus(service.Get(), status))
        return false;
    if (status.dwCurrentState != SERVICE_STOPPED && !StopAndWait(service.Get(), ::GetTickCount()))
        return false;
    return ::DeleteService(service.Get()) != FALSE;
}

bool ServiceControl(bool start)
{
    ScHandle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!manager)
        return false;
    ScHandle service(::OpenServiceW(manager.Get(), kServiceName, SERVICE_ALL_ACCESS));
    if (!service)
        return false;
    SERVICE_STATUS_PROCESS status = {};
    if (!QueryStatus(service.Get(), status))
        return false;
    if (start)
        return status.dwCurrentState == SERVICE_RUNNING || StartAndWait(service.Get());
    return status.dwCurrentState == SERVICE_STOPPED || StopAndWait(service.Get(), ::GetTickCount());
}
