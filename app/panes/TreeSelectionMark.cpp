// The folder trees' mark on their folder without the focus.
#include "TreeSelectionMark.h"
#include <commctrl.h>

namespace treelook {

void MarkUnfocusedSelection(CTreeCtrl& tree, NMHDR* nm, LRESULT* result)
{
    auto* draw = reinterpret_cast<NMTVCUSTOMDRAW*>(nm);
    *result = CDRF_DODEFAULT;
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) {
        *result = CDRF_NOTIFYITEMDRAW;
        return;
    }
    if (draw->nmcd.dwDrawStage != CDDS_ITEMPREPAINT || ::GetFocus() == tree.m_hWnd)
        return;
    HTREEITEM item = reinterpret_cast<HTREEITEM>(draw->nmcd.dwItemSpec);
    const UINT state = tree.GetItemState(item, TVIS_SELECTED | TVIS_DROPHILITED);
    if ((state & TVIS_SELECTED) && !(state & TVIS_DROPHILITED)) {
        draw->clrTextBk = kUnfocusedSelection;
        draw->clrText = RGB(0, 0, 0);
    }
}

}
