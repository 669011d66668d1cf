// CToviProgressCtrl: a progress bar that keeps its own range, position and step and paints
// itself: rounded track, rounded gradient bar with gloss, and the window text over it. A
// marquee mode sweeps a block forth and back on the bar's own timer.
//
// Answers the standard progress-bar messages itself (PBM_SETPOS, PBM_STEPIT, ...). Every bar
// keeps its own sweep direction. Runs on the thread that owns the window.
#pragma once
#include "ProgressCtrl.h"
#include "ToviInterfaceApi.h"

class CDC;

class TOVIINTERFACE_API CToviProgressCtrl : public CProgressCtrl {
    DECLARE_DYNAMIC(CToviProgressCtrl)
public:
    enum : int {
        kMarqueeTimer = 1,
    };

    CToviProgressCtrl();
    ~CToviProgressCtrl() override;

    // 0 or 1 select a colour scheme (and reset the background to white); others only store.
    void SetColorType(int type);
    int GetColorType() const { return m_nColorType; }
    // Background around the track; repaints at once.
    void SetBkColor(COLORREF color);
    // Each value is kept only when above 0.
    void SetFontSize(int points, LONG weight);
    // 0 left, 1 centre, 2 right; repaints at once.
    void SetAlignText(DWORD align);
    // On: PBS_MARQUEE, position 0 and a timer of interval ms moving the block (block percent
    // of the track long). Off: the timer stops and PBS_MARQUEE goes.
    void SetMarquee(bool on, int blockPercent, UINT intervalMs);
    bool IsMarquee() const { return m_bMarquee; }
    int GetMarqueeDirection() const { return m_nMarqueeDirection; }

    // Highest position in marquee style: the block may run past the end by its own length.
    static int MarqueeLimit(int upper, int blockPercent);
    // The position PBM_STEPIT moves to: past either end it wraps by the overshoot.
    static int StepPosition(int pos, int step, int lower, int upper);
    // The position PBM_SETPOS stores.
    static int ClampPosition(int pos, int lower, int upper, bool marquee, int blockPercent);
    // The bar (or marquee block) inside the track rectangle.
    static CRect BarRect(const CRect& track, int pos, int lower, int upper, bool vertical, bool marquee,
                         int blockPercent);

    // Paints the bar into pDC (what WM_PAINT and WM_PRINTCLIENT show); nothing unless
    // lower < upper.
    void Paint(CDC* pDC);

protected:
    void PreSubclassWindow() override;
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnPaint();
    void OnTimer(UINT_PTR nIDEvent);
    void OnDestroy();
    LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetPos(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetRange(WPARAM wParam, LPARAM lParam);
    LRESULT OnDeltaPos(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetPos(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetRange(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetRange32(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetStep(WPARAM wParam, LPARAM lParam);
    LRESULT OnStepIt(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    LRESULT StorePos(int pos);
    LRESULT StoreRange(int lower, int upper);
    bool IsMarqueeStyle() const;

    int m_nRadius = 3;
    int m_nColorType = 0;
    int m_nLower = 0;
    int m_nUpper = 100;
    int m_nPos = 0;
    int m_nStep = 0;
    int m_nMarqueeBlock = 10;
    int m_nAlignText = 1;
    UINT m_nMarqueeInterval = 10;
    COLORREF m_clrBack = 0xFFFFFF;
    // ARGB: track top/bottom, track gloss top/bottom, track border, inner highlight, bar
    // top/bottom, bar gloss top/bottom, bar border.
    DWORD m_clrSlots[11];
    COLORREF m_clrTextOut = 0;
    COLORREF m_clrTextIn = 0;
    bool m_bMarquee = false;
    int m_nMarqueeDirection = 1;
    int m_nFontSize = 0;
    LONG m_nFontWeight = 0;
};
