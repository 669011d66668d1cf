// CVantelListCtrl: icons, row colours, the header check box, column limits, the date editor and
// address editing.
#include "VantelListCtrl.h"
#include "ListIconsRes.h"
#include "ProtoShareRecords.h"
#include "ToviHeaderCtrl.h"
#include "ToviString.h"
#include "VImageList.h"
#include <cstdio>

IMPLEMENT_DYNAMIC(CVantelListCtrl, CListCtrl)

BEGIN_MESSAGE_MAP(CVantelListCtrl, CListCtrl)
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
    ON_NOTIFY_REFLECT_EX(NM_CLICK, OnClick)
    ON_NOTIFY_REFLECT_EX(LVN_COLUMNCLICK, OnColumnClick)
    ON_NOTIFY_REFLECT_EX(LVN_ITEMCHANGED, OnItemChanged)
    ON_NOTIFY_REFLECT_EX(LVN_BEGINLABELEDITW, OnBeginLabelEdit)
    ON_NOTIFY_REFLECT_EX(LVN_ENDLABELEDITW, OnEndLabelEdit)
    ON_NOTIFY_REFLECT_EX(LVN_BEGINSCROLL, OnBeginScroll)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CVantelListCtrl::CVantelListCtrl() = default;

CVantelListCtrl::~CVantelListCtrl()
{
    delete m_pDateEditor;
    delete m_pImageList;
}

void CVantelListCtrl::PreSubclassWindow()
{
    static const UINT kCaptions[5] = { 14091, 14095, 14064, 14097, 14089 };
    static const UINT kShareIcons[] = { IDI_RIGHT_VIEW, IDI_RIGHT_VIEW_PART, IDI_RIGHT_DOWNLOAD, IDI_RIGHT_UPLOAD,
                                        IDI_RIGHT_DELETE, IDI_RIGHT_DELETE_PART };
    static const UINT kGuestIcons[] = { IDI_RIGHT_DOWNLOAD, IDI_RIGHT_DOWNLOAD_OFF, IDI_RIGHT_UPLOAD,
                                        IDI_RIGHT_UPLOAD_OFF, IDI_RIGHT_DELETE, IDI_RIGHT_DELETE_OFF,
                                        IDI_GUEST_INVITED, IDI_GUEST_ACTIVE, IDI_GUEST_STOPPED };
    if (m_nListType == kTypeGuestStates) {
        for (int i = 0; i < 5; ++i)
            m_strCaption[i] = CToviString::GetString(kCaptions[i]);
    } else if (m_nListType == kTypeSharePermissions || IsGuestList()) {
        delete m_pImageList;
        m_pImageList = new CImageList;
        const bool share = m_nListType == kTypeSharePermissions;
        m_pImageList->Create(16, 16, ILC_COLOR32 | ILC_MASK, 0, share ? 6 : 1);
        if (share) {
            for (UINT id : kShareIcons)
                m_pImageList->Add(CVImageList::GetIcon(id, 16, 16));
            if (m_bShowFourthIcon)
                m_pImageList->Add(CVImageList::GetIcon(IDI_RIGHT_SHARE_WRITE, 16, 16));
        } else {
            for (UINT id : kGuestIcons)
                m_pImageList->Add(CVImageList::GetIcon(id, 16, 16));
        }
    }
    CListCtrl::PreSubclassWindow();
}

void CVantelListCtrl::OnDestroy()
{
    Default();
    if (m_nListType == kTypeSharePermissions || IsGuestList()) {
        delete m_pImageList;
        m_pImageList = nullptr;
    }
}

CToviHeaderCtrl* CVantelListCtrl::GetToviHeader() const
{
    HWND header = ListView_GetHeader(m_hWnd);
    if (header == nullptr)
        return nullptr;
    return DYNAMIC_DOWNCAST(CToviHeaderCtrl, CWnd::FromHandlePermanent(header));
}

// ---- Custom draw

void CVantelListCtrl::OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* cd = (NMLVCUSTOMDRAW*)pNMHDR;
    *pResult = CDRF_DODEFAULT;
    switch (cd->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        *pResult = CDRF_NOTIFYITEMDRAW;
        break;
    case CDDS_ITEMPREPAINT:
        *pResult = CDRF_NOTIFYSUBITEMDRAW;
        break;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
        *pResult = SubItemPrePaint(cd);
        break;
    case CDDS_ITEMPOSTPAINT | CDDS_SUBITEM:
        SubItemPostPaint(cd);
        break;
    default:
        break;
    }
}

