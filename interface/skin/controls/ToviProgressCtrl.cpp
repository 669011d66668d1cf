// CToviProgressCtrl: range, position and step messages, marquee, and painting.
#include "ToviProgressCtrl.h"
#include "Dc.h"

IMPLEMENT_DYNAMIC(CToviProgressCtrl, CProgressCtrl)

BEGIN_MESSAGE_MAP(CToviProgressCtrl, CProgressCtrl)
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
    ON_WM_TIMER()
    ON_WM_DESTROY()
    ON_MESSAGE(WM_PRINTCLIENT, OnPrintClient)
    ON_MESSAGE(PBM_GETPOS, OnGetPos)
    ON_MESSAGE(PBM_GETRANGE, OnGetRange)
    ON_MESSAGE(PBM_DELTAPOS, OnDeltaPos)
    ON_MESSAGE(PBM_SETPOS, OnSetPos)
    ON_MESSAGE(PBM_SETRANGE, OnSetRange)
    ON_MESSAGE(PBM_SETRANGE32, OnSetRange32)
    ON_MESSAGE(PBM_SETSTEP, OnSetStep)
    ON_MESSAGE(PBM_STEPIT, OnStepIt)
END_MESSAGE_MAP()

namespace {
const DWORD kScheme0[11] = { 0xFFF0F0F0, 0xFFD2D2D2, 0xFFFFFFFF, 0x28FFFFFF, 0xFFA0A0A0, 0x28FFFFFF,
                             0xFF90AFD2, 0xFF5B8CBA, 0x64FFFFFF, 0x14FFFFFF, 0xFF99B4D1 };
const DWORD kScheme1[11] = { 0xFFF4F5EF, 0xFFE8E9DA, 0xFFFFFFFF, 0x05FFFFFF, 0xFFA8AD78, 0x05FFFFFF,
                             0xFFC5DFF3, 0xFF80BAE6, 0x3CFFFFFF, 0x00FFFFFF, 0x3299B4D1 };
}

CToviProgressCtrl::CToviProgressCtrl()
{
    for (DWORD& c : m_clrSlots)
        c = 0xFF000000;
}

CToviProgressCtrl::~CToviProgressCtrl() = default;

void CToviProgressCtrl::PreSubclassWindow()
{
    SetColorType(0);
    CProgressCtrl::PreSubclassWindow();
}

void CToviProgressCtrl::SetColorType(int type)
{
    m_nColorType = type;
    const DWORD* scheme = type == 0 ? kScheme0 : (type == 1 ? kScheme1 : nullptr);
    if (scheme == nullptr)
        return;
    for (int i = 0; i < 11; ++i)
        m_clrSlots[i] = scheme[i];
    m_clrTextOut = type == 0 ? 0x6E6E6E : 0x292929;
    m_clrTextIn = type == 0 ? 0xFFFFFF : 0x464646;
    m_clrBack = 0xFFFFFF;
}

void CToviProgressCtrl::SetBkColor(COLORREF color)
{
    m_clrBack = color;
    if (m_hWnd) {
        Invalidate(TRUE);
        UpdateWindow();
    }
}

void CToviProgressCtrl::SetFontSize(int points, LONG weight)
{
    if (points > 0)
        m_nFontSize = points;
    if (weight > 0)
        m_nFontWeight = weight;
}

void CToviProgressCtrl::SetAlignText(DWORD align)
{
    m_nAlignText = (int)align;
    if (m_hWnd) {
        Invalidate(TRUE);
        UpdateWindow();
    }
}

bool CToviProgressCtrl::IsMarqueeStyle() const
{
    return m_hWnd && (GetStyle() & PBS_MARQUEE);
}

void CToviProgressCtrl::SetMarquee(bool on, int blockPercent, UINT intervalMs)
{
    m_nMarqueeBlock = blockPercent;
    m_nMarqueeInterval = intervalMs;
    if (on) {
        ModifyStyle(0, PBS_MARQUEE);
        StorePos(0);
        SetTimer(kMarqueeTimer, m_nMarqueeInterval);
        m_bMarquee = true;
    } else {
        KillTimer(kMarqueeTimer);
        m_bMarquee = false;
        ModifyStyle(PBS_MARQUEE, 0);
    }
}

int CToviProgressCtrl::MarqueeLimit(int upper, int blockPercent)
{
    return (int)(((blockPercent + 100) * (double)upper + 0.5) / 100.0);
}

