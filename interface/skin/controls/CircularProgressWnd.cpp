// CCircularProgressWnd: geometry, timer and painting of the spinner.
#include "CircularProgressWnd.h"
#include "Dc.h"
#include <gdiplus.h>
#include <algorithm>
#include <cmath>

IMPLEMENT_DYNAMIC(CCircularProgressWnd, CWnd)

BEGIN_MESSAGE_MAP(CCircularProgressWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
    ON_WM_TIMER()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CCircularProgressWnd::CCircularProgressWnd() = default;

CCircularProgressWnd::~CCircularProgressWnd()
{
    if (m_hBackground)
        ::DeleteObject(m_hBackground);
}

CCircularProgressWnd::Geometry CCircularProgressWnd::GeometryFor(int width, int height)
{
    Geometry g;
    g.size = std::min(width, height);
    g.centreX = width / 2;
    g.centreY = height / 2;
    g.penWidth = std::max(g.size / 15, 2);
    // Whole-number arithmetic: 0.175 has no exact binary form, and 40 x 0.175 truncated to 6 or 7
    // depending on the processor's floating-point precision.
    g.innerRadius = std::max(g.size * 175 / 1000, 4);
    g.outerRadius = std::max(g.size * 5 / 16, 8);
    return g;
}

void CCircularProgressWnd::SetBackground(HBITMAP bitmap)
{
    std::lock_guard<std::mutex> hold(m_lock);
    if (m_hBackground)
        ::DeleteObject(m_hBackground);
    m_hBackground = bitmap;
}

int CCircularProgressWnd::OnCreate(LPCREATESTRUCT)
{
    Default();
    CWnd* parent = GetParent();
    if (parent) {
        CRect rc;
        parent->GetClientRect(&rc);
        SetWindowPos(nullptr, (rc.Width() - m_nWidth) / 2, (rc.Height() - m_nWidth) / 2, m_nWidth, m_nWidth,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    m_nSpokes = 12;
    m_nAngleStep = 30;
    m_nAlpha = 255;
    m_nAlphaStep = 20;
    SetTimer(kTimer, kIntervalMs);
    return 0;
}

void CCircularProgressWnd::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kTimer) {
        Default();
        return;
    }
    int angle = m_nAngle.load() + m_nAngleStep;
    if (angle >= 360)
        angle = 0;
    m_nAngle.store(angle);
    Invalidate(TRUE);
}

void CCircularProgressWnd::OnDestroy()
{
    KillTimer(kTimer);
    Default();
}

void CCircularProgressWnd::PostNcDestroy()
{
    delete this;
}

// The background comes with each paint: erasing here would flicker, and asking the parent
// would wait on its (possibly blocked) thread.
BOOL CCircularProgressWnd::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CCircularProgressWnd::OnPaint()
{
    CPaintDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    Paint(dc.GetSafeHdc(), rc.Width(), rc.Height());
    m_nPaints.fetch_add(1);
}

void CCircularProgressWnd::Paint(HDC hdc, int width, int height)
{
    if (width <= 0 || height <= 0)
        return;
    Gdiplus::Bitmap canvas(width, height, PixelFormat32bppARGB);
    Gdiplus::Graphics g(&canvas);
    g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    {
        std::lock_guard<std::mutex> hold(m_lock);
        if (m_hBackground) {
            Gdiplus::Bitmap background(m_hBackground, nullptr);
            g.DrawImage(&background, 0, 0, width, height);
        }
    }
    const Geometry geo = GeometryFor(width, height);
    m_fCentreX = (float)geo.centreX;
    m_fCentreY = (float)geo.centreY;
    m_nInnerRadius = geo.innerRadius;
    m_nOuterRadius = geo.outerRadius;
    int angle = m_nAngle.load();
    int alpha = m_nAlpha;
    for (int i = 0; i < m_nSpokes; ++i) {
        const double a = ConvertDegreesToRadians(angle);
        Gdiplus::Pen pen(Gdiplus::Color((BYTE)alpha, GetRValue(m_clrColor), GetGValue(m_clrColor), GetBValue(m_clrColor)),
                         (float)geo.penWidth);
        g.DrawLine(&pen, (float)(m_fCentreX + m_nInnerRadius * std::cos(a)), (float)(m_fCentreY + m_nInnerRadius * std::sin(a)),
                   (float)(m_fCentreX + m_nOuterRadius * std::cos(a)), (float)(m_fCentreY + m_nOuterRadius * std::sin(a)));
        angle -= m_nAngleStep;
        alpha -= m_nAlphaStep;
    }
    Gdiplus::Graphics screen(hdc);
    screen.DrawImage(&canvas, 0, 0, width, height);
}
