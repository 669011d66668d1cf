// Push buttons, check boxes and radio buttons, including owner-drawn ones.
#include "Button.h"

IMPLEMENT_DYNAMIC(CButton, CWnd)

BEGIN_MESSAGE_MAP(CButton, CWnd)
    ON_WM_DRAWITEM_REFLECT()
END_MESSAGE_MAP()

void CButton::DrawItem(LPDRAWITEMSTRUCT)
{
}
