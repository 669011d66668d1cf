// Colours and parent repaint of the skinned edit and static controls.
#include "VantelColors.h"
#include "Dc.h"

namespace vantel {

HBRUSH ControlColors(CDC* dc, CBrush& keep, COLORREF back, COLORREF text)
{
    keep.DeleteObject();
    HBRUSH brush;
    if (back == kTransparentBack) {
        brush = (HBRUSH)::GetStockObject(NULL_BRUSH);
        dc->SetBkMode(TRANSPARENT);
    } else {
        keep.CreateSolidBrush(back);
        brush = (HBRUSH)keep.GetSafeHandle();
        dc->SetBkColor(back);
    }
    dc->SetTextColor(text);
    return brush;
}

void RepaintUnder(HWND control, int inset, bool erase)
{
    if (control == nullptr)
        return;
    HWND parent = ::GetParent(control);
    if (parent == nullptr)
        return;
    RECT rc;
    ::GetWindowRect(control, &rc);
    ::MapWindowPoints(nullptr, parent, (LPPOINT)&rc, 2);
    ::InflateRect(&rc, -inset, -inset);
    ::InvalidateRect(parent, &rc, erase ? TRUE : FALSE);
    ::UpdateWindow(parent);
}

}
