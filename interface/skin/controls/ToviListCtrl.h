// CToviListCtrl: the owner-drawn report list of the client. A list type picks the row layout:
// files (0), versions with two embedded buttons per row (1), search hits with three text lines
// and the search words highlighted (2), search hits with a check box (3). Every type shares the
// selection, focus and hover colouring.
//
// The owner subclasses a report list with LVS_OWNERDRAWFIXED, calls SetFont and SetType, attaches
// a CToviHeaderCtrl to the header and fills rows. The item data of a row is the owner's record
// (_PROTO_VERSION_INFO for type 1, _PROTO_SEARCH_INFO for types 2 and 3), never freed here;
// records and embedded buttons live as long as their rows. Runs on the thread of the window.
#pragma once
#include "ListCtrl.h"
#include "ToviInterfaceApi.h"
#include <string>
#include <utility>
#include <vector>

class CToviButton;
class CDC;

class TOVIINTERFACE_API CToviListCtrl : public CListCtrl {
    DECLARE_DYNAMIC(CToviListCtrl)
public:
    enum { kTypeDefault = 0, kTypeVersion = 1, kTypeSearchContent = 2, kTypeSearch = 3 };
    // The column of the version list that holds the two buttons; its width is fixed.
    enum { kButtonColumn = 4 };

    CToviListCtrl();
    ~CToviListCtrl() override;

    void SetType(int type);
    int GetType() const { return m_nType; }
    // Builds the normal, small (8 pt), medium (9 pt) and bold (9 pt, 600) fonts from the window's
    // font; nothing when the window has no font yet.
    void SetFont();
    using CWnd::SetFont;
    // Creates the two buttons of a version row as children of the list, in column `column` of
    // the row. The owner keeps them in the row record's ButtonSlots. flags[1] == '0' disables the
    // first, flags[8] == '0' the second. Returns 0.
    int SetItemControl(int row, int column, CToviButton* first, CToviButton* second, const char* flags);
    // The row whose record holds this button in its ButtonSlots (which: 0 first, 1 second), or -1.
    // A button's command reaches the list's parent as WM_COMMAND with the button's own window
    // in lParam; this finds its row.
    int GetButtonRow(HWND button, int* which = nullptr) const;
    // The control id an embedded button of that row gets. Ids stay in 16383..32766 whatever the
    // row count, above the ids of dialog templates.
    static UINT ButtonId(int row, int which);

    // Where each highlighted word of a search-content excerpt starts and how long it is, in the
    // lower-cased excerpt, from left to right. The whole keyword when it occurs; else each
    // blank-separated word of it wherever it occurs.
    static std::vector<std::pair<size_t, size_t>> FindHighlights(const std::wstring& excerpt,
                                                                 const std::wstring& keyword);
    static std::wstring ToLower(const std::wstring& text);

    COLORREF m_clrText;
    int m_nHoverItem = -1;
    int m_nLastHoverItem = -1;
    DWORD m_clrSelected[3] = { 0xFFEBF4FE, 0xFFCFE4FE, 0xFF84ACDD };
    DWORD m_clrInactive[3] = { 0xFFF8F8F8, 0xFFE5E5E5, 0xFFD9D9D9 };
    DWORD m_clrHover[3] = { 0xFFFAFBFD, 0xFFEBF3FD, 0xFFB8D6FB };
    HFONT m_fontNormal = nullptr;   // the window's font: not ours
    HFONT m_fontSmall = nullptr;
    HFONT m_fontMedium = nullptr;
    HFONT m_fontBold = nullptr;
    std::wstring m_strKeyword;
    bool m_bHoverTracking = false;
    // While set, rows are not drawn at all (the owner's bulk changes).
    bool m_bNoDraw = false;
    int m_nMaxWidth = 100;

    // Which colours a row gets (0 none, else the three-colour set), for the painters and tests.
    const DWORD* RowColours(int row) const;
    // The check box of a search row, 13x13 at rect's left, vertically centred.
    static void DrawCheckBox(HDC hdc, const RECT& rect, int state);

protected:
    void PreSubclassWindow() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct);
    LRESULT OnSetFont(WPARAM wParam, LPARAM lParam);
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnMouseLeave();
    void OnColumnClick(NMHDR* pNMHDR, LRESULT* pResult);
    void OnLButtonDown(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    void DeleteFonts();
    void PaintRowColours(HDC hdc, const CRect& row, const DWORD* colours);
    void PaintTexts(HDC hdc, int row, const CRect& rowRect, bool withImage);
    void DrawDefaultRow(HDC hdc, const DRAWITEMSTRUCT& dis);
    void DrawVersionRow(HDC hdc, const DRAWITEMSTRUCT& dis);
    void DrawSearchRow(HDC hdc, const DRAWITEMSTRUCT& dis);
    void DrawSearchContentRow(HDC hdc, const DRAWITEMSTRUCT& dis);
    void PlaceButtons();
    void RedrawRow(int row);

    int m_nType = kTypeDefault;
    std::vector<HWND> m_buttons;   // every embedded button made here, for command routing
};
