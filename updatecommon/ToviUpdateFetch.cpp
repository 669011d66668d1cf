// The HTTP download behind both update programs' HTTPDown.
#include "ToviUpdateFetch.h"
#include "TraceLog.h"
#include <wininet.h>
#include <process.h>
#include <memory>
#include <string>
#include <vector>

namespace updatefetch {
namespace {

class Handle {
public:
    explicit Handle(HINTERNET h = nullptr) : m_h(h) {}
    ~Handle() { Close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    void Close()
    {
        if (m_h != nullptr)
            ::InternetCloseHandle(m_h);
        m_h = nullptr;
    }
    HINTERNET Get() const { return m_h; }
    HINTERNET m_h;
};

// Shared with the opener thread, which a server that never answers may keep past our return.
struct Opening {
    HINTERNET session;
    std::wstring url;
    HINTERNET result = nullptr;
    DWORD error = 0;
};

UINT __stdcall OpenThread(void* param)
{
    std::unique_ptr<std::shared_ptr<Opening>> holder(static_cast<std::shared_ptr<Opening>*>(param));
    Opening& open = **holder;
    open.result = ::InternetOpenUrlW(open.session, open.url.c_str(), nullptr, 0,
                                     INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0);
    open.error = open.result == nullptr ? ::GetLastError() : 0;
    return 0;
}

// Every wait of a download is bounded: a server that accepts and then says nothing, or stops
// in the middle of a body, fails the download instead of holding it (WinINet sets no receive
// time-out of its own here).
void LimitWaits(HINTERNET session)
{
    for (DWORD option : { DWORD(INTERNET_OPTION_CONNECT_TIMEOUT), DWORD(INTERNET_OPTION_SEND_TIMEOUT),
                          DWORD(INTERNET_OPTION_RECEIVE_TIMEOUT), DWORD(INTERNET_OPTION_DATA_SEND_TIMEOUT),
                          DWORD(INTERNET_OPTION_DATA_RECEIVE_TIMEOUT) }) {
        DWORD ms = kStallTimeoutMs;
        ::InternetSetOptionW(session, option, &ms, sizeof(ms));
    }
}

// Opens url on its own thread so that a server that never answers costs kOpenTimeoutMs.
bool OpenUrl(Handle& session, const wchar_t* url, Handle& request, const wchar_t* name)
{
    auto open = std::make_shared<Opening>();
    open->session = session.Get();
    open->url = url;
    auto* param = new std::shared_ptr<Opening>(open);
    HANDLE opener = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, OpenThread, param, 0, nullptr));
    if (opener == nullptr) {
        delete param;
        return false;
    }
    if (::WaitForSingleObject(opener, kOpenTimeoutMs) == WAIT_TIMEOUT) {
        // Closing the session makes the pending open give up where the system honours it;
        // where it does not, the opener is left to its own time-outs and cleans up after itself.
        session.Close();
        if (::WaitForSingleObject(opener, 1000) == WAIT_OBJECT_0 && open->result != nullptr)
            ::InternetCloseHandle(open->result);
        ::CloseHandle(opener);
        TraceLog(2048, L"[ %s ] INTERNET_OPEN_TIMEOUT\n", name);
        return false;
    }
    ::CloseHandle(opener);
    request.m_h = open->result;
    if (open->result == nullptr) {
        TraceLog(2048, L"[ %s ] InternetOpenUrl FAILED : [ %d ]\n", name, static_cast<int>(open->error));
        return false;
    }
    return true;
}

// Copies the body into out: true when all `length` bytes arrived and were written.
bool CopyBody(HINTERNET request, HANDLE out, DWORD length, const Options& options)
{
    unsigned long long received = 0;
    std::vector<BYTE> buffer;
    while (received < length) {
        if (options.cancelEvent != nullptr && ::WaitForSingleObject(options.cancelEvent, 0) == WAIT_OBJECT_0) {
            TraceLog(1, L"[ %s ] cancelled\n", options.traceName);
            return false;
        }
        DWORD available = 0;
        if (!::InternetQueryDataAvailable(request, &available, 0, 0) || available == 0)
            break;
        buffer.resize(available);
        DWORD got = 0;
        if (!::InternetReadFile(request, buffer.data(), available, &got)) {
            TraceLog(2048, L"[ %s ] InternetReadFile FAILED : [ %d ]\n", options.traceName, static_cast<int>(::GetLastError()));
            return false;
        }
        if (got == 0)
            break;
        DWORD written = 0;
        if (!::WriteFile(out, buffer.data(), got, &written, nullptr) || written != got) {
            TraceLog(2048, L"[ %s ] WriteFile FAILED : [ %d ]\n", options.traceName, static_cast<int>(::GetLastError()));
            return false;
        }
        received += got;
        if (options.onPiece)
            options.onPiece(got);
    }
    // A body that ends before its announced length is a failed download, not a short file.
    if (received != length) {
        TraceLog(2048, L"[ %s ] %I64u of %u bytes received\n", options.traceName, received, static_cast<unsigned>(length));
        return false;
    }
    return true;
}

}

