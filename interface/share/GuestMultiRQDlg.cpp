// CGuestMultiRQDlg: guests with a date each.
#include "GuestMultiRQDlg.h"
#include "ShareCommon.h"
#include "ShareRes.h"
#include "ToviString.h"

IMPLEMENT_DYNAMIC(CGuestMultiRQDlg, CGuestMultiDlg)

CGuestMultiRQDlg::CGuestMultiRQDlg(CWnd* pParent) : CGuestMultiDlg(IDD_GUEST_MULTI_RQ, false, pParent) {}

CString CGuestMultiRQDlg::DefaultDate(const char* serverDefault)
{
    SYSTEMTIME day = {};
    if (!share::ParseDate(serverDefault, &day))
        ::GetLocalTime(&day);
    char text[11];
    share::FormatDate(day, text);
    return CString(text);
}

void CGuestMultiRQDlg::InitList(const _PROTO_GUEST_FOLDER_INFO& folder)
{
    m_strDefaultDate = DefaultDate(folder.szDate);
    m_list.m_nListType = CVantelListCtrl::kTypeGuestsWithDates;
    m_list.m_bEditable = folder.cFlag70[0] == 'Y';
    m_list.SubclassDlgItem(IDC_GMULTI_LIST, this);
    m_list.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    m_list.InsertColumn(0, CToviString::GetString(14111), LVCFMT_LEFT, 160);
    m_list.InsertColumn(1, CToviString::GetString(14177), LVCFMT_CENTER, 84);
    m_list.InsertColumn(2, CToviString::GetString(14121), LVCFMT_LEFT, 90);
    m_list.InsertColumn(3, CToviString::GetString(14086), LVCFMT_CENTER, 48);
}

void CGuestMultiRQDlg::ShowGuest(int row, const _PROTO_GUEST_USER_INFO& guest)
{
    if (_PROTO_GUEST_USER_INFO* record = Record(row))
        memcpy(record->szDate, guest.szDate, sizeof record->szDate);
    m_list.SetItemText(row, 2, CString(guest.szDate));
}

void CGuestMultiRQDlg::NewRowInserted(int row)
{
    m_list.SetItemText(row, 2, m_strDefaultDate);
}

void CGuestMultiRQDlg::CompleteGuest(int row, _PROTO_GUEST_USER_INFO& guest)
{
    share::CopyText(guest.szDate, CStringA(m_list.GetItemText(row, 2)).GetString());
}
