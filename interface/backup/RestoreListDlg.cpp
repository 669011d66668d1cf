// CRestoreListDlg: restored items; a double click chooses one.
#include "BackupLook.h"
#include "DialogKit.h"
#include "RestoreListDlg.h"
#include "BackupRes.h"
#include "MessageBoxDlgRes.h"
#include "ShareCommon.h"
#include "SkinRes.h"
#include "ToviMsg.h"
#include "ToviString.h"
#include <commctrl.h>
#include <shellapi.h>
#include <shlwapi.h>
#include <cstdlib>
#include <cstring>
#include <cwchar>

IMPLEMENT_DYNAMIC(CRestoreListDlg, CVantelDialog)

BEGIN_MESSAGE_MAP(CRestoreListDlg, CVantelDialog)
    ON_WM_ERASEBKGND()
    ON_WM_CTLCOLOR()
    ON_BN_CLICKED(IDC_SYSBTN_CLOSE, OnCloseButton)
    ON_NOTIFY(NM_DBLCLK, IDC_RESTORE_LIST, OnListDoubleClick)
END_MESSAGE_MAP()

namespace {
const COLORREF kHeadingColour = RGB(84, 141, 222);

// The row's own copy of what the list shows and hands back.
_PROTO_FOLDER_INFO* RowRecord(const _PROTO_FOLDER_INFO& from)
{
    _PROTO_FOLDER_INFO* row = new _PROTO_FOLDER_INFO();
    memcpy(row->ItemType, from.ItemType, sizeof row->ItemType);
    memcpy(row->IDX, from.IDX, sizeof row->IDX);
    memcpy(row->DIDX, from.DIDX, sizeof row->DIDX);
    wcsncpy_s(row->Name, 512, from.Name, _TRUNCATE);
    wcsncpy_s(row->Attr197, 4096, from.Attr197, _TRUNCATE);
    memcpy(row->Attr192, from.Attr192, sizeof row->Attr192);
    wcsncpy_s(row->Attr188, 24, from.Attr188, _TRUNCATE);
    wcsncpy_s(row->Attr183, 128, from.Attr183, _TRUNCATE);
    return row;
}

bool IsFolder(const _PROTO_FOLDER_INFO* r)
{
    return r->ItemType[0] == 'D' && r->ItemType[1] == '\0';
}
} // namespace

CRestoreListDlg::CRestoreListDlg(CWnd* pParent) : CVantelDialog(IDD_RESTORE_LIST, pParent) {}

CRestoreListDlg::~CRestoreListDlg()
{
    if (m_hBold)
        DeleteObject(m_hBold);
}

BOOL CRestoreListDlg::OnInitDialog()
{
    CVantelDialog::OnInitDialog();
    backuplook::ApplyFace(m_hWnd, m_nProductType, m_fontDlg, m_fontTitle);
    const CString title = CToviString::GetString(14130);
    SetWindowText(title.GetString());
    SetTitleBar(title);

    m_hBold = dialogkit::CreateBoldDialogFont(this);
    ::SendMessageW(::GetDlgItem(m_hWnd, IDC_RESTORE_LIST_HEADING), WM_SETFONT, reinterpret_cast<WPARAM>(m_hBold), TRUE);
    SetDlgItemText(IDC_RESTORE_LIST_HEADING, CToviMsg::GetString(12051).GetString());
    SetDlgItemText(IDC_RESTORE_LIST_HINT, CToviMsg::GetString(12052).GetString());

    dialogkit::SkinButton(m_btnOk, this, IDOK, 13, CToviString::GetString(14061), IDI_BTN_CONFIRM);
    dialogkit::SkinButton(m_btnClose, this, IDC_SYSBTN_CLOSE, CToviButton::kStyleCaptionClose, CString(), 0);
    dialogkit::PlaceCloseButton(this, &m_btnClose);

    m_list.SubclassDlgItem(IDC_RESTORE_LIST, this);
    m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_FULLROWSELECT);
    m_list.ModifyStyle(0, LVS_SHAREIMAGELISTS);
    HIMAGELIST system = dialogkit::SystemSmallImages();
    if (system)
        m_list.SetImageList(system, LVSIL_SMALL);
    m_list.InsertColumn(0, CToviString::GetString(14000).GetString(), LVCFMT_LEFT, 160);
    m_list.InsertColumn(1, CToviString::GetString(14029).GetString(), LVCFMT_LEFT, 290);
    m_list.InsertColumn(2, CToviString::GetString(14002).GetString(), LVCFMT_RIGHT, 120);
    DrawList();
    return TRUE;
}

int CRestoreListDlg::DrawList()
{
    m_list.SetRedraw(FALSE);
    CleanAllListItems();
    for (size_t i = 0; i < m_vecItems.size(); ++i)
        InsertListItem(static_cast<int>(i), m_vecItems[i]);
    m_list.SetRedraw(TRUE);
    return 0;
}