int CToviProgressCtrl::ClampPosition(int pos, int lower, int upper, bool marquee, int blockPercent)
{
    const int limit = marquee ? MarqueeLimit(upper, blockPercent) : upper;
    if (pos > limit)
        pos = limit;
    if (pos < lower)
        pos = lower;
    return pos;
}

int CToviProgressCtrl::StepPosition(int pos, int step, int lower, int upper)
{
    const int p = pos + step;
    if (p < lower)
        return upper - (lower - p);
    if (p > upper)
        return lower + (p - upper);
    return p;
}

LRESULT CToviProgressCtrl::StorePos(int pos)
{
    const int previous = m_nPos;
    m_nPos = ClampPosition(pos, m_nLower, m_nUpper, IsMarqueeStyle(), m_nMarqueeBlock);
    if (m_hWnd) {
        Invalidate(TRUE);
        UpdateWindow();
    }
    return previous;
}

LRESULT CToviProgressCtrl::StoreRange(int lower, int upper)
{
    const LRESULT previous = ((LRESULT)m_nUpper << 16) | (m_nLower & 0xFFFF);
    m_nLower = lower;
    m_nUpper = upper;
    return previous;
}

LRESULT CToviProgressCtrl::OnGetPos(WPARAM, LPARAM)
{
    return m_nPos;
}

LRESULT CToviProgressCtrl::OnGetRange(WPARAM wParam, LPARAM lParam)
{
    if (auto* range = (PBRANGE*)lParam) {
        range->iLow = m_nLower;
        range->iHigh = m_nUpper;
    }
    return wParam ? m_nLower : m_nUpper;
}

LRESULT CToviProgressCtrl::OnDeltaPos(WPARAM wParam, LPARAM)
{
    return StorePos(m_nPos + (int)wParam);
}

LRESULT CToviProgressCtrl::OnSetPos(WPARAM wParam, LPARAM)
{
    return StorePos((int)wParam);
}

LRESULT CToviProgressCtrl::OnSetRange(WPARAM, LPARAM lParam)
{
    return StoreRange(LOWORD(lParam), HIWORD(lParam));
}

LRESULT CToviProgressCtrl::OnSetRange32(WPARAM wParam, LPARAM lParam)
{
    return StoreRange((int)wParam, (int)lParam);
}

LRESULT CToviProgressCtrl::OnSetStep(WPARAM wParam, LPARAM)
{
    const int previous = m_nStep;
    m_nStep = (int)wParam;
    return previous;
}

LRESULT CToviProgressCtrl::OnStepIt(WPARAM, LPARAM)
{
    return StorePos(StepPosition(m_nPos, m_nStep, m_nLower, m_nUpper));
}

void CToviProgressCtrl::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kMarqueeTimer) {
        Default();
        return;
    }
    const int pos = m_nPos;
    if (pos >= MarqueeLimit(m_nUpper, m_nMarqueeBlock))
        m_nMarqueeDirection = -1;
    if (m_nLower >= pos)
        m_nMarqueeDirection = 1;
    StorePos(pos + m_nMarqueeDirection);
}

void CToviProgressCtrl::OnDestroy()
{
    Default();
    if (m_bMarquee) {
        KillTimer(kMarqueeTimer);
        m_bMarquee = false;
    }
}

BOOL CToviProgressCtrl::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CToviProgressCtrl::OnPaint()
{
    CPaintDC dc(this);
    Paint(&dc);
}

LRESULT CToviProgressCtrl::OnPrintClient(WPARAM wParam, LPARAM)
{
    Paint(CDC::FromHandle((HDC)wParam));
    return 0;
}

CRect CToviProgressCtrl::BarRect(const CRect& track, int pos, int lower, int upper, bool vertical, bool marquee,
                                 int blockPercent)
{
    if (upper <= lower)
        return CRect();
    const double f = (double)(pos - lower) / (double)(upper - lower);
    CRect bar = track;
    const int length = vertical ? track.Height() : track.Width();
    if (!marquee) {
        if (vertical)
            bar.top = track.bottom - (int)(f * track.Height());
        else
            bar.right = track.left + (int)(f * track.Width());
        return bar;
    }
    const int block = (length * blockPercent + 50) / 100;
    if (vertical) {
        bar.bottom = track.bottom - (int)(f * track.Height());
        bar.top = bar.bottom - block;
        if (bar.top < track.top)
            bar.top = track.top;
        if (bar.bottom < bar.top)
            bar.bottom = bar.top;
    } else {
        bar.left = track.left + (int)(f * track.Width());
        bar.right = bar.left + block;
        if (bar.right > track.right)
            bar.right = track.right;
        if (bar.left > bar.right)
            bar.left = bar.right;
    }
    return bar;
}
