// CInfoBarDlg: the information bar.
#include "InfoBarDlg.h"
#include "Dc.h"

IMPLEMENT_DYNAMIC(CInfoBarDlg, CShellBar)

CInfoBarDlg::CInfoBarDlg() : CShellBar(32, RGB(0xEF, 0xEF, 0xEF), RGB(0xE3, 0xE3, 0xE3)) {}

void CInfoBarDlg::SetAlarmInfo(const _ALARM_INFO& alarm)
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_alarm = alarm;
}

void CInfoBarDlg::SetQuotaList(const std::vector<_QUOTA_INFO>& quota)
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_quota = quota;
}

_ALARM_INFO CInfoBarDlg::GetAlarmInfo()
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_alarm;
}

std::vector<_QUOTA_INFO> CInfoBarDlg::GetQuotaList()
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_quota;
}

void CInfoBarDlg::SetUser(const CString& user)
{
    m_strUser = user;
    if (m_hWnd != nullptr)
        Invalidate();
}

void CInfoBarDlg::PaintBackground(CDC* pDC, const CRect& rect)
{
    CShellBar::PaintBackground(pDC, rect);
    if (m_strUser.IsEmpty())
        return;
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
    HGDIOBJ old = font ? ::SelectObject(pDC->m_hDC, font) : nullptr;
    ::SetBkMode(pDC->m_hDC, TRANSPARENT);
    ::SetTextColor(pDC->m_hDC, RGB(0x33, 0x33, 0x33));
    RECT text = {rect.left + 12, rect.top, rect.right - 12, rect.bottom};
    ::DrawTextW(pDC->m_hDC, m_strUser, m_strUser.GetLength(), &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
    if (old)
        ::SelectObject(pDC->m_hDC, old);
}
