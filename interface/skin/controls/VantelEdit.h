// CVantelEdit: an edit box with a 1-pixel frame of its own colour and a white background, grey
// while disabled. The colours apply from the first enable change on; before it the parent's
// colours do. Runs on the thread of the window.
#pragma once
#include "Edit.h"
#include "Gdi.h"
#include "ToviInterfaceApi.h"
#include "VantelColors.h"

class CDC;

class TOVIINTERFACE_API CVantelEdit : public CEdit {
    DECLARE_DYNAMIC(CVantelEdit)
public:
    enum : COLORREF { kTransparent = vantel::kTransparentBack };

    CVantelEdit();
    ~CVantelEdit() override;

    // Repaints the text area through the parent, without erasing.
    void UpdateCtrl();

    COLORREF m_clrText = 0;
    COLORREF m_clrBack = 0xFFFFFF;   // kTransparent: the parent shows through
    CBrush m_brushBack;
    bool m_bColored = false;
    HPEN m_penFrame = nullptr;

protected:
    void OnNcPaint();
    HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
    BOOL OnUpdate();
    void OnEnable(BOOL bEnable);
    DECLARE_MESSAGE_MAP()
};
