// CTaskBarDlg: the alert pop-up that slides out beside the Windows task bar, waits, and slides
// back; a click on it is reported to the parent with WM_TASKBAR_CLICK.
//
// The main window news one, calls Create, SetSkin and sets the three timings, then calls Show
// with each new alert text. The object deletes itself after its window is destroyed. The
// window, its timers and every member belong to the thread that created the window: Show, Hide
// and ResetLocale run there only.
#pragma once
#include "Dialog.h"
#include "Gdi.h"
#include "ToviInterfaceApi.h"

#ifndef WM_TASKBAR_CLICK
#define WM_TASKBAR_CLICK (WM_USER + 38)
#endif

class CDC;

class TOVIINTERFACE_API CTaskBarDlg : public CDialog {
    DECLARE_DYNAMIC(CTaskBarDlg)
public:
    // Where the pop-up finds the screen and keeps its timers: the system by default. Xvfb has
    // no task bar, so tests hand in their own work area and tick the timers themselves.
    class TOVIINTERFACE_API Host {
    public:
        virtual ~Host() = default;
        virtual void GetScreen(RECT* workArea, SIZE* screen);
        virtual void StartTimer(HWND wnd, UINT_PTR id, UINT elapse);
        virtual void StopTimer(HWND wnd, UINT_PTR id);
    };

    enum State { kHidden = 0, kAppearing = 1, kWaiting = 2, kDisappearing = 3 };
    enum Edge { kEdgeNone = 0, kEdgeTop = 1, kEdgeLeft = 2, kEdgeRight = 3, kEdgeBottom = 4 };
    enum Timer { kTimerAppear = 1, kTimerWait = 2, kTimerDisappear = 3 };

    explicit CTaskBarDlg(CWnd* pParent = nullptr);
    ~CTaskBarDlg() override;

    // Creates the (hidden) window on the parent given to the constructor.
    BOOL Create();
    // Loads the skin bitmap (the program's own, else the library's) and takes its size; false,
    // and no skin, when it does not load. The three other values are not used.
    bool SetSkin(UINT bitmapId, short unused1 = 0, short unused2 = 0, short unused3 = 0);
    // Shows the text, or refreshes it and keeps the pop-up out a while longer. Without a skin
    // nothing shows.
    void Show(CString text);
    void Hide();
    void ResetLocale();
    // The window region: the rectangle with its two top corners rounded; -1 for an empty size.
    int SetVantelRgn(int width, int height);

    // Pixels a tick moves and the timer period for a total time over a size.
    static UINT IntervalFor(UINT totalMs, int size, int step);

    void SetHost(Host* host) { m_pHost = host ? host : &s_defaultHost; }

    UINT m_nAppearTime = 0;
    UINT m_nWaitTime = 0;
    UINT m_nDisappearTime = 0;

    // State for the main window and tests.
    int GetState() const { return m_nState; }
    int GetEdge() const { return m_nEdge; }
    CPoint GetTarget() const { return CPoint(m_nTargetX, m_nTargetY); }
    CPoint GetCurrent() const { return CPoint(m_nCurrentX, m_nCurrentY); }
    UINT GetAppearInterval() const { return m_nAppearInterval; }
    UINT GetDisappearInterval() const { return m_nDisappearInterval; }
    CSize GetSkinSize() const { return CSize(m_nWidth, m_nHeight); }
    CString GetText() const { return m_strText; }
    CString GetTitle() const { return m_strTitle; }
    bool IsHover() const { return m_bHover; }

protected:
    BOOL OnInitDialog() override;
    void PostNcDestroy() override;
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnTimer(UINT_PTR nIDEvent);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnMouseLeave();
    void OnMouseHover(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()

private:
    void ChooseEdge();
    bool Vertical() const { return m_nEdge == kEdgeTop || m_nEdge == kEdgeBottom; }
    void Place();
    void Repaint();
    void BuildFont(const CString& face);
    void Paint(CDC* pDC);

    static Host s_defaultHost;
    Host* m_pHost = &s_defaultHost;

    HBITMAP m_hSkin = nullptr;
    CRgn m_rgn;
    int m_nWidth = 0;
    int m_nHeight = 0;
    CString m_strTitle;
    CString m_strText;
    bool m_bHover = false;
    int m_nState = kHidden;
    COLORREF m_clrText = RGB(39, 39, 39);
    COLORREF m_clrHover = RGB(47, 47, 255);
    UINT m_nAppearInterval = 0;
    UINT m_nDisappearInterval = 0;
    int m_nTargetX = 0;
    int m_nTargetY = 0;
    int m_nCurrentX = 0;
    int m_nCurrentY = 0;
    int m_nEdge = kEdgeNone;
    int m_nStep = 2;
    CFont m_font;
    CFont m_fontTitle;
};
