// CVersionManagementDlg: the version list of a server file.
#include "VersionManagementDlg.h"
#include "DialogKit.h"
#include "DownloadRes.h"
#include "FileUtils.h"
#include "SkinRes.h"
#include "ToviButton.h"
#include "ToviMessages.h"
#include "ToviMsg.h"
#include "ToviProto.h"
#include "ToviString.h"
#include "TransferCommon.h"
#include <commctrl.h>
#include <shlobj.h>

IMPLEMENT_DYNAMIC(CVersionManagementDlg, CVantelDialog)

BEGIN_MESSAGE_MAP(CVersionManagementDlg, CVantelDialog)
    ON_WM_ERASEBKGND()
    ON_WM_DESTROY()
    ON_BN_CLICKED(IDC_SYSBTN_CLOSE, OnCloseButton)
END_MESSAGE_MAP()

namespace {

const UINT kCancelIcon = 528;

CString BrowseForFolder(HWND owner, const CString& title)
{
    BROWSEINFOW info = {};
    info.hwndOwner = owner;
    info.lpszTitle = title.GetString();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_VALIDATE;
    PIDLIST_ABSOLUTE chosen = ::SHBrowseForFolderW(&info);
    if (!chosen)
        return CString();
    wchar_t path[MAX_PATH] = {};
    const BOOL ok = ::SHGetPathFromIDListW(chosen, path);
    ::CoTaskMemFree(chosen);
    return ok ? CString(path) : CString();
}

void CopyText(char* dest, size_t size, const char* src)
{
    strncpy(dest, src, size - 1);
    dest[size - 1] = 0;
}

}

CVersionManagementDlg::FolderChooserFn CVersionManagementDlg::s_pfnChooseFolder = BrowseForFolder;

CVersionManagementDlg::CVersionManagementDlg(CWnd* pParent) : CVantelDialog(IDD_VERSION_LIST, pParent)
{
}

CVersionManagementDlg::~CVersionManagementDlg()
{
    delete m_pClose;
    delete m_pCaptionClose;
}

BOOL CVersionManagementDlg::OnInitDialog()
{
    CVantelDialog::OnInitDialog();
    SetWindowText(CToviString::GetString(14027).GetString());
    SetTitleBar(CToviString::GetString(14027));
    InitControl();
    m_list.SetTextColor(::GetSysColor(COLOR_WINDOWTEXT));
    m_list.SetBkColor(0xFFFFFF);
    m_list.SetTextBkColor(0xFFFFFF);
    m_list.InsertColumn(0, L"No.", LVCFMT_LEFT, 35);
    m_list.InsertColumn(1, CToviString::GetString(14003).GetString(), LVCFMT_LEFT, 120);
    m_list.InsertColumn(2, CToviString::GetString(14145).GetString(), LVCFMT_LEFT, 90);
    m_list.InsertColumn(3, CToviString::GetString(14001).GetString(), LVCFMT_RIGHT, 60);
    m_list.InsertColumn(4, CToviString::GetString(14146).GetString(), LVCFMT_LEFT, 150);
    DWORD style = m_list.GetExtendedStyle() | LVS_EX_FULLROWSELECT;
    if (CFileUtils::GetWindowsType() > 5)
        style |= LVS_EX_DOUBLEBUFFER;
    m_list.SetExtendedStyle(style);
    m_header.Init(m_list.GetHeaderCtrl());
    SetDlgItemText(IDC_VERSION_NAME, ShownName().GetString());
    DrawVersionList();
    return TRUE;
}

