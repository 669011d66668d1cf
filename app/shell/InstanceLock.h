// CInstanceLock: the named mutex that keeps one instance of the program per user session.
//
// The program holds one (Program()) from start-up to exit. A restart of the program (for an
// update or after the settings asked for it) releases it before the new instance starts, so
// that the new one does not take itself for a second launch and end.
#pragma once
#include <windows.h>
#include <string>

class CInstanceLock {
public:
    CInstanceLock() = default;
    ~CInstanceLock() { Release(); }
    CInstanceLock(const CInstanceLock&) = delete;
    CInstanceLock& operator=(const CInstanceLock&) = delete;

    // True when this is the first holder of the name; false when another instance holds it
    // (or the mutex could not be made).
    bool Acquire(const wchar_t* name);
    // Releases and closes the mutex; harmless when none is held.
    void Release();
    bool Held() const { return m_hMutex != nullptr; }

    // Starts the program again: releases the lock first, then runs the launcher (which starts
    // the new process). The launcher's result; when it fails, the lock is taken again.
    typedef bool (*Launcher)(void* context);
    bool Restart(Launcher launch, void* context);

    // The program's own lock.
    static CInstanceLock& Program();
    // The fixed name of the program's lock.
    static const wchar_t kProgramName[];

private:
    bool Take();

    HANDLE m_hMutex = nullptr;
    std::wstring m_strName;
};
