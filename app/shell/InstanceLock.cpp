// CInstanceLock: the single-instance mutex.
#include "InstanceLock.h"

const wchar_t CInstanceLock::kProgramName[] = L"{6E0C4B57-2F1A-4D8B-9A63-C1D54E7F20B9}";

bool CInstanceLock::Take()
{
    Release();
    HANDLE mutex = ::CreateMutexW(nullptr, TRUE, m_strName.c_str());
    if (mutex == nullptr)
        return false;
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        ::CloseHandle(mutex);
        return false;
    }
    m_hMutex = mutex;
    return true;
}

void CInstanceLock::Release()
{
    if (m_hMutex == nullptr)
        return;
    ::ReleaseMutex(m_hMutex);
    ::CloseHandle(m_hMutex);
    m_hMutex = nullptr;
}

bool CInstanceLock::Acquire(const wchar_t* name)
{
    m_strName = name != nullptr ? name : L"";
    return Take();
}

bool CInstanceLock::Restart(Launcher launch, void* context)
{
    Release();
    if (launch != nullptr && launch(context))
        return true;
    // No new instance: this one stays the program and must keep refusing second launches.
    if (!m_strName.empty())
        Take();
    return false;
}

CInstanceLock& CInstanceLock::Program()
{
    static CInstanceLock lock;
    return lock;
}