bool Download(const wchar_t* url, const wchar_t* path, const Options& options)
{
    const wchar_t* name = options.traceName;
    if (url == nullptr || *url == L'\0' || path == nullptr || *path == L'\0') {
        TraceLog(2048, L"[ %s ] URL or file name is empty\n", name);
        return false;
    }
    Handle session(::InternetOpenW(L"CorvaneIXO", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (session.Get() == nullptr) {
        TraceLog(2048, L"[ %s ] InternetOpen FAILED : [ %d ]\n", name, static_cast<int>(::GetLastError()));
        return false;
    }
    LimitWaits(session.Get());
    Handle request;
    if (!OpenUrl(session, url, request, name))
        return false;

    wchar_t status[33] = {};
    DWORD statusSize = sizeof(status) - sizeof(wchar_t);
    if (!::HttpQueryInfoW(request.Get(), HTTP_QUERY_STATUS_CODE, status, &statusSize, nullptr)) {
        TraceLog(2048, L"[ %s ] HttpQueryInfo FAILED : [ %d ]\n", name, static_cast<int>(::GetLastError()));
        return false;
    }
    if (_wtoi(status) != 200) {
        TraceLog(2048, L"[ %s ] HttpQueryInfo return [ %d ]\n", name, _wtoi(status));
        return false;
    }
    if (::GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES && !::DeleteFileW(path)) {
        TraceLog(2048, L"[ %s ] DeleteFile FAILED : [ %s ][ %d ]\n", name, path, static_cast<int>(::GetLastError()));
        return false;
    }
    HANDLE out = ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) {
        TraceLog(2048, L"[ %s ] CreateFile FAILED : [ %s ][ %d ]\n", name, path, static_cast<int>(::GetLastError()));
        return false;
    }
    DWORD length = 0;
    DWORD lengthSize = sizeof(length);
    if (!::HttpQueryInfoW(request.Get(), HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &length, &lengthSize, nullptr)) {
        TraceLog(2048, L"[ %s ] no Content-Length : [ %d ]\n", name, static_cast<int>(::GetLastError()));
        ::CloseHandle(out);
        ::DeleteFileW(path);
        return false;
    }
    if (options.onLength)
        options.onLength(length);
    bool ok = CopyBody(request.Get(), out, length, options);
    // Closing flushes what the system still holds: a file that could not be completed is no download.
    BOOL closed = options.closeFile ? options.closeFile(out) : ::CloseHandle(out);
    if (!closed) {
        TraceLog(2048, L"[ %s ] CloseHandle FAILED : [ %s ][ %d ]\n", name, path, static_cast<int>(::GetLastError()));
        ok = false;
    }
    if (!ok)
        ::DeleteFileW(path);
    return ok;
}

}
