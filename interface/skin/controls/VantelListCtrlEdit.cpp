// CVantelListCtrl: the in-place date editor of the expiry column and in-place address editing.
#include "VantelListCtrl.h"
#include "Edit.h"
#include "EmailAddress.h"
#include "ProtoShareRecords.h"
#include <cstdio>
#include <cwchar>

std::wstring CVantelListCtrl::FormatDate(const SYSTEMTIME& date)
{
    wchar_t text[32] = {};
    std::swprintf(text, 32, L"%04d-%02d-%02d", (int)date.wYear, (int)date.wMonth, (int)date.wDay);
    return text;
}

bool CVantelListCtrl::ParseDate(const wchar_t* text, SYSTEMTIME* date)
{
    if (text == nullptr)
        return false;
    int digits[8] = {};
    static const int kPositions[8] = { 0, 1, 2, 3, 5, 6, 8, 9 };
    for (int i = 0; i < 10; ++i)
        if (text[i] == 0)
            return false;
    if (text[4] != L'-' || text[7] != L'-')
        return false;
    for (int i = 0; i < 8; ++i) {
        const wchar_t c = text[kPositions[i]];
        if (c < L'0' || c > L'9')
            return false;
        digits[i] = c - L'0';
    }
    SYSTEMTIME st = {};
    st.wYear = (WORD)(digits[0] * 1000 + digits[1] * 100 + digits[2] * 10 + digits[3]);
    st.wMonth = (WORD)(digits[4] * 10 + digits[5]);
    st.wDay = (WORD)(digits[6] * 10 + digits[7]);
    static const int kDays[12] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    const bool leap = (st.wYear % 4 == 0 && st.wYear % 100 != 0) || st.wYear % 400 == 0;
    if (st.wYear < 1601 || st.wMonth < 1 || st.wMonth > 12 || st.wDay < 1 ||
        st.wDay > kDays[st.wMonth - 1] + (st.wMonth == 2 && leap ? 1 : 0))
        return false;
    *date = st;
    return true;
}

// ---- Date editor

bool CVantelListCtrl::EnsureDateEditor()
{
    if (m_pDateEditor && m_pDateEditor->IsWindow())
        return true;
    delete m_pDateEditor;
    m_pDateEditor = new CDateTimeCtrl;
    // Created hidden: it shows only once it sits on a cell.
    if (!m_pDateEditor->Create(WS_CHILD | WS_TABSTOP | DTS_SHORTDATEFORMAT, CRect(0, 0, 0, 0), this, kDateEditorId)) {
        delete m_pDateEditor;
        m_pDateEditor = nullptr;
        return false;
    }
    m_pDateEditor->SetFormat(L"yyyy-MM-dd");
    m_pDateEditor->SendMessage(WM_SETFONT, SendMessage(WM_GETFONT), FALSE);
    return true;
}

void CVantelListCtrl::CommitVisibleEditor()
{
    if (m_pDateEditor == nullptr || !m_pDateEditor->IsWindow() || !m_pDateEditor->IsWindowVisible())
        return;
    SYSTEMTIME date = {};
    if (m_nEditRow >= 0 && m_nEditRow < GetItemCount() && m_pDateEditor->GetTime(&date) == GDT_VALID) {
        SetItemText(m_nEditRow, 2, FormatDate(date).c_str());
        RedrawItems(m_nEditRow, m_nEditRow);
    }
    m_pDateEditor->ShowWindow(SW_HIDE);
}

void CVantelListCtrl::OpenDateEditor(int row, const SYSTEMTIME& date)
{
    if (!EnsureDateEditor())
        return;
    CRect label;
    if (!GetSubItemRect(row, 2, LVIR_LABEL, label))
        return;
    m_pDateEditor->SetTime(&date);
    m_pDateEditor->MoveWindow(&label);
    m_pDateEditor->ShowWindow(SW_SHOW);
    m_nEditRow = row;
    m_nEditColumn = 2;
}

void CVantelListCtrl::HideDateEditor()
{
    if (m_pDateEditor && m_pDateEditor->IsWindow())
        m_pDateEditor->ShowWindow(SW_HIDE);
}