int CRestoreListDlg::InsertListItem(int index, const _PROTO_FOLDER_INFO& record)
{
    _PROTO_FOLDER_INFO* row = RowRecord(record);
    int icon = -1;
    SHFILEINFOW info = {};
    if (row->ItemType[0] == 'F' && row->ItemType[1] == '\0') {
        SHGetFileInfoW(row->Name, FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                       SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES);
        icon = info.iIcon;
    } else if (IsFolder(row)) {
        SHGetFileInfoW(L"folder", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info,
                       SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES);
        icon = info.iIcon;
    }
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = index;
    item.pszText = row->Name;
    item.iImage = icon;
    item.lParam = reinterpret_cast<LPARAM>(row);
    const int at = m_list.InsertItem(&item);
    if (at < 0) {
        delete row;
        return 0;
    }
    m_list.SetItemText(at, 1, row->Attr197);
    // The type as the server list words it: the shell's name for the kind of item.
    SHFILEINFOW type = {};
    if (SHGetFileInfoW(IsFolder(row) ? L"folder" : row->Name, IsFolder(row) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL,
                       &type, sizeof type, SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES))
        m_list.SetItemText(at, 2, type.szTypeName);
    return 0;
}

void CRestoreListDlg::CleanAllListItems()
{
    if (!m_list.GetSafeHwnd())
        return;
    const int count = m_list.GetItemCount();
    for (int i = 0; i < count; ++i)
        delete reinterpret_cast<_PROTO_FOLDER_INFO*>(m_list.GetItemData(i));
    m_list.DeleteAllItems();
}

void CRestoreListDlg::InitSortItems()
{
    m_nSortColumn = 0;
    m_nSortAscending = 0;
    ::SendMessageW(m_list.GetSafeHwnd(), LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(&CompareFunc));
}

int CRestoreListDlg::StringCompare(CString a, CString b)
{
    return StrCmpLogicalW(a.GetString(), b.GetString());
}

int CRestoreListDlg::SizeCompare(__int64 a, __int64 b)
{
    return a == b ? 0 : (a > b ? 1 : -1);
}

int CALLBACK CRestoreListDlg::CompareFunc(LPARAM a, LPARAM b, LPARAM sortParam)
{
    const _PROTO_FOLDER_INFO* left = reinterpret_cast<const _PROTO_FOLDER_INFO*>(a);
    const _PROTO_FOLDER_INFO* right = reinterpret_cast<const _PROTO_FOLDER_INFO*>(b);
    if (!left || !right)
        return -1;
    if (sortParam > 0x3FFFF)
        return 0;
    if (IsFolder(left) != IsFolder(right))
        return IsFolder(left) ? -1 : 1;
    const int column = static_cast<int>(sortParam >> 16);
    const bool ascending = (sortParam & 0xFFFF) != 0;
    int result = 0;
    switch (column) {
    case 0:
        result = StringCompare(left->Name, right->Name);
        break;
    case 1:
        result = SizeCompare(_atoi64(left->Attr192), _atoi64(right->Attr192));
        break;
    case 2:
        result = StringCompare(left->Attr183, right->Attr183);
        break;
    case 3:
        result = StringCompare(left->Attr188, right->Attr188);
        break;
    default:
        break;
    }
    return ascending ? result : -result;
}

void CRestoreListDlg::OnListDoubleClick(NMHDR* pNMHDR, LRESULT* pResult)
{
    (void)pNMHDR;
    *pResult = 0;
    const int row = static_cast<int>(::SendMessageW(m_list.GetSafeHwnd(), LVM_GETNEXTITEM, -1, LVNI_SELECTED));
    if (row < 0)
        return;
    const _PROTO_FOLDER_INFO* record = reinterpret_cast<const _PROTO_FOLDER_INFO*>(m_list.GetItemData(row));
    if (!record)
        return;
    m_nIsFile = record->ItemType[0] == 'F' && record->ItemType[1] == '\0';
    memcpy(m_szChosenIdx, record->IDX, sizeof m_szChosenIdx);
    m_szChosenIdx[sizeof m_szChosenIdx - 1] = '\0';
    m_strChosenPath = record->Attr197;
    m_nChosen = 1;
    CleanAllListItems();
    CVantelDialog::OnOK();
}

void CRestoreListDlg::OnOK()
{
    CleanAllListItems();
    CVantelDialog::OnOK();
}

void CRestoreListDlg::OnCloseButton()
{
    OnOK();
}

BOOL CRestoreListDlg::OnEraseBkgnd(CDC* pDC)
{
    return share::PaintPanels(this, pDC, {IDC_BACKUP_FRAME});
}

HBRUSH CRestoreListDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    (void)nCtlColor;
    const int id = pWnd ? ::GetDlgCtrlID(pWnd->GetSafeHwnd()) : 0;
    HDC dc = pDC->GetSafeHdc();
    SetBkColor(dc, RGB(255, 255, 255));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, id == IDC_RESTORE_LIST_HEADING ? kHeadingColour : RGB(31, 31, 31));
    return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
}
