// CLoginThread: the login dialog's user-interface thread.
#include "LoginThread.h"
#include "FileUtils.h"
#include "ToviRegistry.h"
#include "ToviString.h"

namespace login {

void UseProductLanguage()
{
    unsigned short language = 0x12;
    if (!CToviRegistry::GetLanguage(0, &language) || language == 0)
        language = 0x12;
    CFileUtils::SetLocaleChange(language);
}

void BringForward(CVantelDialog& dialog)
{
    const CString title = CToviString::GetString(14030);
    for (int i = 0; i < 10; ++i) {
        if (::FindWindowW(L"#32770", title.GetString()))
            break;
        ::Sleep(100);
    }
    if (dialog.GetSafeHwnd())
        dialog.ActivateWindow(dialog.GetSafeHwnd());
}

}

IMPLEMENT_DYNCREATE(CLoginThread, CWinThread)

CLoginThread::CLoginThread() = default;

CLoginThread::~CLoginThread() = default;

int CLoginThread::SetLoginInfo(HWND owner, CToviProto* proto, int product)
{
    m_dlg.m_hOwner = owner;
    m_dlg.m_pProto = proto;
    m_dlg.LoginProduct = product;
    m_dlg.m_nProductType = product;
    m_dlg.m_nUIType = product == 2 ? CVantelDialog::kUITypeLoginGold : CVantelDialog::kUITypeLogin;
    return 0;
}

int CLoginThread::SetUIFocus()
{
    login::BringForward(m_dlg);
    return 0;
}

int CLoginThread::ResetDomainList()
{
    if (m_dlg.GetSafeHwnd())
        m_dlg.ResetDomainList();
    return 0;
}

int CLoginThread::ResetLanguageList()
{
    if (m_dlg.GetSafeHwnd())
        m_dlg.ResetLanguageList();
    return 0;
}

void CLoginThread::SetRemove()
{
    m_dlg.m_bRemoved = true;
    if (HWND wnd = m_dlg.GetSafeHwnd())
        ::PostMessageW(wnd, WM_CLOSE, 0, 0);
}

BOOL CLoginThread::InitInstance()
{
    login::UseProductLanguage();
    m_pMainWnd = &m_dlg;
    m_dlg.DoModal();
    m_pMainWnd = nullptr;
    // The dialog's window is gone: the thread ends.
    return FALSE;
}
