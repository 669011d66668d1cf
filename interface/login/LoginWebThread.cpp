// CLoginWebThread: the web log-in window's user-interface thread.
#include "LoginWebThread.h"
#include "LoginThread.h"
#include "FileUtils.h"
#include "ToviRegistry.h"
#include "ToviString.h"
#include <ole2.h>

IMPLEMENT_DYNCREATE(CLoginWebThread, CWinThread)

CLoginWebThread::CLoginWebThread() = default;
CLoginWebThread::~CLoginWebThread() = default;

int CLoginWebThread::SetLoginInfo(HWND owner, CToviProto* proto, int product, bool ssoPage)
{
    m_dlg.m_hOwner = owner;
    m_dlg.m_pProto = proto;
    m_dlg.LoginProduct = product;
    m_dlg.m_bSsoPage = ssoPage;
    return 0;
}

int CLoginWebThread::SetUIFocus()
{
    login::BringForward(m_dlg);
    return 0;
}

int CLoginWebThread::ResetDomain()
{
    // A plain call, as the plain log-in's list refills: the frame's settings dialog ran while
    // the log-in window waited for the page.
    if (m_dlg.GetSafeHwnd())
        m_dlg.ResetDomain();
    return 0;
}

void CLoginWebThread::SetRemove()
{
    m_dlg.m_bRemoved = true;
    if (HWND wnd = m_dlg.GetSafeHwnd())
        ::PostMessageW(wnd, WM_CLOSE, 0, 0);
}

BOOL CLoginWebThread::InitInstance()
{
    login::UseProductLanguage();
    // The page's browser control lives on this thread.
    const HRESULT ole = ::OleInitialize(nullptr);
    m_pMainWnd = &m_dlg;
    m_dlg.DoModal();
    m_pMainWnd = nullptr;
    if (SUCCEEDED(ole))
        ::OleUninitialize();
    return FALSE;
}
