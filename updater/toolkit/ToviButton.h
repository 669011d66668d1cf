// CToviButton: the update program's owner-drawn button. Style 1 is the caption close button
// (four state images), styles 2 to 4 rounded gradient buttons with an optional 16 x 16 icon
// beside the caption.
//
// Bind it with SubclassDlgItem to a BS_OWNERDRAW button; the parent reflects WM_DRAWITEM.
//
// Not the client's CToviButton of ToviInterface.dll: the update program links none of the
// client's libraries, so its toolkit is its own and may differ from the client's.
#pragma once
#include "Button.h"

class CToviButton : public CButton {
public:
    CToviButton();
    ~CToviButton() override;

    // 1 caption close button (resized to 24 x 20), 2 blue, 3 and 4 light; others plain.
    void SetBtnStyle(int style);
    // Takes ownership of the icon; a grey copy is drawn while the button is disabled.
    void SetBtnIcon(HICON icon);
    // A copy of icon with every coloured pixel turned grey; the caller owns it.
    static HICON CreateGrayscaleIcon(HICON icon);

    int GetBtnStyle() const { return m_nStyle; }
    bool IsHover() const { return m_bHover; }

    // Colours: 0 border, 1/2 normal gradient, 3/4 hover, 5/6 pressed; text per state.
    COLORREF m_clrState[7];
    COLORREF m_clrText[3];
    COLORREF m_clrTextDisabled;

protected:
    void PreSubclassWindow() override;
    void DrawItem(LPDRAWITEMSTRUCT drawItem) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    DECLARE_MESSAGE_MAP()

private:
    void DrawImageButton(HDC dc, const RECT& rc, UINT state);
    void DrawGradientButton(HDC dc, const RECT& rc, UINT state);

    int m_nStyle = 0;
    bool m_bHover = false;
    HICON m_hIcon = nullptr;
    HICON m_hGrayIcon = nullptr;
    HICON m_hImages[4] = {};   // style 1: normal, hover, pressed, disabled
};
