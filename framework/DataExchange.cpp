// Dialog data exchange: CDataExchange and the DDX_/DDV_ functions.
#include "DataExchange.h"
#include "Trace.h"
#include "WinApp.h"
#include <cerrno>
#include <climits>
#include <cwchar>
#include <cwctype>
#include <string>

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd)
{
}

HWND CDataExchange::PrepareCtrl(int nIDC)
{
    HWND hWnd = ::GetDlgItem(m_pDlgWnd->GetSafeHwnd(), nIDC);
    if (hWnd == nullptr) {
        char what[48];
        wsprintfA(what, "no control %d in the dialog", nIDC);
        FwTrace("data exchange", what);
        throw Failure();
    }
    m_hWndLastControl = hWnd;
    m_bEditLastControl = false;
    return hWnd;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC)
{
    HWND hWnd = PrepareCtrl(nIDC);
    m_bEditLastControl = true;
    return hWnd;
}

void CDataExchange::Fail()
{
    if (m_bSaveAndValidate && m_hWndLastControl != nullptr) {
        HWND dialog = m_pDlgWnd->GetSafeHwnd();
        ::SendMessage(dialog, WM_NEXTDLGCTL, (WPARAM)m_hWndLastControl, TRUE);
        if (m_bEditLastControl)
            ::SendMessage(m_hWndLastControl, EM_SETSEL, 0, -1);
    }
    throw Failure();
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (rControl.m_hWnd != nullptr)
        return;
    HWND hWnd = pDX->PrepareCtrl(nIDC);
    if (!rControl.SubclassWindow(hWnd)) {
        FwTrace("DDX_Control", "the control is already attached to another object");
        pDX->Fail();
    }
}

namespace {

CString ControlText(HWND hWnd)
{
    CString text;
    int length = ::GetWindowTextLength(hWnd);
    if (length > 0) {
        wchar_t* buffer = text.GetBuffer(length + 1);
        int got = ::GetWindowText(hWnd, buffer, length + 1);
        text.ReleaseBuffer(got);
    }
    return text;
}

// Parses a whole number with optional surrounding blanks; false on anything else or overflow.
bool ParseWhole(const CString& text, bool isSigned, long long minValue, long long maxValue, long long* out)
{
    const wchar_t* p = text.GetString();
    while (std::iswspace(*p))
        ++p;
    if (*p == 0)
        return false;
    if (!isSigned && *p == L'-')
        return false;
    wchar_t* end = nullptr;
    errno = 0;
    long long value = std::wcstoll(p, &end, 10);
    if (end == p || errno == ERANGE)
        return false;
    while (std::iswspace(*end))
        ++end;
    if (*end != 0 || value < minValue || value > maxValue)
        return false;
    *out = value;
    return true;
}

void ExchangeWhole(CDataExchange* pDX, int nIDC, long long& value, bool isSigned, long long minValue,
                   long long maxValue)
{
    HWND hWnd = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        long long parsed = 0;
        if (!ParseWhole(ControlText(hWnd), isSigned, minValue, maxValue, &parsed)) {
            AfxMessageBox(L"Please enter a whole number.", MB_OK | MB_ICONEXCLAMATION);
            pDX->Fail();
        }
        value = parsed;
    } else {
        ::SetWindowText(hWnd, std::to_wstring(value).c_str());
    }
}

}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hWnd = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = ControlText(hWnd);
    else
        ::SetWindowText(hWnd, value);
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value)
{
    long long v = value;
    ExchangeWhole(pDX, nIDC, v, true, INT_MIN, INT_MAX);
    value = (int)v;
}

void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value)
{
    long long v = value;
    ExchangeWhole(pDX, nIDC, v, false, 0, UINT_MAX);
    value = (UINT)v;
}

void DDX_Text(CDataExchange* pDX, int nIDC, long& value)
{
    long long v = value;
    ExchangeWhole(pDX, nIDC, v, true, LONG_MIN, LONG_MAX);
    value = (long)v;
}

void DDX_Text(CDataExchange* pDX, int nIDC, DWORD& value)
{
    long long v = value;
    ExchangeWhole(pDX, nIDC, v, false, 0, ULONG_MAX);
    value = (DWORD)v;
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hWnd = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        value = (int)::SendMessage(hWnd, BM_GETCHECK, 0, 0);
    } else {
        if (value < BST_UNCHECKED || value > BST_INDETERMINATE)
            value = BST_UNCHECKED;
        ::SendMessage(hWnd, BM_SETCHECK, (WPARAM)value, 0);
    }
}

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hWnd = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = -1;
    // The group runs from the first button to the next control that starts a group.
    int index = 0;
    for (HWND h = hWnd; h != nullptr; h = ::GetWindow(h, GW_HWNDNEXT)) {
        if (h != hWnd && (::GetWindowLongPtr(h, GWL_STYLE) & WS_GROUP))
            break;
        if (!(::SendMessage(h, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON))
            continue;
        if (pDX->m_bSaveAndValidate) {
            if (::SendMessage(h, BM_GETCHECK, 0, 0) == BST_CHECKED && value == -1)
                value = index;
        } else {
            ::SendMessage(h, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        ++index;
    }
}

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index)
{
    HWND hWnd = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        index = (int)::SendMessage(hWnd, CB_GETCURSEL, 0, 0);
    else
        ::SendMessage(hWnd, CB_SETCURSEL, (WPARAM)index, 0);
}

void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hWnd = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        value = ControlText(hWnd);
        return;
    }
    // Select the first item that starts with the value; keep the text for an edit-style combo.
    if (::SendMessage(hWnd, CB_SELECTSTRING, (WPARAM)-1, (LPARAM)value.GetString()) == CB_ERR)
        ::SetWindowText(hWnd, value);
}

void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars)
{
    if (pDX->m_bSaveAndValidate) {
        if (value.GetLength() > nChars) {
            CString text;
            text.Format(L"Enter no more than %d characters.", nChars);
            AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
            pDX->Fail();
        }
    } else if (pDX->GetLastControl() != nullptr && pDX->IsLastControlEdit()) {
        ::SendMessage(pDX->GetLastControl(), EM_LIMITTEXT, (WPARAM)nChars, 0);
    }
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal)
{
    if (pDX->m_bSaveAndValidate && (value < minVal || value > maxVal)) {
        CString text;
        text.Format(L"Enter a number between %d and %d.", minVal, maxVal);
        AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
        pDX->Fail();
    }
}