LRESULT CVantelListCtrl::SubItemPrePaint(NMLVCUSTOMDRAW* cd)
{
    const int row = (int)cd->nmcd.dwItemSpec;
    const int column = cd->iSubItem;
    const bool selected = (GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED) != 0;
    // Colours carry over from cell to cell unless every cell sets its own.
    cd->clrText = ::GetSysColor(COLOR_WINDOWTEXT);
    cd->clrTextBk = ::GetSysColor(COLOR_WINDOW);
    switch (m_nListType) {
    case kTypeGuestStates: {
        const CString state = GetItemText(row, 2);
        if (state == m_strCaption[0]) {
            cd->clrTextBk = 0xEFF8F8;
        } else if (state != m_strCaption[1]) {
            if (state == m_strCaption[2]) {
                cd->clrText = 0x646464;
                cd->clrTextBk = 0xF2F1EC;
            } else if (state == m_strCaption[3]) {
                cd->clrTextBk = 0xFCFEFE;
            } else if (state == m_strCaption[4]) {
                cd->clrText = column == 2 ? 0x0000FF : 0x646464;
                cd->clrTextBk = 0xE0E6EF;
            }
        }
        return CDRF_DODEFAULT;
    }
    case kTypeSharePermissions:
        if (column == 2)
            return CDRF_NOTIFYPOSTPAINT;
        cd->clrTextBk = selected ? 0xE1D6D0 : 0xFFFFFF;
        return CDRF_DODEFAULT;
    case kTypeGuests:
    case kTypeGuestsWithDates: {
        cd->clrTextBk = 0xFFFFFF;
        auto* record = reinterpret_cast<const _PROTO_GUEST_USER_INFO*>(cd->nmcd.lItemlParam);
        if (record && record->cStatus[0] == 'N' && !selected)
            cd->clrText = 0x5B5B5B;
        const int last = m_nListType == kTypeGuests ? 2 : 3;
        if (column >= 1 && column <= last)
            return CDRF_NOTIFYPOSTPAINT;
        return CDRF_DODEFAULT;
    }
    default:
        return CDRF_DODEFAULT;
    }
}

void CVantelListCtrl::DrawIcon(HDC dc, int image, const CRect& cell, int offset)
{
    if (m_pImageList == nullptr || m_pImageList->GetSafeHandle() == nullptr || image < 0 ||
        image >= ImageList_GetImageCount(m_pImageList->GetSafeHandle()))
        return;
    ImageList_Draw(m_pImageList->GetSafeHandle(), image, dc, cell.left + offset,
                   cell.top + (cell.Height() - 16) / 2, ILD_TRANSPARENT);
}

void CVantelListCtrl::SubItemPostPaint(NMLVCUSTOMDRAW* cd)
{
    const int row = (int)cd->nmcd.dwItemSpec;
    const int column = cd->iSubItem;
    HDC dc = cd->nmcd.hdc;
    CRect cell;
    if (!GetSubItemRect(row, column, LVIR_BOUNDS, cell))
        return;
    // Icons taller than the row stay inside their cell.
    const int saved = ::SaveDC(dc);
    ::IntersectClipRect(dc, cell.left, cell.top, cell.right, cell.bottom);
    PostPaintCell(dc, row, column, cell, cd->nmcd.lItemlParam);
    ::RestoreDC(dc, saved);
}

