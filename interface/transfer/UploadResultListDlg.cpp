// CUploadResultListDlg: the list of files an upload run could not deliver.
#include "UploadResultListDlg.h"
#include "DialogKit.h"
#include "SkinRes.h"
#include "ToviString.h"
#include "TraceLog.h"
#include "TransferRes.h"
#include <commctrl.h>
#include <shellapi.h>

IMPLEMENT_DYNAMIC(CUploadResultListDlg, CVantelDialog)

BEGIN_MESSAGE_MAP(CUploadResultListDlg, CVantelDialog)
    ON_WM_ERASEBKGND()
    ON_BN_CLICKED(IDC_SYSBTN_CLOSE, OnCloseButton)
END_MESSAGE_MAP()

namespace {
const UINT kOkIcon = 530;
const int kMessageBand = 65;
}

CUploadResultListDlg::CUploadResultListDlg(CWnd* pParent) : CVantelDialog(IDD_UPLOAD_RESULT_LIST, pParent)
{
}

CUploadResultListDlg::~CUploadResultListDlg()
{
    if (m_hImages)
        ImageList_Destroy(m_hImages);
}

BOOL CUploadResultListDlg::OnInitDialog()
{
    CVantelDialog::OnInitDialog();
    SetWindowText(CToviString::GetString(14156).GetString());
    SetTitleBar(CToviString::GetString(14156));
    dialogkit::SkinButton(m_btnOk, this, IDOK, 13, CToviString::GetString(14061), kOkIcon);
    dialogkit::SkinButton(m_btnClose, this, IDC_SYSBTN_CLOSE, CToviButton::kStyleCaptionClose, CString(), 0);

    if (!m_strMessage.IsEmpty()) {
        CRect window, client;
        GetWindowRect(&window);
        GetClientRect(&client);
        SetWindowPos(nullptr, 0, 0, window.Width(), window.Height() + 30, SWP_NOMOVE | SWP_NOZORDER);
        CRect grown;
        GetClientRect(&grown);
        m_btnOk.MoveWindow(grown.right - 100, client.bottom, 88, 24);
    }
    dialogkit::PlaceCloseButton(this, &m_btnClose);

    m_list.SubclassDlgItem(IDC_UPLOAD_RESULT_LIST, this);
    m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    SHFILEINFOW info = {};
    HIMAGELIST system = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoW(L"C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    if (system) {
        m_hImages = ImageList_Duplicate(system);
        m_list.SetImageList(m_hImages, LVSIL_SMALL);
    }
    m_list.InsertColumn(0, CToviString::GetString(14000).GetString(), LVCFMT_LEFT, 150);
    m_list.InsertColumn(1, CToviString::GetString(14155).GetString(), LVCFMT_LEFT, 300);

    m_list.SetRedraw(FALSE);
    int row = 0;
    for (const _PROTO_UPLOAD_RESULT& record : m_vecResult) {
        SHFILEINFOW icon = {};
        SHGetFileInfoW(record.wszName, FILE_ATTRIBUTE_NORMAL, &icon, sizeof icon,
                       SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES);
        const int at = m_list.InsertItem(row, record.wszName, icon.iIcon);
        m_list.SetItemText(at, 1, record.wszErrString);
        ++row;
    }
    m_list.SetRedraw(TRUE);
    return TRUE;
}

BOOL CUploadResultListDlg::OnEraseBkgnd(CDC* pDC)
{
    CRect rect;
    GetClientRect(&rect);
    DrawBkgnd(pDC, rect);
    if (m_strMessage.IsEmpty())
        return TRUE;
    HDC dc = pDC->GetSafeHdc();
    LOGFONTW lf = {};
    lf.lfHeight = -MulDiv(10, GetDeviceCaps(dc, LOGPIXELSY), 72);
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = CLEARTYPE_QUALITY;
    wcscpy(lf.lfFaceName, L"돋움");
    HFONT font = CreateFontIndirectW(&lf);
    HGDIOBJ old = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    RECT band = {10, rect.bottom - kMessageBand, rect.right - 110, rect.bottom};
    DrawTextW(dc, m_strMessage.GetString(), -1, &band, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS);
    SelectObject(dc, old);
    DeleteObject(font);
    return TRUE;
}

bool CUploadResultListDlg::MayClose() const
{
    if (::FindWindowW(nullptr, CToviString::GetString(14254).GetString())) {
        TraceLog(1, L" [  CUploadResultListDlg::OnBnClickedOk() ] APPROVAL Dialog Alive! \n");
        return false;
    }
    return true;
}

void CUploadResultListDlg::OnOK()
{
    if (!MayClose())
        return;
    m_list.DeleteAllItems();
    EndDialog(IDOK);
}

void CUploadResultListDlg::OnCancel()
{
    // Esc and WM_CLOSE end the list as OK does, under the same condition.
    OnOK();
}

void CUploadResultListDlg::OnCloseButton()
{
    OnOK();
}
