// CToviColorRef: the colour set of 21 COLORREF values that the skinned frames and buttons read.
#pragma once
#include "ToviInterfaceApi.h"
#include <windows.h>

class TOVIINTERFACE_API CToviColorRef {
public:
    enum : int {
        kCount = 21,
        // Entries the painters name.
        kTitleBar1 = 13,
        kTitleBar2 = 14,
        kFrameCaptionTop = 15,
        kFrameCaptionTopInactive = 16,
        kFrameCaptionBottom = 17,
        kFrameCaptionBottomInactive = 18,
        kFrameActive = 19, // outer frame line and corner arcs, active dialog
        kFrameInactive = 20, // the same, inactive dialog
    };

    CToviColorRef();
    CToviColorRef(const CToviColorRef& other) { *this = other; }
    CToviColorRef& operator=(const CToviColorRef& other);

    // 0xRRGGBB <-> 0xBBGGRR; the upper byte becomes 0.
    static COLORREF GetCRef(COLORREF color);
    // Sets both title-bar entries to color.
    void SetTitleBarColor(COLORREF color);

    COLORREF Get(int index) const { return (index >= 0 && index < kCount) ? m_clr[index] : 0; }
    COLORREF operator[](int index) const { return Get(index); }

    COLORREF m_clr[kCount];
};
