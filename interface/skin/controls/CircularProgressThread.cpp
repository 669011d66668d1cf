// CCircularProgressThread: the spinner's thread, placement and the owner's side of the protocol.
#include "CircularProgressThread.h"
#include "CircularProgressWnd.h"
#include "Wnd.h"
#include <commctrl.h>

IMPLEMENT_DYNCREATE(CCircularProgressThread, CWinThread)

CCircularProgressThread::CCircularProgressThread()
    : m_hReady(::CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
}

CCircularProgressThread::~CCircularProgressThread()
{
    if (m_hReady)
        ::CloseHandle(m_hReady);
}

BOOL CCircularProgressThread::InitInstance()
{
    CCircularProgressWnd* wnd = new CCircularProgressWnd;
    wnd->SetColor(m_clrColor);
    wnd->SetWidth(m_nSize);
    // No WM_PARENTNOTIFY: the owner's thread may be blocked, and nothing here waits for it.
    BOOL created = wnd->CreateEx(WS_EX_NOPARENTNOTIFY, nullptr, L"CPBar", WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0),
                                 m_pOwner, 0);
    if (!created) {
        delete wnd;
        ::SetEvent(m_hReady);
        return FALSE;
    }
    wnd->ShowWindow(SW_HIDE);
    wnd->UpdateWindow();
    m_pWnd = wnd;
    ::SetEvent(m_hReady);
    return TRUE;
}

int CCircularProgressThread::ExitInstance()
{
    if (m_pWnd) {
        CCircularProgressWnd* wnd = m_pWnd;
        m_pWnd = nullptr;
        if (::IsWindow(wnd->m_hWnd))
            wnd->DestroyWindow();   // deletes itself
    }
    return CWinThread::ExitInstance();
}

bool CCircularProgressThread::WaitUntilReady(DWORD timeoutMs) const
{
    // Making a child of one of the caller's windows may ask the caller's thread: answer sent
    // messages meanwhile (posted ones stay queued).
    const DWORD start = ::GetTickCount();
    for (;;) {
        DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= timeoutMs)
            return ::WaitForSingleObject(m_hReady, 0) == WAIT_OBJECT_0;
        DWORD r = ::MsgWaitForMultipleObjects(1, &m_hReady, FALSE, timeoutMs - elapsed, QS_SENDMESSAGE);
        if (r == WAIT_OBJECT_0)
            return true;
        if (r != WAIT_OBJECT_0 + 1)
            return false;
        MSG msg;
        ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

// What the owner shows under the spinner, painted on the owner's own thread while it is
// free, so that the spinner never has to ask the owner while the owner waits on the server.
HBITMAP CCircularProgressThread::SnapshotOwnerBackground(int x, int y, int size) const
{
    HWND owner = m_pOwner->GetSafeHwnd();
    HDC screen = ::GetDC(owner);
    HDC mem = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, size, size);
    ::ReleaseDC(owner, screen);
    if (bitmap == nullptr) {
        ::DeleteDC(mem);
        return nullptr;
    }
    HGDIOBJ old = ::SelectObject(mem, bitmap);
    POINT origin;
    ::SetViewportOrgEx(mem, -x, -y, &origin);
    if (!::SendMessageW(owner, WM_ERASEBKGND, (WPARAM)mem, 0)) {
        // A double-buffered list view erases nothing (it paints its background with its
        // items): its background colour is what shows around them.
        COLORREF colour = ::GetSysColor(COLOR_WINDOW);
        wchar_t name[32] = {};
        if (::GetClassNameW(owner, name, 32) && ::lstrcmpiW(name, WC_LISTVIEWW) == 0) {
            const COLORREF list = (COLORREF)::SendMessageW(owner, LVM_GETBKCOLOR, 0, 0);
            if (list != CLR_NONE)
                colour = list;
        }
        HBRUSH brush = ::CreateSolidBrush(colour);
        RECT area = {x, y, x + size, y + size};
        ::FillRect(mem, &area, brush);
        ::DeleteObject(brush);
    }
    ::SetViewportOrgEx(mem, origin.x, origin.y, nullptr);
    ::SelectObject(mem, old);
    ::DeleteDC(mem);
    return bitmap;
}

void CCircularProgressThread::SetShow(bool show)
{
    if (!WaitUntilReady(5000) || m_pWnd == nullptr || m_pOwner == nullptr)
        return;
    HWND spinner = m_pWnd->m_hWnd;
    HWND owner = m_pOwner->GetSafeHwnd();
    if (!::IsWindow(spinner) || !::IsWindow(owner))
        return;
    if (!show) {
        ::ShowWindow(spinner, SW_HIDE);
        ::UpdateWindow(owner);
        return;
    }
    if (::IsWindowVisible(spinner))
        return;
    RECT rc;
    ::GetWindowRect(owner, &rc);
    ::MapWindowPoints(nullptr, owner, (LPPOINT)&rc, 2);
    const int x = (rc.right - m_nSize - rc.left) / 2;
    const int y = (rc.bottom - m_nSize - rc.top) / 2;
    if (x != m_nLastX || y != m_nLastY || m_nSize != m_nLastSize) {
        ::SetWindowPos(spinner, nullptr, x, y, m_nSize, m_nSize, SWP_NOZORDER | SWP_NOACTIVATE);
        m_nLastX = x;
        m_nLastY = y;
        m_nLastSize = m_nSize;
    }
    ::UpdateWindow(owner);
    m_pWnd->SetBackground(SnapshotOwnerBackground(x, y, m_nSize));
    ::ShowWindow(spinner, SW_SHOWNA);
    ::InvalidateRect(spinner, nullptr, TRUE);
    ::UpdateWindow(spinner);
}

CCircularProgressThread* CCircularProgressThread::Start(CWnd* owner, int size, COLORREF color)
{
    auto* thread = static_cast<CCircularProgressThread*>(
        AfxBeginThread(RUNTIME_CLASS(CCircularProgressThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED));
    if (thread == nullptr)
        return nullptr;
    thread->m_pOwner = owner;
    thread->m_bAutoDelete = FALSE;
    thread->SetSize(size);
    thread->SetColor(color);
    thread->ResumeThread();
    return thread;
}

void CCircularProgressThread::Stop(CCircularProgressThread* thread)
{
    if (thread == nullptr)
        return;
    // A thread that has not made its window yet may have no message queue, and a quit posted
    // to it then is lost: wait until it is ready, and post again until the post is taken.
    if (::WaitForSingleObject(thread->m_hThread, 0) == WAIT_TIMEOUT)
        thread->WaitUntilReady(5000);
    // The spinner's window goes on its own thread; meanwhile this thread keeps dispatching,
    // since that window is a child of one of ours.
    bool posted = false;
    while (::WaitForSingleObject(thread->m_hThread, posted ? 10 : 0) == WAIT_TIMEOUT) {
        if (!posted) {
            posted = thread->PostThreadMessage(WM_QUIT, 0, 0) != FALSE;
            if (!posted)
                ::Sleep(10);
        }
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                ::PostQuitMessage((int)msg.wParam);
                break;
            }
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    delete thread;
}
