// CClientListCtrl: the report list of the local file pane. It decides when the pane's commands
// run: sorting by column, opening, the shell context menu with our entries, keys, rename in
// place, drag start and the painting of an active or inactive pane.
//
// GUI thread only. Rows' item data are _LOCAL_LIST_ITEM records owned by the pane.
#pragma once
#include "ListCtrl.h"
#include "LocalPaneRules.h"

class CClientRightView;

class CClientListCtrl : public CListCtrl {
public:
    explicit CClientListCtrl(CClientRightView* pane) : m_pPane(pane) {}

    void SetPaneColor(COLORREF color);
    void UpdateMenuState();
    // Opens the context menu at the cursor for the rows under it or the shown folder.
    void ShowContextMenu();
    _LOCAL_LIST_ITEM* GetRecord(int row) const;

    COLORREF m_backColor = RGB(0xFF, 0xFF, 0xFF);
    COLORREF m_inactiveSelection = RGB(236, 233, 216);
    int m_nLabelEditPurpose = 1;        // 0 naming a new folder, 1 renaming
    bool m_bNewFolderAllowed = false;
    POINT m_lastRightClick = {-1, -1};

protected:
    void OnColumnClick(NMHDR* nm, LRESULT* result);
    void OnDblClk(NMHDR* nm, LRESULT* result);
    void OnRClick(NMHDR* nm, LRESULT* result);
    void OnKeyDown(NMHDR* nm, LRESULT* result);
    void OnBeginLabelEdit(NMHDR* nm, LRESULT* result);
    void OnEndLabelEdit(NMHDR* nm, LRESULT* result);
    void OnBeginDrag(NMHDR* nm, LRESULT* result);
    void OnItemChanged(NMHDR* nm, LRESULT* result);
    void OnCustomDraw(NMHDR* nm, LRESULT* result);
    void OnKillFocusNotify(NMHDR* nm, LRESULT* result);
    void OnSetFocus(CWnd* oldWnd);
    void OnLButtonDown(UINT flags, CPoint point);
    LRESULT OnEditLabel(WPARAM, LPARAM row);
    DECLARE_MESSAGE_MAP()

private:
    void OpenRow(int row);
    HIMAGELIST MakeDragImage(int count, int firstRow, int& size);

    CClientRightView* m_pPane;
    bool m_bFocused = false;
};
