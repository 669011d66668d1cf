// CFileUtils: the folder-name check.
#include "FileUtils.h"
#include "ToviMsg.h"
#include "Wnd.h"
#include <cwchar>

namespace {

const int kMaxFolderName = 256;
const unsigned kMsgNameEmpty = 12040;
const unsigned kMsgNameTooLong = 12076;
const unsigned kMsgNameInvalid = 12077;

// Names the system reserves for devices, also when an extension follows ("CON.txt").
bool IsDeviceName(const CString& name)
{
    CString base = name;
    int dot = base.Find(L'.');
    if (dot >= 0)
        base = base.Left(dot);
    base.TrimRight(L' ');
    static const wchar_t* const kFixed[] = { L"CON", L"PRN", L"AUX", L"NUL" };
    for (const wchar_t* device : kFixed) {
        if (base.CompareNoCase(device) == 0)
            return true;
    }
    if (base.GetLength() == 4) {
        CString prefix = base.Left(3);
        wchar_t digit = base.GetAt(3);
        if ((prefix.CompareNoCase(L"COM") == 0 || prefix.CompareNoCase(L"LPT") == 0) && digit >= L'1' && digit <= L'9')
            return true;
    }
    return false;
}

}

unsigned CFileUtils::FolderNameFault(CString& name)
{
    name.TrimLeft(L' ');
    // Windows drops trailing blanks and dots from a name: "report. ." is "report".
    name.TrimRight(L" .");
    if (name.IsEmpty())
        return kMsgNameEmpty;
    if (name.GetLength() > kMaxFolderName)
        return kMsgNameTooLong;
    if (name.GetAt(0) == L'.')
        return kMsgNameInvalid;
    for (int i = 0; i < name.GetLength(); ++i) {
        wchar_t c = name.GetAt(i);
        if (c < 0x20 || c == 0x7F || std::wcschr(L"\\/:*?\"<>|", c) != nullptr)
            return kMsgNameInvalid;
    }
    if (IsDeviceName(name))
        return kMsgNameInvalid;
    return 0;
}

int CFileUtils::CheckFolderName(CWnd* owner, CString& name)
{
    unsigned fault = FolderNameFault(name);
    if (fault == 0)
        return 0;
    if (owner == nullptr) {
        // Only a window of this program may own the box (and be disabled while it shows).
        HWND foreground = ::GetForegroundWindow();
        DWORD process = 0;
        if (foreground)
            ::GetWindowThreadProcessId(foreground, &process);
        if (foreground && process == ::GetCurrentProcessId())
            owner = CWnd::FromHandle(foreground);
    }
    ToviMessageBox(owner, CToviMsg::GetString(fault), L"CorvaneIXO", MB_ICONEXCLAMATION);
    return -1;
}
