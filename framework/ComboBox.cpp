// Combo boxes: drop-down lists with an optional edit field, including owner-drawn ones.
#include "ComboBox.h"

IMPLEMENT_DYNAMIC(CComboBox, CWnd)

BEGIN_MESSAGE_MAP(CComboBox, CWnd)
    ON_WM_DRAWITEM_REFLECT()
    ON_WM_MEASUREITEM_REFLECT()
END_MESSAGE_MAP()

void CComboBox::GetLBText(int index, CString& text) const
{
    ASSERT(::IsWindow(m_hWnd));
    int length = GetLBTextLen(index);
    if (length == CB_ERR) {
        text.Empty();
        return;
    }
    int copied = GetLBText(index, text.GetBuffer(length));
    text.ReleaseBuffer(copied == CB_ERR ? 0 : copied);
}

void CComboBox::DrawItem(LPDRAWITEMSTRUCT)
{
}

void CComboBox::MeasureItem(LPMEASUREITEMSTRUCT)
{
}