void CVersionManagementDlg::InitControl()
{
    m_list.SubclassDlgItem(IDC_VERSION_LIST, this);
    m_list.SetType(CToviListCtrl::kTypeVersion);
    m_list.SetFont();
    SetDlgItemText(IDC_VERSION_LABEL, CToviString::GetString(14118).GetString());
    CString kept;
    kept.Format(CToviMsg::GetString(12053).GetString(), m_nKeptVersions);
    SetDlgItemText(IDC_VERSION_INFO_KEPT, kept.GetString());
    SetDlgItemText(IDC_VERSION_INFO_DELETE, CToviMsg::GetString(12055).GetString());
    m_pClose = new CToviButton();
    dialogkit::SkinButton(*m_pClose, this, IDCANCEL, 14, CToviString::GetString(14066), kCancelIcon);
    m_pCaptionClose = new CToviButton();
    dialogkit::SkinButton(*m_pCaptionClose, this, IDC_SYSBTN_CLOSE, CToviButton::kStyleCaptionClose, CString(), 0);
    dialogkit::PlaceCloseButton(this, m_pCaptionClose);
    if (CWnd* hidden = GetDlgItem(IDC_DIALOG_HIDDEN))
        hidden->ShowWindow(SW_HIDE);
}

BOOL CVersionManagementDlg::OnEraseBkgnd(CDC* pDC)
{
    CRect rect;
    GetClientRect(&rect);
    return DrawBkgnd(pDC, rect);
}

void CVersionManagementDlg::OnCloseButton()
{
    OnCancel();
}

void CVersionManagementDlg::DrawVersionList()
{
    CleanAllLinkListItems();
    if (!m_pProto)
        return;
    if (m_pProto->GetVersion(m_szFileId, m_szRequestId) != 0) {
        m_pProto->ReleaseVersionInfo();
        dialogkit::MessageBox(m_hWnd, m_pProto->ResultInfo.wszMessage, MB_ICONHAND);
        return;
    }
    int row = 0;
    for (const _PROTO_VERSION_INFO& record : m_pProto->VersionInfo) {
        _VERSION_ITEM* item = new _VERSION_ITEM();
        _PROTO_VERSION_INFO& v = item->Version;
        CopyText(v.IDX, sizeof v.IDX, record.IDX);
        CopyText(v.DIDX, sizeof v.DIDX, record.DIDX);
        CopyText(v.Attr209, sizeof v.Attr209, record.Attr209);
        wcsncpy(v.Attr187, record.Attr187, 23);
        CopyText(v.Attr50, sizeof v.Attr50, record.Attr50);
        CopyText(v.Attr192, sizeof v.Attr192, record.Attr192);
        CopyText(v.Attr169, sizeof v.Attr169, record.Attr169);
        wcsncpy(v.Attr183, record.Attr183, 50);
        CopyText(v.Attr189, sizeof v.Attr189, record.Attr189);
        CopyText(v.Attr9, sizeof v.Attr9, record.Attr9);
        // What does not fit stays empty, never cut: its download is refused.
        transfer::CopyFitting(item->FileName, _countof(item->FileName), ShownName().GetString());
        transfer::CopyFitting(item->ServerPath, _countof(item->ServerPath), m_strServerPath.GetString());

        CString saver = v.Attr183;
        if (v.Attr169[0])
            saver += L" (" + CString(v.Attr169) + L")";
        const int at = m_list.InsertItem(LVIF_TEXT | LVIF_PARAM, row, CString(v.Attr209).GetString(), 0, 0, 0,
                                         reinterpret_cast<LPARAM>(item));
        if (at < 0) {
            delete item;
            continue;
        }
        m_list.SetItemText(at, 1, v.Attr187);
        m_list.SetItemText(at, 2, saver.GetString());
        m_list.SetItemText(at, 3, CFileUtils::ConvertFileSize(_atoi64(v.Attr192)).GetString());
        CToviButton* download = new CToviButton();
        CToviButton* remove = new CToviButton();
        v.ButtonSlots[0] = download;
        v.ButtonSlots[1] = remove;
        m_list.SetItemControl(at, CToviListCtrl::kButtonColumn, download, remove, v.Attr189);
        ++row;
    }
    m_pProto->ReleaseVersionInfo();
}