void CVantelListCtrl::PostPaintCell(HDC dc, int row, int column, const CRect& cell, LPARAM itemData)
{
    if (m_nListType == kTypeSharePermissions && column == 2) {
        auto* record = reinterpret_cast<const _PROTO_SHARED_UGROUP*>(itemData);
        const bool selected = (GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED) != 0;
        COLORREF back = ::GetSysColor(COLOR_WINDOW);
        if (selected)
            back = ::GetFocus() == m_hWnd ? ::GetSysColor(COLOR_HIGHLIGHT) : 0xE1D6D0;
        HBRUSH brush = ::CreateSolidBrush(back);
        ::FillRect(dc, &cell, brush);
        ::DeleteObject(brush);
        if (record == nullptr)
            return;
        const char* p = record->Permission;
        if (p[0] == '1')
            DrawIcon(dc, 1, cell, 16);
        else if (p[0] == '2')
            DrawIcon(dc, 0, cell, 16);
        if (p[1] == '2')
            DrawIcon(dc, 2, cell, 34);
        if (p[2] == '2')
            DrawIcon(dc, 3, cell, 52);
        if (p[3] == '1')
            DrawIcon(dc, 5, cell, 70);
        else if (p[3] == '2')
            DrawIcon(dc, 4, cell, 70);
        if (m_bShowFourthIcon && record->Write[0] == '2')
            DrawIcon(dc, 6, cell, 88);
        return;
    }
    if (!IsGuestList())
        return;
    auto* record = reinterpret_cast<const _PROTO_GUEST_USER_INFO*>(itemData);
    const int stateColumn = m_nListType == kTypeGuests ? 2 : 3;
    if (column == 1 && record) {
        const char* p = record->szPermission;
        DrawIcon(dc, p[1] != '2' ? 1 : 0, cell, 16);
        DrawIcon(dc, p[2] != '2' ? 3 : 2, cell, 34);
        DrawIcon(dc, p[3] == '2' ? 4 : 5, cell, 52);
    } else if (column == stateColumn && record) {
        switch (record->cStatus[0]) {
        case 'R': DrawIcon(dc, 6, cell, 16); break;
        case 'Y': DrawIcon(dc, 7, cell, 16); break;
        case 'N': DrawIcon(dc, 8, cell, 16); break;
        default: break;
        }
    } else if (m_nListType == kTypeGuestsWithDates && column == 2 && m_pDateEditor &&
               ::IsWindow(m_pDateEditor->m_hWnd) && m_nEditColumn == 2) {
        // The editor follows its cell (after scrolling it was hidden), and only shows over it.
        if (row == m_nEditRow) {
            CRect label;
            GetSubItemRect(row, 2, LVIR_LABEL, label);
            m_pDateEditor->MoveWindow(&label);
            m_pDateEditor->ShowWindow(SW_SHOW);
        }
    }
}

// ---- Selection, header check box, scrolling

BOOL CVantelListCtrl::OnItemChanged(NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* nm = (NMLISTVIEW*)pNMHDR;
    *pResult = 0;
    const UINT both = LVIS_SELECTED | LVIS_FOCUSED;
    if (IsGuestList() && nm->iItem >= 0 && (nm->uChanged & LVIF_STATE) && (nm->uNewState & both) == both)
        SetItemState(nm->iItem, 0, both);   // guest rows are never shown selected
    return FALSE;
}

BOOL CVantelListCtrl::OnColumnClick(NMHDR*, LRESULT* pResult)
{
    *pResult = 0;
    if (!IsGuestList())
        return FALSE;
    CToviHeaderCtrl* header = GetToviHeader();
    if (header == nullptr || !header->m_bCheckColumn)
        return FALSE;
    POINT pt = {};
    ::GetCursorPos(&pt);
    ::ScreenToClient(header->m_hWnd, &pt);
    if (!header->m_rcCheck.PtInRect(pt))
        return FALSE;
    header->m_nCheckState = header->m_nCheckState ? 0 : 1;
    const int count = GetItemCount();
    for (int i = 0; i < count; ++i)
        SetCheck(i, header->m_nCheckState != 0);
    header->Invalidate();
    return FALSE;
}

BOOL CVantelListCtrl::OnBeginScroll(NMHDR*, LRESULT* pResult)
{
    *pResult = 0;
    if (m_nListType == kTypeGuestsWithDates && m_pDateEditor && m_pDateEditor->IsWindow() &&
        m_pDateEditor->IsWindowVisible())
        m_pDateEditor->ShowWindow(SW_HIDE);
    return FALSE;
}

BOOL CVantelListCtrl::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    auto* hdr = (NMHDR*)lParam;
    if (IsGuestList() && hdr && (hdr->code == HDN_ITEMCHANGINGW || hdr->code == HDN_ITEMCHANGINGA)) {
        auto* nm = (NMHEADERW*)lParam;
        if (nm->pitem && (nm->pitem->mask & HDI_WIDTH)) {
            if (GetToviHeader() == nullptr) {
                *pResult = TRUE;
                return TRUE;
            }
            const int last = m_nListType == kTypeGuests ? 2 : 3;
            if (nm->iItem == 0 && nm->pitem->cxy <= 100) {
                *pResult = TRUE;   // the address column stays readable
                return TRUE;
            }
            if (nm->iItem >= 1 && nm->iItem <= last) {
                const int width = GetColumnWidth(nm->iItem);
                if (nm->pitem->cxy != width) {
                    nm->pitem->cxy = width;   // the icon columns are laid out for their icons
                    *pResult = TRUE;
                    return TRUE;
                }
            }
        }
    }
    return CListCtrl::OnNotify(wParam, lParam, pResult);
}
