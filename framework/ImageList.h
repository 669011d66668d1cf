// Image lists: icons and bitmaps for lists, trees and menus, and drag images.
#pragma once
#include "FrameworkApi.h"
#include "Gdi.h"
#include <commctrl.h>

class CDC;
class CWnd;
template <class TObject, class THandle> class CTempHandleMap;

// Owns its HIMAGELIST: the destructor destroys it unless it was detached. A list owned by
// someone else (the shell's system image list) must be detached before this object goes.
// FromHandle gives a per-thread temporary that owns nothing.
class FW_API CImageList : public CObject {
    DECLARE_DYNAMIC(CImageList)
public:
    CImageList() = default;
    ~CImageList() override;

    static CImageList* FromHandle(HIMAGELIST handle);
    static void DeleteTempMap();

    HIMAGELIST GetSafeHandle() const { return m_hImageList; }
    operator HIMAGELIST() const { return m_hImageList; }
    BOOL Attach(HIMAGELIST handle);
    HIMAGELIST Detach();
    BOOL DeleteImageList();

    // flags: ILC_COLOR32 | ILC_MASK and the like; grow is how many images to add room for.
    BOOL Create(int cx, int cy, UINT flags, int initial, int grow);
    // From a bitmap resource cut into cx-wide images; mask is the transparent colour or
    // CLR_NONE. The resource is looked up in the registered resource modules.
    BOOL Create(UINT bitmapId, int cx, int grow, COLORREF mask);
    BOOL Create(LPCWSTR bitmapName, int cx, int grow, COLORREF mask);
    // A copy of another list (for example of the shell's system list, to extend it).
    BOOL Create(CImageList* source);
    // Image a of list1 with image b of list2 drawn over it at (dx, dy): a combined drag image.
    BOOL Create(CImageList* list1, int a, CImageList* list2, int b, int dx, int dy);

    int GetImageCount() const { return ImageList_GetImageCount(m_hImageList); }
    // Grows (with blank images) or shrinks the list.
    BOOL SetImageCount(UINT count) { return ImageList_SetImageCount(m_hImageList, count); }
    BOOL GetImageInfo(int image, IMAGEINFO* info) const { return ImageList_GetImageInfo(m_hImageList, image, info); }
    BOOL GetIconSize(int* cx, int* cy) const { return ImageList_GetIconSize(m_hImageList, cx, cy); }
    COLORREF SetBkColor(COLORREF color) { return ImageList_SetBkColor(m_hImageList, color); }
    COLORREF GetBkColor() const { return ImageList_GetBkColor(m_hImageList); }

    // Each returns the new image's index, or -1.
    int Add(CBitmap* bitmap, CBitmap* mask);
    int Add(CBitmap* bitmap, COLORREF maskColor);
    int Add(HICON icon) { return ImageList_ReplaceIcon(m_hImageList, -1, icon); }
    BOOL Replace(int image, CBitmap* bitmap, CBitmap* mask);
    // Returns the index replaced, or -1.
    int Replace(int image, HICON icon) { return ImageList_ReplaceIcon(m_hImageList, image, icon); }
    // image -1 removes all images.
    BOOL Remove(int image) { return ImageList_Remove(m_hImageList, image); }
    BOOL Copy(int target, int source, UINT flags = ILCF_MOVE) { return ImageList_Copy(m_hImageList, target, m_hImageList, source, flags); }
    // A new icon the caller destroys (DestroyIcon).
    HICON ExtractIcon(int image) { return ImageList_GetIcon(m_hImageList, image, ILD_NORMAL); }
    // overlay is 1-based, the value INDEXTOOVERLAYMASK takes.
    BOOL SetOverlayImage(int image, int overlay) { return ImageList_SetOverlayImage(m_hImageList, image, overlay); }

    BOOL Draw(CDC* dc, int image, POINT point, UINT style);
    BOOL DrawEx(CDC* dc, int image, POINT point, SIZE size, COLORREF background, COLORREF foreground, UINT style);
    BOOL DrawIndirect(IMAGELISTDRAWPARAMS* params);
    BOOL DrawIndirect(CDC* dc, int image, POINT point, SIZE size, POINT origin, UINT style = ILD_NORMAL,
                      DWORD rop = SRCCOPY, COLORREF background = CLR_DEFAULT,
                      COLORREF foreground = CLR_DEFAULT, DWORD state = ILS_NORMAL, DWORD frame = 0,
                      COLORREF effect = CLR_DEFAULT);

    // Drag images: one drag at a time per process. lock is the window the image is drawn over
    // (null: the desktop); points are relative to that window's top-left corner.
    BOOL BeginDrag(int image, POINT hotSpot) { return ImageList_BeginDrag(m_hImageList, image, hotSpot.x, hotSpot.y); }
    BOOL SetDragCursorImage(int image, POINT hotSpot) { return ImageList_SetDragCursorImage(m_hImageList, image, hotSpot.x, hotSpot.y); }
    static BOOL DragEnter(CWnd* lock, POINT point);
    static BOOL DragLeave(CWnd* lock);
    static BOOL DragMove(POINT point) { return ImageList_DragMove(point.x, point.y); }
    static BOOL DragShowNolock(BOOL show) { return ImageList_DragShowNolock(show); }
    static void EndDrag() { ImageList_EndDrag(); }
    // The temporary drag image list, or null when no drag is under way.
    static CImageList* GetDragImage(POINT* point, POINT* hotSpot);

    HIMAGELIST m_hImageList = nullptr;

protected:
    template <class TObject, class THandle> friend class CTempHandleMap;
    void AttachTemporary(HIMAGELIST handle) { m_hImageList = handle; }
    void DetachTemporary() { m_hImageList = nullptr; }
};
