// CToviSplitter: the main window's splitter.
#include "ToviSplitter.h"
#include "WinThread.h"

IMPLEMENT_DYNAMIC(CToviSplitter, CSplitterWnd)

CToviSplitter::CToviSplitter() {}

namespace {

bool Running(CWinThread* thread)
{
    DWORD code = 0;
    return thread != nullptr && thread->m_hThread != nullptr && ::GetExitCodeThread(thread->m_hThread, &code) &&
           code == STILL_ACTIVE;
}

void StopAndWait(CWinThread*& thread)
{
    if (thread == nullptr)
        return;
    ::PostThreadMessageW(thread->m_nThreadID, WM_QUIT, 0, 0);
    while (Running(thread)) {
        if (::WaitForSingleObject(thread->m_hThread, 10) == WAIT_TIMEOUT) {
            MSG msg;
            if (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        }
    }
    delete thread;
    thread = nullptr;
}

}

void CToviSplitter::StopTransfers()
{
    StopAndWait(m_pUploadThread);
    StopAndWait(m_pDownloadThread);
}

bool CToviSplitter::TransferRunning() const
{
    return Running(m_pUploadThread) || Running(m_pDownloadThread);
}

void CToviSplitter::KeepRowProportion()
{
    if (m_hWnd == nullptr || GetRowCount() < 2 || GetColumnCount() < 2)
        return;
    CRect client;
    GetClientRect(&client);
    int row = 0, col = 0, minimum = 0;
    GetRowInfo(0, row, minimum);
    GetColumnInfo(0, col, minimum);
    m_rowShare = client.Height() > 0 ? static_cast<double>(row) / client.Height() : 0.0;
    m_colShare = client.Width() > 0 ? static_cast<double>(col) / client.Width() : 0.0;
}

void CToviSplitter::ApplyRowProportion()
{
    if (m_hWnd == nullptr || m_rowShare <= 0.0 || m_colShare <= 0.0)
        return;
    CRect client;
    GetClientRect(&client);
    SetRowInfo(0, static_cast<int>(client.Height() * m_rowShare), 10);
    SetColumnInfo(0, static_cast<int>(client.Width() * m_colShare), 10);
    RecalcLayout();
}