BOOL CVersionManagementDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    HWND from = reinterpret_cast<HWND>(lParam);
    if (from && HIWORD(wParam) == BN_CLICKED && m_list.GetSafeHwnd()) {
        int which = 0;
        const int row = m_list.GetButtonRow(from, &which);
        if (row >= 0) {
            if (which == 0)
                DownloadItem(row);
            else
                DeleteItem(row);
            return TRUE;
        }
    }
    return CVantelDialog::OnCommand(wParam, lParam);
}

int CVersionManagementDlg::DownloadItem(int row)
{
    _VERSION_ITEM* item = reinterpret_cast<_VERSION_ITEM*>(m_list.GetItemData(row));
    if (!item)
        return 0;
    const CString refused = RefusedText(*item);
    if (!refused.IsEmpty()) {
        dialogkit::MessageBox(m_hWnd, refused, MB_ICONHAND);
        return 0;
    }
    CString folder;
    if (m_nPresetFlag && m_wszPresetFolder[0])
        folder = m_wszPresetFolder;
    else
        folder = s_pfnChooseFolder(m_hWnd, CToviString::GetString(14147));
    if (folder.IsEmpty())
        return 0;
    if (m_hOwner)
        ::SendMessageW(m_hOwner, WM_VERSION_DOWNLOAD, reinterpret_cast<WPARAM>(item),
                       reinterpret_cast<LPARAM>(folder.GetString()));
    return 0;
}

CString CVersionManagementDlg::ShownName() const
{
    return CString(m_wszFileName, static_cast<int>(wcsnlen(m_wszFileName, _countof(m_wszFileName))));
}

CString CVersionManagementDlg::RefusedText(const _VERSION_ITEM& item) const
{
    const CString name = ShownName();
    if (name.GetLength() >= static_cast<int>(_countof(item.FileName)))
        return transfer::TooLongText(name, true);
    if (m_strServerPath.GetLength() >= static_cast<int>(_countof(item.ServerPath)))
        return transfer::TooLongText(name, false);
    return CString();
}

int CVersionManagementDlg::DeleteItem(int row)
{
    _VERSION_ITEM* item = reinterpret_cast<_VERSION_ITEM*>(m_list.GetItemData(row));
    if (!item || !m_pProto)
        return -1;
    CString question;
    question.Format(L"%s %s", CToviMsg::GetString(12055).GetString(), CToviMsg::GetString(12056).GetString());
    if (dialogkit::MessageBox(m_hWnd, question, MB_YESNO) != IDYES)
        return -1;
    char kind[] = "F";
    char mode[] = "0";
    if (m_pProto->GetDelete(kind, item->Version.IDX, item->Version.DIDX, item->Version.Attr209, mode, m_szFolderId) !=
        0) {
        dialogkit::MessageBox(m_hWnd, m_pProto->ResultInfo.wszMessage, MB_ICONHAND);
        return -1;
    }
    // Older versions go with the deleted one: the rows below it.
    for (int last = m_list.GetItemCount() - 1; last >= row; --last)
        RemoveRow(last);
    return 0;
}

void CVersionManagementDlg::RemoveRow(int row)
{
    _VERSION_ITEM* item = reinterpret_cast<_VERSION_ITEM*>(m_list.GetItemData(row));
    m_list.DeleteItem(row);
    if (!item)
        return;
    for (void*& slot : item->Version.ButtonSlots) {
        CToviButton* button = static_cast<CToviButton*>(slot);
        if (button && button->GetSafeHwnd())
            button->DestroyWindow();
        delete button;
        slot = nullptr;
    }
    delete item;
}

void CVersionManagementDlg::CleanAllLinkListItems()
{
    if (!m_list.GetSafeHwnd())
        return;
    for (int row = m_list.GetItemCount() - 1; row >= 0; --row)
        RemoveRow(row);
}

void CVersionManagementDlg::OnDestroy()
{
    CleanAllLinkListItems();
}
