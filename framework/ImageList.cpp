// Image lists: icons and bitmaps for lists, trees and menus, and drag images.
#include "ImageList.h"
#include "Dc.h"
#include "Resources.h"
#include "TempHandleMap.h"
#include "Wnd.h"

IMPLEMENT_DYNAMIC(CImageList, CObject)

namespace {

HWND LockWindow(CWnd* lock)
{
    return lock ? lock->GetSafeHwnd() : nullptr;
}

} // namespace

CImageList::~CImageList()
{
    DeleteImageList();
}

CImageList* CImageList::FromHandle(HIMAGELIST handle)
{
    return CTempHandleMap<CImageList, HIMAGELIST>::Get(handle);
}

void CImageList::DeleteTempMap()
{
    CTempHandleMap<CImageList, HIMAGELIST>::Clear();
}

BOOL CImageList::Attach(HIMAGELIST handle)
{
    if (handle == nullptr || m_hImageList != nullptr)
        return FALSE;
    m_hImageList = handle;
    return TRUE;
}

HIMAGELIST CImageList::Detach()
{
    HIMAGELIST handle = m_hImageList;
    m_hImageList = nullptr;
    return handle;
}

BOOL CImageList::DeleteImageList()
{
    if (m_hImageList == nullptr)
        return FALSE;
    return ImageList_Destroy(Detach());
}

BOOL CImageList::Create(int cx, int cy, UINT flags, int initial, int grow)
{
    return Attach(ImageList_Create(cx, cy, flags, initial, grow));
}

BOOL CImageList::Create(UINT bitmapId, int cx, int grow, COLORREF mask)
{
    return Create(MAKEINTRESOURCEW(bitmapId), cx, grow, mask);
}

BOOL CImageList::Create(LPCWSTR bitmapName, int cx, int grow, COLORREF mask)
{
    HINSTANCE module = AfxFindResourceHandle(bitmapName, RT_BITMAP);
    return Attach(ImageList_LoadImageW(module, bitmapName, cx, grow, mask, IMAGE_BITMAP, LR_CREATEDIBSECTION));
}

BOOL CImageList::Create(CImageList* source)
{
    if (source == nullptr || source->m_hImageList == nullptr)
        return FALSE;
    return Attach(ImageList_Duplicate(source->m_hImageList));
}

BOOL CImageList::Create(CImageList* list1, int a, CImageList* list2, int b, int dx, int dy)
{
    if (list1 == nullptr || list2 == nullptr)
        return FALSE;
    return Attach(ImageList_Merge(list1->m_hImageList, a, list2->m_hImageList, b, dx, dy));
}

int CImageList::Add(CBitmap* bitmap, CBitmap* mask)
{
    if (bitmap == nullptr)
        return -1;
    return ImageList_Add(m_hImageList, *bitmap, mask ? static_cast<HBITMAP>(*mask) : nullptr);
}

int CImageList::Add(CBitmap* bitmap, COLORREF maskColor)
{
    if (bitmap == nullptr)
        return -1;
    return ImageList_AddMasked(m_hImageList, *bitmap, maskColor);
}

BOOL CImageList::Replace(int image, CBitmap* bitmap, CBitmap* mask)
{
    if (bitmap == nullptr)
        return FALSE;
    return ImageList_Replace(m_hImageList, image, *bitmap, mask ? static_cast<HBITMAP>(*mask) : nullptr);
}

BOOL CImageList::Draw(CDC* dc, int image, POINT point, UINT style)
{
    if (dc == nullptr)
        return FALSE;
    return ImageList_Draw(m_hImageList, image, *dc, point.x, point.y, style);
}

BOOL CImageList::DrawEx(CDC* dc, int image, POINT point, SIZE size, COLORREF background,
                        COLORREF foreground, UINT style)
{
    if (dc == nullptr)
        return FALSE;
    return ImageList_DrawEx(m_hImageList, image, *dc, point.x, point.y, size.cx, size.cy, background,
                            foreground, style);
}

BOOL CImageList::DrawIndirect(IMAGELISTDRAWPARAMS* params)
{
    if (params == nullptr)
        return FALSE;
    params->cbSize = sizeof(IMAGELISTDRAWPARAMS);
    if (params->himl == nullptr)
        params->himl = m_hImageList;
    return ImageList_DrawIndirect(params);
}

BOOL CImageList::DrawIndirect(CDC* dc, int image, POINT point, SIZE size, POINT origin, UINT style,
                              DWORD rop, COLORREF background, COLORREF foreground, DWORD state,
                              DWORD frame, COLORREF effect)
{
    if (dc == nullptr)
        return FALSE;
    IMAGELISTDRAWPARAMS params = {};
    params.himl = m_hImageList;
    params.i = image;
    params.hdcDst = *dc;
    params.x = point.x;
    params.y = point.y;
    params.cx = size.cx;
    params.cy = size.cy;
    params.xBitmap = origin.x;
    params.yBitmap = origin.y;
    params.rgbBk = background;
    params.rgbFg = foreground;
    params.fStyle = style;
    params.dwRop = rop;
    params.fState = state;
    params.Frame = frame;
    params.crEffect = effect;
    return DrawIndirect(&params);
}

BOOL CImageList::DragEnter(CWnd* lock, POINT point)
{
    return ImageList_DragEnter(LockWindow(lock), point.x, point.y);
}

BOOL CImageList::DragLeave(CWnd* lock)
{
    return ImageList_DragLeave(LockWindow(lock));
}

CImageList* CImageList::GetDragImage(POINT* point, POINT* hotSpot)
{
    return FromHandle(ImageList_GetDragImage(point, hotSpot));
}
