// CToviUpdate::HTTPDown: one HTTP GET through WinINet into a file, with progress and cancel.
#include "ToviUpdate.h"
#include "TraceLog.h"
#include "UpdateMessages.h"
#include <process.h>

namespace {
const DWORD kOpenTimeoutMs = 3000;
}

UINT __stdcall CToviUpdate::OpenURLThread(void* self)
{
    CToviUpdate* update = static_cast<CToviUpdate*>(self);
    update->m_hURL = ::InternetOpenUrlW(update->m_hSession, update->m_url, nullptr, 0,
                                        INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0);
    if (update->m_hURL == nullptr) {
        TraceLog(2048, L" ■■■ [ CToviUpdate::OpenURLThread ] ERROR!  m_hURL == NULL!  [ %d ]\n",
                 static_cast<int>(::GetLastError()));
        update->m_url.Empty();
        return 1;
    }
    return 0;
}

bool CToviUpdate::HTTPDown(HANDLE cancelEvent, HWND window, const CString& url, const CString& path)
{
    if (url.IsEmpty() || path.IsEmpty()) {
        TraceLog(2048, L" ■■■ [ UPDATE ][ HTTPDown ] URL or FileName is EMPTY!");
        return false;
    }
    CloseHandles();
    m_url.Empty();
    m_hSession = ::InternetOpenW(L"CorvaneIXO", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (m_hSession == nullptr) {
        TraceLog(2048, L" ■■■ [ UPDATE ][ HTTPDown ] InternetOpen Failed [ %d ]", static_cast<int>(::GetLastError()));
        return false;
    }
    m_url = url;
    HANDLE opener = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, OpenURLThread, this, 0, nullptr));
    if (opener == nullptr) {
        CloseHandles();
        return false;
    }
    if (::WaitForSingleObject(opener, kOpenTimeoutMs) == WAIT_TIMEOUT) {
        // Closing the session makes the pending open give up; the opener never outlives us.
        ::InternetCloseHandle(m_hSession);
        m_hSession = nullptr;
        ::WaitForSingleObject(opener, INFINITE);
        ::CloseHandle(opener);
        CloseHandles();
        TraceLog(1, L" ■■■ [ UPDATE ][ HTTPDown ] INTERNET_OPEN_TIMEOUT \n");
        return false;
    }
    ::CloseHandle(opener);

    wchar_t status[33] = {};
    DWORD statusSize = sizeof(status) - sizeof(wchar_t);
    if (m_hURL == nullptr || !::HttpQueryInfoW(m_hURL, HTTP_QUERY_STATUS_CODE, status, &statusSize, nullptr)) {
        TraceLog(2048, L" ■■■ [ UPDATE ][ HTTPDown ] HttpQueryInfo FAILED : [ %d ]", static_cast<int>(::GetLastError()));
        CloseHandles();
        return false;
    }
    if (_wtoi(status) != 200) {
        TraceLog(2048, L" ■■■ [ UPDATE ][ HTTPDown ] HttpQueryInfo return [ %d ]", _wtoi(status));
        CloseHandles();
        return false;
    }
    if (::GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES && !::DeleteFileW(path)) {
        TraceLog(2048, L" ■■■ [ UPDATE ][ HTTPDown ] DeleteFile Failed [ %d ]", static_cast<int>(::GetLastError()));
        CloseHandles();
        return false;
    }
    HANDLE out = ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) {
        TraceLog(2048, L" ■■■ [ UPDATE ][ HTTPDown ] CreateFile Failed [ %d ]", static_cast<int>(::GetLastError()));
        CloseHandles();
        return false;
    }
    DWORD contentLength = 0;
    DWORD lengthSize = sizeof(contentLength);
    if (!::HttpQueryInfoW(m_hURL, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &contentLength, &lengthSize, nullptr)) {
        TraceLog(2048, L" ■■■ [ UPDATE ][ HTTPDown ] HttpQueryInfo Failed [ %d ]", static_cast<int>(::GetLastError()));
        ::CloseHandle(out);
        ::DeleteFileW(path);
        CloseHandles();
        return false;
    }
    if (window != nullptr) {
        unsigned long long total = contentLength;
        ::SendMessageW(window, WM_UPDATER_PROGRESS_RANGE, 0, reinterpret_cast<LPARAM>(&total));
    }

    bool ok = true;
    unsigned long long received = 0;
    std::vector<BYTE> buffer;
    while (received < contentLength) {
        if (cancelEvent != nullptr && ::WaitForSingleObject(cancelEvent, 0) == WAIT_OBJECT_0) {
            ok = false;
            break;
        }
        DWORD available = 0;
        if (!::InternetQueryDataAvailable(m_hURL, &available, 0, 0) || available == 0)
            break;
        buffer.assign(available + 1, 0);
        DWORD got = 0;
        if (!::InternetReadFile(m_hURL, buffer.data(), available, &got)) {
            TraceLog(2048, L" ■■■ [ UPDATE ][ HTTPDown ] InternetReadFile Failed. [ %d ]", static_cast<int>(::GetLastError()));
            ok = false;
            break;
        }
        if (got == 0)
            break;
        DWORD written = 0;
        if (!::WriteFile(out, buffer.data(), got, &written, nullptr) || written != got) {
            TraceLog(2048, L" ■■■ [ UPDATE ][ HTTPDown ] WriteFile Failed. [ %d ]", static_cast<int>(::GetLastError()));
            ok = false;
            break;
        }
        received += got;
        if (window != nullptr) {
            unsigned long long step = got;
            ::SendMessageW(window, WM_UPDATER_PROGRESS, 0, reinterpret_cast<LPARAM>(&step));
        }
    }
    // A body that ends before its announced length is a failed download, not a short file.
    if (ok && received != contentLength) {
        TraceLog(2048, L" ■■■ [ UPDATE ][ HTTPDown ] %I64u of %u bytes received", received, static_cast<unsigned>(contentLength));
        ok = false;
    }
    ::CloseHandle(out);
    if (!ok)
        ::DeleteFileW(path);
    CloseHandles();
    return ok;
}