void CVantelListCtrl::ShowDateEditor(int row)
{
    if (row < 0 || row >= GetItemCount())
        return;
    CommitVisibleEditor();
    m_nEditRow = -1;
    m_nEditColumn = -1;
    const CString text = GetItemText(row, 2);
    if (text.IsEmpty())
        return;
    SYSTEMTIME date = {};
    if (!ParseDate(text.GetString(), &date))
        ::GetLocalTime(&date);
    OpenDateEditor(row, date);
}

void CVantelListCtrl::EndDateEdit()
{
    CommitVisibleEditor();
    HideDateEditor();
    m_nEditRow = -1;
    m_nEditColumn = -1;
}

BOOL CVantelListCtrl::OnClick(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    if (m_nListType != kTypeGuestsWithDates || !m_bEditable)
        return FALSE;
    auto* nm = (NMITEMACTIVATE*)pNMHDR;
    const int row = nm->iItem;
    const int column = nm->iSubItem;
    if (m_pDateEditor && m_pDateEditor->IsWindow() && m_pDateEditor->IsWindowVisible() &&
        !(row == m_nEditRow && column == 2)) {
        CommitVisibleEditor();
        m_nEditRow = -1;
        m_nEditColumn = -1;
    }
    if (row >= 0 && row < GetItemCount() && column == 2) {
        SYSTEMTIME date = {};
        if (!ParseDate(GetItemText(row, 2).GetString(), &date))
            ::GetLocalTime(&date);
        OpenDateEditor(row, date);
    }
    return FALSE;
}

// ---- Addresses

int CVantelListCtrl::FindAddress(const CString& text, int except) const
{
    const int count = GetItemCount();
    for (int i = 0; i < count; ++i) {
        // Addresses differ in case only when typed differently, never for the mail system.
        if (i != except && GetItemText(i, 0).CompareNoCase(text) == 0)
            return i;
    }
    return -1;
}

BOOL CVantelListCtrl::OnBeginLabelEdit(NMHDR*, LRESULT* pResult)
{
    *pResult = 0;
    if (IsGuestList())
        m_bLabelEditing = true;
    return FALSE;
}

BOOL CVantelListCtrl::OnEndLabelEdit(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = FALSE;   // the list never stores the typed text itself
    if (!IsGuestList())
        return FALSE;
    auto* nm = (NMLVDISPINFOW*)pNMHDR;
    ModifyStyle(LVS_EDITLABELS, 0);
    m_bLabelEditing = false;
    const int row = nm->item.iItem;
    if (row < 0 || row >= GetItemCount())
        return TRUE;
    auto* record = reinterpret_cast<_PROTO_GUEST_USER_INFO*>(GetItemData(row));
    HWND parent = ::GetParent(m_hWnd);
    if (nm->item.pszText != nullptr) {
        m_strEditText = nm->item.pszText;
        if (FindAddress(m_strEditText, row) >= 0) {
            ::PostMessageW(parent, WM_GUEST_ADDRESS_REFUSED, 12107, row);
            return TRUE;
        }
        if (!VerifyEmailAddress(m_strEditText.GetString())) {
            ::PostMessageW(parent, WM_GUEST_ADDRESS_REFUSED, 12106, row);
            return TRUE;
        }
        if (SetItemText(row, 0, m_strEditText.GetString())) {
            if (record)
                record->cNewRow = 0;
            ::PostMessageW(parent, WM_GUEST_ADDRESS_CHANGED, 0, row);
        }
        return TRUE;
    }
    // Cancelled: a row that was being added and never got an address goes away again.
    if (record && record->cNewRow) {
        DeleteItem(row);
        if (m_nListType == kTypeGuestsWithDates && m_bEditable) {
            if (m_nEditRow == row) {
                m_nEditRow = -1;
                m_nEditColumn = -1;
                HideDateEditor();
            } else if (m_nEditRow > row) {
                --m_nEditRow;
            }
            if (GetItemCount() > 0)
                ShowDateEditor(GetItemCount() - 1);
        }
    }
    return TRUE;
}

LRESULT CVantelListCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_bLabelEditing && (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN) &&
        ListView_GetEditControl(m_hWnd) != nullptr) {
        ModifyStyle(LVS_EDITLABELS, 0);
        return 0;
    }
    return CListCtrl::WindowProc(message, wParam, lParam);
}
