// CToviConn, failures: the result block entry of a client-side failure and the system's text
// for the last error.
#include <winsock2.h>
#include "ToviConn.h"
#include "ToviProto.h"
#include "ProtoLog.h"
#include "ToviMsg.h"
#include "TraceLog.h"
#include <cwchar>

namespace {

constexpr unsigned kMsgNetworkError = 12123;
const wchar_t kRqGroupText[] = L"네트워크가 불안정합니다. 새로고침 해주시기 바랍니다.";

CString SystemText(DWORD error, DWORD source, HMODULE module)
{
    wchar_t* buffer = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | source, module,
                             error, 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
    CString text;
    if (n && buffer) {
        while (n > 0 && (buffer[n - 1] == L' ' || buffer[n - 1] == L'\r' || buffer[n - 1] == L'\n' ||
                         buffer[n - 1] == L'\t'))
            --n;
        text = CString(buffer, static_cast<int>(n));
    }
    if (buffer)
        LocalFree(buffer);
    return text;
}

}

int CToviConn::GetSystemErrorMessage()
{
    const DWORD error = GetLastError();
    CString text = SystemText(error, FORMAT_MESSAGE_FROM_SYSTEM, nullptr);
    if (text.IsEmpty()) {
        if (HMODULE netmsg = LoadLibraryExW(L"netmsg.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE)) {
            text = SystemText(error, FORMAT_MESSAGE_FROM_HMODULE, netmsg);
            FreeLibrary(netmsg);
        }
    }
    m_strSysError.Format(L"%s [%d]", text.GetString(), static_cast<int>(error));
    TraceLog(TRACE_ERROR, L" [ CToviConn::GetSystemErrorMessage ] [ %d ] \n", static_cast<int>(error));
    return static_cast<int>(error);
}

void CToviConn::SetError(int code)
{
    CToviProto* owner = m_pOwner;
    owner->ResultInfo.nReplyCmd = C_ERROR;
    owner->ResultInfo.nResultCode = code;
    const int systemError = GetSystemErrorMessage();
    CString message;
    if (owner->CustomerCode != L"RQGROUP") {
        CString text = CToviMsg::GetString(kMsgNetworkError);
        if (systemError != 0) {
            text += L" ";
            text += m_strSysError;
        }
        message.Format(L"%s[%d][%x]", text.GetString(), code, m_wLastCmd);
    } else {
        message = kRqGroupText;
        CString detail;
        detail.Format(L"%s[%d][%x]", m_strSysError.GetString(), code, m_wLastCmd);
        WriteProtoLog(this, detail);
    }
    std::wcsncpy(owner->ResultInfo.wszMessage, message.GetString(), 255);
    owner->ResultInfo.wszMessage[255] = 0;
}
