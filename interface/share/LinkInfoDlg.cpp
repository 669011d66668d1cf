// CLinkInfoDlg: a file's links.
#include "LinkInfoDlg.h"
#include "DialogKit.h"
#include "LinkCreateDlg.h"
#include "Resources.h"
#include "ShareCommon.h"
#include "ShareRes.h"
#include "SkinRes.h"
#include "ToviMsg.h"
#include "ToviString.h"
#include <cstring>

IMPLEMENT_DYNAMIC(CLinkInfoDlg, CSharePanelDlg)

BEGIN_MESSAGE_MAP(CLinkInfoDlg, CSharePanelDlg)
    ON_WM_DESTROY()
    ON_BN_CLICKED(IDOK, OnBnClickedOk)
    ON_BN_CLICKED(IDC_LINK_ADD, OnBnClickedBtnInsert)
    ON_BN_CLICKED(IDC_LINK_CHANGE, OnBnClickedBtnModify)
    ON_BN_CLICKED(IDC_LINK_REMOVE, OnBnClickedBtnRemove)
    ON_BN_CLICKED(IDC_LINK_COPY, OnBnClickedBtnCopyUrl)
END_MESSAGE_MAP()

CLinkInfoDlg::CLinkInfoDlg(CWnd* pParent) : CSharePanelDlg(IDD_LINK_LIST, pParent, {IDC_SHARE_FRAME_LEFT}) {}

HWND CLinkInfoDlg::List() const
{
    return ::GetDlgItem(m_hWnd, IDC_LINK_LIST);
}

_PROTO_LINK_INFO* CLinkInfoDlg::Record(int row) const
{
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    ListView_GetItem(List(), &item);
    return reinterpret_cast<_PROTO_LINK_INFO*>(item.lParam);
}

_PROTO_FOLDER_INFO CLinkInfoDlg::File() const
{
    _PROTO_FOLDER_INFO file = {};
    memcpy(file.IDX, m_szItemId, sizeof file.IDX);
    memcpy(file.DIDX, m_szFolderId, sizeof file.DIDX);
    wcsncpy(file.Name, m_wszFileName, 1023);
    return file;
}

BOOL CLinkInfoDlg::OnInitDialog()
{
    CVantelDialog::OnInitDialog();
    const CString title = CToviString::GetString(14231);
    SetWindowText(title);
    SetTitleBar(title);
    share::SetTexts(this, {{IDC_LINK_HEAD_FILES, 14118}});
    dialogkit::SkinButton(m_btnAdd, this, IDC_LINK_ADD, 13, CToviString::GetString(14126), 527);
    dialogkit::SkinButton(m_btnChange, this, IDC_LINK_CHANGE, 13, CToviString::GetString(14127), 524);
    dialogkit::SkinButton(m_btnRemove, this, IDC_LINK_REMOVE, 13, CToviString::GetString(14159), 0);
    dialogkit::SkinButton(m_btnCopy, this, IDC_LINK_COPY, 14, CToviString::GetString(14050), 0);
    dialogkit::SkinButton(m_btnCloseBottom, this, IDCANCEL, 14, CToviString::GetString(14066), 528);
    dialogkit::SkinButton(m_btnClose, this, IDC_SYSBTN_CLOSE, CToviButton::kStyleCaptionClose, CString(), 0);
    dialogkit::PlaceCloseButton(this, &m_btnClose);
    SetDlgItemText(IDC_LINK_NAME, m_wszFileName);

    m_images = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1);
    HICON icon = nullptr;
    ExtractIconExW(L"shell32.dll", 13, nullptr, &icon, 1);
    if (icon) {
        ImageList_AddIcon(m_images, icon);
        DestroyIcon(icon);
    }
    HWND list = List();
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    ListView_SetBkColor(list, RGB(255, 255, 255));
    ListView_SetImageList(list, m_images, LVSIL_SMALL);
    CString url = L"URL", expiry = CToviString::GetString(14121);
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.fmt = LVCFMT_LEFT;
    column.cx = 330;
    column.pszText = const_cast<wchar_t*>(url.GetString());
    ListView_InsertColumn(list, 0, &column);
    column.cx = 120;
    column.pszText = const_cast<wchar_t*>(expiry.GetString());
    ListView_InsertColumn(list, 1, &column);
    DrawLinkList();
    return TRUE;
}

void CLinkInfoDlg::DrawLinkList()
{
    HWND list = List();
    ListView_DeleteAllItems(list);
    if (m_pProto->GetLinkInfo(m_szItemId, m_szFolderId) != 0) {
        m_pProto->LinkInfo.clear();
        dialogkit::MessageBox(m_hWnd, m_pProto->ResultInfo.wszMessage, MB_ICONHAND);
    }
    for (const _PROTO_LINK_INFO& link : m_pProto->LinkInfo) {
        auto* copy = new _PROTO_LINK_INFO(link);
        CString url(link.szUrl);
        LVITEMW item = {};
        item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
        item.iItem = ListView_GetItemCount(list);
        item.pszText = const_cast<wchar_t*>(url.GetString());
        item.lParam = reinterpret_cast<LPARAM>(copy);
        const int row = ListView_InsertItem(list, &item);
        CString expire(link.szExpire);
        ListView_SetItemText(list, row, 1, const_cast<wchar_t*>(expire.GetString()));
    }
}

void CLinkInfoDlg::OnBnClickedBtnInsert()
{
    CLinkCreateDlg dlg(GetParent());
    dlg.m_pProto = m_pProto;
    strcpy(dlg.m_szMode, "C");
    memcpy(dlg.m_szFolderId, m_szFolderId, sizeof dlg.m_szFolderId);
    memcpy(dlg.m_szItemId, m_szItemId, sizeof dlg.m_szItemId);
    dlg.m_vecFiles = {File()};
    if (dlg.DoModal() == IDOK) {
        m_nChanged = 1;
        DrawLinkList();
    }
}

