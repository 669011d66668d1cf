// CToviButton: the owner-drawn push button, check box, radio button and caption button of the
// whole interface, attached to existing button controls by subclassing.
//
// A numbered style (SetBtnStyle) picks a painter and its colours; or the owner gives skin
// bitmaps per state (SetSkin), its own colours and a 16x16 icon (with a grey copy for the
// disabled state). The button tracks hover, keeps the pressed look only while the cursor is
// over it, shapes its window with a region and relays mouse messages to m_toolTip. Check
// boxes and radio buttons keep their check state themselves (BM_SETCHECK / BM_GETCHECK), since
// the system keeps none for owner-drawn buttons. Runs on the thread that owns the window.
#pragma once
#include "Button.h"
#include "Gdi.h"
#include "ImageList.h"
#include "ToolTipCtrl.h"
#include "ToviInterfaceApi.h"

class CDC;

class TOVIINTERFACE_API CToviButton : public CButton {
    DECLARE_DYNAMIC(CToviButton)
public:
    enum CheckKind { kPushButton = 0, kCheckBox = 2, kRadioButton = 4 };
    // Painters of the styles: 1 main menu, 2-4 dialog caption, 5-7 frame caption, 8 list toggle
    // (skin bitmaps), the rest flat.
    enum {
        kStyleMainMenu = 1,
        kStyleCaptionMinimize = 2,
        kStyleCaptionMiddle = 3,
        kStyleCaptionClose = 4,
        kStyleFrameMinimize = 5,
        kStyleFrameMiddle = 6,
        kStyleFrameClose = 7,
        kStyleListToggle = 8,
    };
    // Images of the caption styles.
    enum { kImageNormal = 0, kImageHover = 1, kImagePressed = 2, kImageDisabled = 3 };

    CToviButton();
    ~CToviButton() override;

    void SetBtnStyle(int style);
    int GetBtnStyle() const { return m_nBtnStyle; }
    // Bitmap resource ids per state (0: none; the disabled one falls back to normal) and the
    // mask whose non-white pixels shape the window. mode: 0 bitmaps at their own size (the
    // button takes the mask's size), 1 stretched, 2 tiled.
    void SetSkin(UINT normal, UINT status, UINT hover, UINT disabled, UINT focus, UINT mask,
                 short mode, short unused1 = 0, short unused2 = 0);
    // A 16x16 icon of the library beside the caption, with its grey copy for the disabled look.
    void SetIcon(UINT iconId);
    // Each value is kept only when above 0.
    void SetFontSize(int points, LONG weight);
    void SetBgColor(COLORREF color) { m_clrBg = color; }
    void SetStateColor(COLORREF normalTop, COLORREF normalBottom, COLORREF hoverTop,
                       COLORREF hoverBottom, COLORREF pressedTop, COLORREF pressedBottom);
    void SetTextColor(COLORREF normal, COLORREF hover, COLORREF pressed, COLORREF disabled);
    // The selected (on) state; repaints at once.
    void SetStatus(bool status);
    bool GetStatus() const { return m_bStatus; }
    // Width the button needs: margin + caption width + 20 for an icon.
    int GetButtonWidth(int margin);

    int GetCheckKind() const { return m_nCheckKind; }
    bool IsHover() const { return m_bHover; }
    bool IsLButtonDown() const { return m_bLButtonDown; }
    int GetSkinMode() const { return m_nSkinMode; }
    int GetRoundRadius() const { return m_nRoundRadius; }
    // Rectangle of the caption and top-left of the icon as laid out at the last paint.
    CRect GetTextRect() const { return m_rectText; }
    CPoint GetIconPos() const { return m_ptIcon; }

    // The region of the pixels that differ from transparent, one-row runs joined; the caller
    // owns it. Null without a bitmap.
    static HRGN CreateRgnFromBitmap(HBITMAP bitmap, COLORREF transparent);
    // The same conversion as CVImageList::CreateGrayscaleIcon.
    static HICON CreateGrayscaleIcon(HICON icon);
    // The rounded region for width x height at the style's radius: 0, or -1 (nothing changed)
    // when a size or the radius is 0.
    int SetButtonRgn(int width, int height);

    // Filled by the owner; mouse messages are relayed to it once its window exists.
    CToolTipCtrl m_toolTip;
    // Picks the active or inactive gradient of the frame caption styles.
    bool m_bActive = true;

protected:
    void PreSubclassWindow() override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

    BOOL OnEraseBkgnd(CDC* pDC);
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnKillFocus(CWnd* pNewWnd);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnMouseLeave();
    void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()

    static int GetBitmapWidth(HBITMAP bitmap);
    static int GetBitmapHeight(HBITMAP bitmap);
    void DrawBitmap(CDC* pDC, HBITMAP bitmap, const CRect& rect, int mode);
    void FillWithBitmap(CDC* pDC, HBITMAP bitmap, const CRect& rect);
    void RelayEvent(UINT message, WPARAM wParam, LPARAM lParam);

private:
    void StoreCheck(bool checked);
    bool IsUnderCursor(CPoint client) const;
    void SelectInGroup();
    void LoadCaptionImages(UINT normal, UINT hover, UINT pressed, UINT disabled);
    void SetFlatColors(COLORREF outline, const COLORREF states[6], COLORREF text, int disabledTextSysColor,
                       COLORREF disabledText);
    HFONT MakeCaptionFont(HFONT base) const;
    void LayoutCaption(CDC* pDC, int width, int height);
    void DrawMainMenu(CDC* pDC, const CRect& rc, UINT state);
    void DrawCaptionButton(CDC* pDC, const CRect& rc, UINT state);
    void DrawListToggle(CDC* pDC, const CRect& rc, UINT state);
    void DrawFlat(CDC* pDC, const CRect& rc, UINT state);

    int m_nCheckKind = kPushButton;
    CString m_strCaption;
    bool m_bHover = false;
    bool m_bChecked = false;
    bool m_bLButtonDown = false;
    bool m_bStatus = false;
    int m_nSkinMode = 1;
    int m_nBtnStyle = -1;
    CBitmap m_bmpNormal;
    CBitmap m_bmpStatus;
    CBitmap m_bmpDisabled;
    CBitmap m_bmpMask;
    CBitmap m_bmpHover;
    CBitmap m_bmpFocus;
    HRGN m_hRgn = nullptr;   // installed regions belong to the window
    int m_nFontSize = 0;
    LONG m_nFontWeight = 0;
    CImageList m_imageList;
    HICON m_hIcon = nullptr;   // shared: never destroyed
    HICON m_hGrayIcon = nullptr;
    CPoint m_ptIcon;
    CRect m_rectText;
    int m_nRoundRadius = 0;
    COLORREF m_clrBg = 0;
    COLORREF m_clrState[6] = {};
    COLORREF m_clrText[4] = {};
};
