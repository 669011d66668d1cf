// CCircularProgressWnd: the "busy" spinner: twelve spokes of fading opacity around a centre,
// turned by 30 degrees every 120 ms on its own thread's timer.
//
// Lives on the spinner thread (CCircularProgressThread) as a child of a dialog that belongs to
// another thread, which may be blocked in a server request while the spinner turns. So the
// spinner never sends anything to its parent: it paints the background that the owner's
// thread handed it (SetBackground) under the spokes. Deletes itself after its window is gone.
#pragma once
#include "ToviInterfaceApi.h"
#include "Wnd.h"
#include <atomic>
#include <mutex>

class TOVIINTERFACE_API CCircularProgressWnd : public CWnd {
    DECLARE_DYNAMIC(CCircularProgressWnd)
public:
    enum : int {
        kTimer = 1,
        kIntervalMs = 120,
    };

    struct Geometry {
        int size;          // the smaller side
        int centreX;
        int centreY;
        int penWidth;
        int innerRadius;
        int outerRadius;
    };
    // Spokes for a client area of width x height.
    static Geometry GeometryFor(int width, int height);
    static double ConvertDegreesToRadians(int degrees) { return degrees * 0.017453292519943295; }

    CCircularProgressWnd();
    // Only for an object that never got its window; one with a window deletes itself.
    ~CCircularProgressWnd() override;

    void SetColor(COLORREF color) { m_clrColor = color; }
    void SetWidth(int width) { m_nWidth = width; }
    // The owner's background under the spinner, width x height; the spinner takes ownership.
    // Any thread.
    void SetBackground(HBITMAP bitmap);

    int GetAngle() const { return m_nAngle.load(); }
    // How often the spinner has painted itself.
    long GetPaintCount() const { return m_nPaints.load(); }

protected:
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnPaint();
    void OnTimer(UINT_PTR nIDEvent);
    void OnDestroy();
    void PostNcDestroy() override;
    DECLARE_MESSAGE_MAP()

private:
    void Paint(HDC hdc, int width, int height);

    COLORREF m_clrColor = 0x373737;
    int m_nWidth = 100;
    int m_nInnerRadius = 0;
    int m_nOuterRadius = 0;
    int m_nAlpha = 255;
    int m_nSpokes = 12;
    int m_nAngleStep = 30;
    int m_nAlphaStep = 20;
    float m_fCentreX = 0;
    float m_fCentreY = 0;
    std::atomic<int> m_nAngle{ 0 };
    std::atomic<long> m_nPaints{ 0 };
    std::mutex m_lock;
    HBITMAP m_hBackground = nullptr;
};
