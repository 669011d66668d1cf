// Header controls: the column headings of report lists, including owner-drawn ones.
#include "HeaderCtrl.h"

IMPLEMENT_DYNAMIC(CHeaderCtrl, CWnd)

BEGIN_MESSAGE_MAP(CHeaderCtrl, CWnd)
    ON_WM_DRAWITEM_REFLECT()
END_MESSAGE_MAP()

void CHeaderCtrl::DrawItem(LPDRAWITEMSTRUCT)
{
}