void CLinkInfoDlg::OnBnClickedBtnModify()
{
    const int row = ListView_GetNextItem(List(), -1, LVNI_SELECTED);
    if (row < 0) {
        dialogkit::MessageBox(m_hWnd, CToviMsg::GetString(12050), MB_ICONEXCLAMATION);
        return;
    }
    CLinkCreateDlg dlg(GetParent());
    dlg.m_pProto = m_pProto;
    strcpy(dlg.m_szMode, "M");
    if (const _PROTO_LINK_INFO* record = Record(row))
        dlg.m_chosenLink = *record;
    memcpy(dlg.m_szFolderId, m_szFolderId, sizeof dlg.m_szFolderId);
    memcpy(dlg.m_szItemId, m_szItemId, sizeof dlg.m_szItemId);
    dlg.m_vecFiles = {File()};
    if (dlg.DoModal() == IDOK)
        DrawLinkList();
}

void CLinkInfoDlg::OnBnClickedBtnRemove()
{
    HWND list = List();
    if (ListView_GetNextItem(list, -1, LVNI_SELECTED) < 0) {
        dialogkit::MessageBox(m_hWnd, CToviMsg::GetString(12050), MB_ICONEXCLAMATION);
        return;
    }
    for (int row = ListView_GetNextItem(list, -1, LVNI_SELECTED); row != -1;
         row = ListView_GetNextItem(list, row, LVNI_SELECTED))
        if (_PROTO_LINK_INFO* record = Record(row))
            m_pProto->SetLinkInfo(m_szItemId, m_szFolderId, const_cast<char*>("D"), record);
    DrawLinkList();
    m_nChanged = 1;
}

void CLinkInfoDlg::OnBnClickedBtnCopyUrl()
{
    HWND list = List();
    if (ListView_GetNextItem(list, -1, LVNI_SELECTED) < 0) {
        dialogkit::MessageBox(m_hWnd, CToviMsg::GetString(12050), MB_ICONEXCLAMATION);
        return;
    }
    CString text;
    for (int row = ListView_GetNextItem(list, -1, LVNI_SELECTED); row != -1;
         row = ListView_GetNextItem(list, row, LVNI_SELECTED))
        if (const _PROTO_LINK_INFO* record = Record(row))
            text += CString(record->szUrl) + L"\r\n";
    CopyTextToClipboard(text);
}

int CLinkInfoDlg::CopyTextToClipboard(const CString& text)
{
    if (text.IsEmpty())
        return 0;
    const size_t bytes = (static_cast<size_t>(text.GetLength()) + 1) * sizeof(wchar_t);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!block)
        return 0;
    void* data = GlobalLock(block);
    memcpy(data, text.GetString(), bytes);
    GlobalUnlock(block);
    if (!OpenClipboard(m_hWnd)) {
        GlobalFree(block);
        return 0;
    }
    if (!EmptyClipboard()) {
        GlobalFree(block);
        CloseClipboard();
        return 0;
    }
    if (!SetClipboardData(CF_UNICODETEXT, block)) {
        CloseClipboard();
        GlobalFree(block);
        return 0;
    }
    CloseClipboard();
    return 1;
}

void CLinkInfoDlg::OnNMRclickListLink()
{
    HWND list = List();
    LVHITTESTINFO hit = {};
    GetCursorPos(&hit.pt);
    const POINT screen = hit.pt;
    ::ScreenToClient(list, &hit.pt);
    const int row = ListView_HitTest(list, &hit);
    HMENU menu = LoadMenuW(AfxFindResourceHandle(MAKEINTRESOURCEW(IDR_MENU_LINK), RT_MENU),
                           MAKEINTRESOURCEW(IDR_MENU_LINK));
    if (!menu)
        return;
    HMENU popup = GetSubMenu(menu, 0);
    const bool selected = row >= 0 && (ListView_GetItemState(list, row, LVIS_SELECTED) & LVIS_SELECTED);
    EnableMenuItem(popup, ID_LINK_URL_COPY, MF_BYCOMMAND | (selected ? MF_ENABLED : MF_GRAYED));
    const UINT command = TrackPopupMenu(popup, TPM_RIGHTBUTTON | TPM_RETURNCMD, screen.x, screen.y, 0, m_hWnd,
                                        nullptr);
    DestroyMenu(menu);
    if (command == ID_LINK_URL_COPY)
        OnBnClickedBtnCopyUrl();
}

BOOL CLinkInfoDlg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header->idFrom == IDC_LINK_LIST) {
        *pResult = 0;
        switch (header->code) {
        case LVN_DELETEITEM:
            delete reinterpret_cast<_PROTO_LINK_INFO*>(reinterpret_cast<NMLISTVIEW*>(header)->lParam);
            return TRUE;
        case NM_DBLCLK:
            OnBnClickedBtnModify();
            return TRUE;
        case NM_RCLICK:
            OnNMRclickListLink();
            return TRUE;
        default:
            break;
        }
    }
    return CVantelDialog::OnNotify(wParam, lParam, pResult);
}

void CLinkInfoDlg::OnBnClickedOk()
{
    OnOK();
}

void CLinkInfoDlg::OnDestroy()
{
    if (HWND list = List())
        ListView_DeleteAllItems(list);
    CVantelDialog::OnDestroy();
    if (m_images) {
        ImageList_Destroy(m_images);
        m_images = nullptr;
    }
}

