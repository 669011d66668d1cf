// CVantelEdit: frame, colours and the enabled and disabled backgrounds.
#include "VantelEdit.h"
#include "Dc.h"
#include "ThemeLibrary.h"
#include "VantelColors.h"

IMPLEMENT_DYNAMIC(CVantelEdit, CEdit)

BEGIN_MESSAGE_MAP(CVantelEdit, CEdit)
    ON_WM_NCPAINT()
    ON_WM_CTLCOLOR_REFLECT()
    ON_CONTROL_REFLECT_EX(EN_UPDATE, OnUpdate)
    ON_WM_ENABLE()
END_MESSAGE_MAP()

CVantelEdit::CVantelEdit()
    : m_penFrame(::CreatePen(PS_SOLID, 1, 0xB99D7F))
{
}

CVantelEdit::~CVantelEdit()
{
    m_brushBack.DeleteObject();
    if (m_penFrame)
        ::DeleteObject(m_penFrame);
}

void CVantelEdit::OnNcPaint()
{
    if (ThemeIsAppThemed()) {
        Default();
        return;
    }
    HDC dc = ::GetWindowDC(m_hWnd);
    if (dc == nullptr)
        return;
    CRect window, client;
    GetWindowRect(&window);
    GetClientRect(&client);
    ClientToScreen(&client);
    client.OffsetRect(-window.left, -window.top);
    window.OffsetRect(-window.left, -window.top);
    ::ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
    SendMessage(WM_ERASEBKGND, (WPARAM)dc);
    HGDIOBJ oldPen = ::SelectObject(dc, m_penFrame);
    HGDIOBJ oldBrush = ::SelectObject(dc, ::GetStockObject(NULL_BRUSH));
    ::Rectangle(dc, window.left, window.top, window.right, window.bottom);
    ::SelectObject(dc, oldBrush);
    ::SelectObject(dc, oldPen);
    ::ReleaseDC(m_hWnd, dc);
}

HBRUSH CVantelEdit::CtlColor(CDC* pDC, UINT)
{
    HBRUSH brush = vantel::ControlColors(pDC, m_brushBack, m_clrBack, m_clrText);
    return m_bColored ? brush : nullptr;
}

BOOL CVantelEdit::OnUpdate()
{
    UpdateCtrl();
    return FALSE;   // the parent still hears of the change
}

void CVantelEdit::OnEnable(BOOL bEnable)
{
    Default();
    m_bColored = true;
    m_clrBack = bEnable ? 0xFFFFFF : 0xE1E1E1;
    UpdateCtrl();
}

void CVantelEdit::UpdateCtrl()
{
    vantel::RepaintUnder(m_hWnd, 2, false);
}
