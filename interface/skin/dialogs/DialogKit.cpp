// The dialog kit of the library's windows.
#include "DialogKit.h"
#include "FileUtils.h"
#include "ToviButton.h"
#include "ToviRegistry.h"
#include "ToviString.h"
#include "ToviTextLanguage.h"
#include "VantelDialog.h"
#include "WinThread.h"
#include "Wnd.h"
#include <shellapi.h>

namespace dialogkit {

void ApplyThreadLanguage()
{
    unsigned short language = 18;
    CToviRegistry::GetLanguage(0, &language);
    CFileUtils::SetLocaleChange(language);
    // The system may take the locale without letting the thread read it back.
    CToviTextLanguage::SetThreadLanguage(language);
}

int MessageBox(HWND owner, const CString& text, UINT type)
{
    // The box is modal to its owner: it must run on the owner's thread.
    CWnd* wnd = owner ? CWnd::FromHandle(owner) : nullptr;
    return CFileUtils::ToviMessageBox(wnd, text.GetString(), L"CorvaneIXO", type);
}

void SkinButton(CToviButton& button, CWnd* dialog, UINT id, int style, const CString& text, UINT iconId)
{
    if (!button.SubclassDlgItem(id, dialog))
        return;
    if (!text.IsEmpty())
        button.SetWindowText(text.GetString());
    if (iconId)
        button.SetIcon(iconId);
    button.SetBtnStyle(style);
}

void RunWindowModal(CWinThread& thread, CVantelDialog& window)
{
    ApplyThreadLanguage();
    thread.m_pMainWnd = &window;
    window.DoModal();
    thread.m_pMainWnd = nullptr;
}

void WaitUntilShown(CWnd& window)
{
    for (int i = 0; i < 500 && !(window.GetSafeHwnd() && ::IsWindowVisible(window.GetSafeHwnd())); ++i)
        ::Sleep(10);
}

void BringToFront(CVantelDialog& window, unsigned titleId)
{
    const CString title = CToviString::GetString(titleId);
    for (int i = 0; i < 10; ++i) {
        if (::FindWindowW(L"#32770", title.GetString()))
            break;
        ::Sleep(100);
    }
    if (window.GetSafeHwnd())
        window.ActivateWindow(window.GetSafeHwnd());
}

void PlaceCloseButton(CWnd* dialog, CWnd* closeButton)
{
    if (!closeButton || !closeButton->GetSafeHwnd())
        return;
    RECT client, button;
    dialog->GetClientRect(&client);
    ::GetWindowRect(closeButton->GetSafeHwnd(), &button);
    const int width = button.right - button.left;
    const int height = button.bottom - button.top;
    closeButton->MoveWindow(client.right + 2 * width - 72, 2, width, height);
}

HFONT CreateBoldDialogFont(CWnd* dialog)
{
    LOGFONTW lf = {};
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(dialog->GetSafeHwnd(), WM_GETFONT, 0, 0));
    ::GetObjectW(font ? font : ::GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    lf.lfWeight = 600;
    return ::CreateFontIndirectW(&lf);
}

HIMAGELIST SystemSmallImages()
{
    SHFILEINFOW info = {};
    return reinterpret_cast<HIMAGELIST>(
        ::SHGetFileInfoW(L"C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
}

void RunOnWindowThread(HWND wnd, UINT invokeMessage, const std::function<void()>& work)
{
    if (!wnd || !::IsWindow(wnd))
        return;
    if (::GetWindowThreadProcessId(wnd, nullptr) == ::GetCurrentThreadId()) {
        work();
        return;
    }
    std::function<void()> copy = work;
    ::SendMessageW(wnd, invokeMessage, 0, reinterpret_cast<LPARAM>(&copy));
}

LRESULT RunInvoked(LPARAM lParam)
{
    if (lParam)
        (*reinterpret_cast<std::function<void()>*>(lParam))();
    return 0;
}

}
