// The HTTP download behind both update programs' HTTPDown.
#include "ToviUpdateFetch.h"
#include "TraceLog.h"
#include <wininet.h>
#include <process.h>
#include <atomic>
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
    HINTERNET Release()
    {
        HINTERNET h = m_h;
        m_h = nullptr;
        return h;
    }
    HINTERNET m_h;
};

// Shared with the opener thread, which a server that never answers may keep past our return.
struct Opening {
    HINTERNET session;
    std::wstring url;
    HINTERNET result = nullptr;
    DWORD error = 0;
    // Set by whichever comes first, the opener's end or the caller giving up; the opener closes
    // a result that nobody waits for any more.
    std::atomic<bool> settled{ false };
};

UINT __stdcall OpenThread(void* param)
{
    std::unique_ptr<std::shared_ptr<Opening>> holder(static_cast<std::shared_ptr<Opening>*>(param));
    Opening& open = **holder;
    HINTERNET result = ::InternetOpenUrlW(open.session, open.url.c_str(), nullptr, 0,
                                          INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0);
    open.error = result == nullptr ? ::GetLastError() : 0;
    open.result = result;
    if (open.settled.exchange(true) && result != nullptr)
        ::InternetCloseHandle(result);
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

// Opens url on its own thread so that a server that never answers costs kOpenTimeoutMs at most,
// and a cancel ends the wait at once.
bool OpenUrl(Handle& session, const wchar_t* url, Handle& request, const wchar_t* name, HANDLE cancelEvent)
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
    HANDLE waits[2] = { opener, cancelEvent };
    DWORD waited = ::WaitForMultipleObjects(cancelEvent != nullptr ? 2 : 1, waits, FALSE, kOpenTimeoutMs);
    if (waited != WAIT_OBJECT_0) {
        // Closing the session makes the pending open give up where the system honours it;
        // where it does not, the opener is left to its own time-outs and cleans up after itself.
        if (open->settled.exchange(true) && open->result != nullptr)
            ::InternetCloseHandle(open->result);
        session.Close();
        ::CloseHandle(opener);
        TraceLog(2048, L"[ %s ] %s\n", name, waited == WAIT_TIMEOUT ? L"INTERNET_OPEN_TIMEOUT" : L"cancelled while opening");
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

// One read of the body: what the server has, up to what is available; got 0 where it ended.
bool ReadPiece(HINTERNET request, std::vector<BYTE>& buffer, DWORD& got, DWORD& error)
{
    got = 0;
    DWORD available = 0;
    if (!::InternetQueryDataAvailable(request, &available, 0, 0) || available == 0)
        return true;
    buffer.resize(available);
    if (!::InternetReadFile(request, buffer.data(), available, &got)) {
        error = ::GetLastError();
        return false;
    }
    return true;
}

// Shared with the reading thread, which a cancelled download leaves inside a read that a
// stalled server holds (Wine keeps it there until the server lets go, whatever the receive
// time-out); the last of the two to let go closes the handles.
struct Reading {
    Handle session, request;
    HANDLE ask = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HANDLE answered = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    std::atomic<bool> stop{ false };
    std::vector<BYTE> buffer;
    DWORD got = 0;
    DWORD error = 0;
    bool ok = false;
    ~Reading()
    {
        if (ask != nullptr)
            ::CloseHandle(ask);
        if (answered != nullptr)
            ::CloseHandle(answered);
    }
};

UINT __stdcall ReadThread(void* param)
{
    std::unique_ptr<std::shared_ptr<Reading>> holder(static_cast<std::shared_ptr<Reading>*>(param));
    Reading& reading = **holder;
    while (::WaitForSingleObject(reading.ask, INFINITE) == WAIT_OBJECT_0 && !reading.stop) {
        reading.ok = ReadPiece(reading.request.Get(), reading.buffer, reading.got, reading.error);
        ::SetEvent(reading.answered);
    }
    return 0;
}

// The pieces of a body. With a cancel event the reads run on a thread of their own, so that
// the cancel ends the download at once even while a server that stopped mid-body holds a read.
class BodyReader {
public:
    enum Result { kPiece, kEnd, kFailed, kCancelled };

    // Takes the handles over when it reads on its own thread.
    BodyReader(Handle& session, Handle& request, HANDLE cancelEvent) : m_request(request.Get()), m_cancel(cancelEvent)
    {
        if (cancelEvent == nullptr)
            return;
        auto reading = std::make_shared<Reading>();
        if (reading->ask == nullptr || reading->answered == nullptr)
            return;
        auto* param = new std::shared_ptr<Reading>(reading);
        HANDLE thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, ReadThread, param, 0, nullptr));
        if (thread == nullptr) {
            delete param;
            return;   // read on this thread, a cancel honoured between pieces
        }
        ::CloseHandle(thread);
        reading->session.m_h = session.Release();
        reading->request.m_h = request.Release();
        m_reading = reading;
    }

    ~BodyReader()
    {
        if (m_reading != nullptr) {
            m_reading->stop = true;
            ::SetEvent(m_reading->ask);
        }
    }

    BodyReader(const BodyReader&) = delete;
    BodyReader& operator=(const BodyReader&) = delete;

    // data stays valid until the next call.
    Result Next(const BYTE*& data, DWORD& size, DWORD& error)
    {
        if (m_cancel != nullptr && ::WaitForSingleObject(m_cancel, 0) == WAIT_OBJECT_0)
            return kCancelled;
        bool ok = false;
        if (m_reading == nullptr) {
            ok = ReadPiece(m_request, m_buffer, size, error);
            data = m_buffer.data();
        } else {
            ::SetEvent(m_reading->ask);
            HANDLE waits[2] = { m_reading->answered, m_cancel };
            if (::WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0)
                return kCancelled;
            ok = m_reading->ok;
            size = m_reading->got;
            error = m_reading->error;
            data = m_reading->buffer.data();
        }
        return !ok ? kFailed : size == 0 ? kEnd : kPiece;
    }

private:
    HINTERNET m_request;
    HANDLE m_cancel;
    std::shared_ptr<Reading> m_reading;
    std::vector<BYTE> m_buffer;
};

// Copies the body into out: true when all `length` bytes arrived and were written.
bool CopyBody(BodyReader& reader, HANDLE out, DWORD length, const Options& options)
{
    unsigned long long received = 0;
    while (received < length) {
        const BYTE* data = nullptr;
        DWORD got = 0, error = 0;
        BodyReader::Result read = reader.Next(data, got, error);
        if (read == BodyReader::kCancelled) {
            TraceLog(1, L"[ %s ] cancelled\n", options.traceName);
            return false;
        }
        if (read == BodyReader::kFailed) {
            TraceLog(2048, L"[ %s ] InternetReadFile FAILED : [ %d ]\n", options.traceName, static_cast<int>(error));
            return false;
        }
        if (read == BodyReader::kEnd)
            break;
        DWORD written = 0;
        if (!::WriteFile(out, data, got, &written, nullptr) || written != got) {
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
    if (!OpenUrl(session, url, request, name, options.cancelEvent))
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
    BodyReader reader(session, request, options.cancelEvent);
    bool ok = CopyBody(reader, out, length, options);
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
