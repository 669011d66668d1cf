// The panes' drag-and-drop base: the data source that carries the dragged items and the drag
// image, the drop source, and the base drop target with drag-image feedback and auto-scroll.
//
// GUI thread only (OLE). A data source is made on the heap and belongs to OLE once the drag
// starts; the image list stays the starting pane's, valid only inside this process.
#pragma once
#include "OleDataSource.h"
#include "OleDropSource.h"
#include "OleDropTarget.h"
#include "ProtoRecords.h"
#include "Strings.h"
#include <commctrl.h>
#include <functional>
#include <vector>

class CTreeCtrl;
class CListCtrl;

// Registered names of the formats a pane drag carries besides CF_HDROP.
extern const wchar_t kDragImageFormat[];     // the image list handle
extern const wchar_t kDragHotSpotFormat[];   // hot spot x and y, 32-bit each
extern const wchar_t kServerItemsFormat[];   // the server-item text

// Where one pane's drag image differs from the server lists' bubble.
struct DragBubbleLook {
    COLORREF mask = RGB(255, 0, 255);
    POINT icon = {20, 8};
    // The icon drawn on a square of the card's colour and copied with that colour as the
    // transparent one, rather than drawn straight onto the card.
    bool keyedIcon = false;
    BYTE nameQuality = DEFAULT_QUALITY;
};

// A pane's drag bubble: stacked cards for count items, the first item's icon (none: no icon)
// and, for one item, its name, else the count in a badge; one S x S image (S = 72, 75 or 78)
// masked by the look's mask colour. The caller destroys the list; null when it cannot be made.
HIMAGELIST CreateDragBubble(HFONT font, HICON icon, const CString& name, int count, const DragBubbleLook& look);
inline HIMAGELIST CreateListDragBubble(HFONT listFont, HICON icon, const CString& name, int count)
{
    return CreateDragBubble(listFont, icon, name, count, DragBubbleLook());
}

class CDragDataSource : public COleDataSource {
public:
    CDragDataSource();
    ~CDragDataSource() override;

    // The wide DROPFILES block of the non-empty paths; false when none or memory fails.
    bool CacheFileDrop(const std::vector<CString>& paths);
    // The image list handle and the hot spot in image pixels.
    bool CacheDragImage(HIMAGELIST image, int hotX, int hotY);
    // The server records as one text, each written as a copy ("C") from paneTag and sourcePath.
    bool CacheServerItems(const std::vector<_PROTO_FOLDER_INFO>& records, const CString& paneTag,
                          const CString& sourcePath);

    UINT m_cfServerItems = 0;
};

class CDragDropSource : public COleDropSource {
public:
    ~CDragDropSource() override = default;
};

class CDragDropTarget : public COleDropTarget {
public:
    CDragDropTarget() = default;

    DROPEFFECT OnDragEnter(CWnd* wnd, COleDataObject* data, DWORD keys, CPoint point) override;
    DROPEFFECT OnDragOver(CWnd* wnd, COleDataObject* data, DWORD keys, CPoint point) override;
    DROPEFFECT OnDragScroll(CWnd* wnd, DWORD keys, CPoint point) override;

    // Reads the drag image formats and begins showing image 0 at the hot spot; without them
    // m_hDragImage stays null and no image is shown.
    void LoadDragImage(COleDataObject* data);
    // Whether the control can scroll in direction (low byte horizontal, high byte vertical:
    // 0 up/left, 1 down/right, 0xFF none); with perform it scrolls one line.
    bool DoDragScroll(CWnd* control, UINT direction, bool perform);
    // The direction code for a point in the control's client area, 0xFFFF outside the band.
    static UINT ScrollDirectionFor(const RECT& client, int headerBottom, int inset, POINT point);

    // The enter step every pane target shares: the image shown at the pointer, and the proposed
    // effect (copy with Ctrl, else move); the first drag-over looks at the formats.
    DROPEFFECT EnterWithImage(CWnd* wnd, COleDataObject* data, DWORD keys, CPoint point);
    void MoveDragImage(CWnd* wnd, CPoint point) const;
    // Ends the image at leave and drop.
    void EndDragImage();
    // Hides the image around a repaint of the control, so that it never smears it.
    template <typename F> void RepaintHidingImage(F paint) const
    {
        if (m_hDragImage)
            ImageList_DragShowNolock(FALSE);
        paint();
        if (m_hDragImage)
            ImageList_DragShowNolock(TRUE);
    }
    static DROPEFFECT ProposedEffect(DWORD keys) { return (keys & MK_CONTROL) ? DROPEFFECT_COPY : DROPEFFECT_MOVE; }
    // "VARIRUDAD" in the drag.
    static bool HasServerItems(COleDataObject* data);

    DWORD m_dwExpandDelay = 800;
    DWORD m_dwHoverStart = 0;
    HIMAGELIST m_hDragImage = nullptr;
};

// The enter step of every pane target: the image at the pointer, and the effect the pane's
// rules give there. OLE may drop right after the enter, with no drag-over between (a pointer
// let go as it arrives), and the drop performs what the enter answered: so the enter answers
// what a drag-over would, highlight included, never an unchecked proposal.
class CPaneDropTarget : public CDragDropTarget {
public:
    DROPEFFECT OnDragEnter(CWnd* wnd, COleDataObject* data, DWORD keys, CPoint point) override
    {
        EnterWithImage(wnd, data, keys, point);
        return OnDragOver(wnd, data, keys, point);
    }
    // A drop with no effect never reaches OnDrop, and OLE sends no leave after a drop: the
    // highlight and the image end here.
    DROPEFFECT OnDropEx(CWnd* wnd, COleDataObject* data, DROPEFFECT dropDefault, DROPEFFECT dropList,
                        CPoint point) override
    {
        if (dropDefault != DROPEFFECT_NONE)
            return static_cast<DROPEFFECT>(-1);
        OnDragLeave(wnd);
        return DROPEFFECT_NONE;
    }

protected:
    // A drop with no effect, or a link (Ctrl+Shift over the scroll band), does nothing.
    static bool IsRefusedDrop(DROPEFFECT effect) { return effect == DROPEFFECT_NONE || (effect & DROPEFFECT_LINK); }
};

// What the two folder-tree targets share: the highlighted item and the hover clock.
class CTreeDropTarget : public CPaneDropTarget {
public:
    // Tests set the clock the hover expansion reads.
    DWORD (*m_pTick)() = [] { return ::GetTickCount(); };
    // The item the drag highlights (kept here: Wine's tree does not report its drop item back).
    HTREEITEM m_hHoverItem = nullptr;

protected:
    // Highlights item when the pointer comes onto it; once it rested there past the delay, a
    // collapsed item is opened by expand (the image hidden meanwhile) and the clock restarts.
    void HoverItem(CTreeCtrl& tree, HTREEITEM item, const std::function<void()>& expand);
    // Ends the image and the highlight (leave and drop).
    void EndTreeDrag(CTreeCtrl* tree);
};

// What the two file-list targets share: the drop highlight of one row.
class CListDropTarget : public CPaneDropTarget {
protected:
    // The highlight moved to row (-1: off every row), the image hidden around the repaint.
    void HighlightRow(CListCtrl& list, int row);
    // Ends the image and the highlight (leave).
    void EndListDrag(CListCtrl* list);
    // The highlighted row (-1: none), the highlight cleared: the row a drop goes to.
    int TakeDropRow(CListCtrl& list);
};
