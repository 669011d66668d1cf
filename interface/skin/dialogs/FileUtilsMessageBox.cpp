// CFileUtils: the message box entry. It sits beside the skinned box it shows, so that the
// services below the skin include nothing of it.
#include "FileUtils.h"
#include "MessageBoxDlg.h"
#include "ToviRegistry.h"
#include "Wnd.h"
#include <cwchar>

namespace {

// The drive edition's main window class: its message boxes take the drive look and title.
bool IsDriveEdition()
{
    CWnd* main = AfxGetMainWnd();
    HWND hwnd = main ? main->GetSafeHwnd() : nullptr;
    if (hwnd == nullptr)
        return false;
    wchar_t name[64] = {};
    ::GetClassNameW(hwnd, name, 64);
    return std::wcscmp(name, L"CorvaneDriveIXO") == 0;
}

}

int CFileUtils::ToviMessageBox(CWnd* owner, const wchar_t* text, const wchar_t* caption, unsigned type)
{
    const bool drive = IsDriveEdition();
    CMessageBoxDlg dlg(owner);
    dlg.m_pszText = text ? text : L"";
    CString configured;
    if (CToviRegistry::GetMessageBoxTitle(drive ? 1 : 0, configured) && !configured.IsEmpty())
        dlg.m_pszCaption = configured;
    else
        dlg.m_pszCaption = caption ? caption : L"";
    dlg.m_nType = type;
    if (drive)
        dlg.m_nUIType = CVantelDialog::kUITypeBlueAccent;
    // A menu or a drag in progress on the owner ends before the box takes the input.
    if (owner && owner->GetSafeHwnd())
        owner->PostMessage(WM_CANCELMODE);
    return static_cast<int>(dlg.DoModal());
}
