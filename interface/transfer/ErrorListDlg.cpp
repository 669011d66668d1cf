// CErrorListDlg: the items an operation could not finish.
#include "ErrorListDlg.h"
#include "DialogKit.h"
#include "DownloadRes.h"
#include "SkinRes.h"
#include "ToviMsg.h"
#include "ToviString.h"
#include "VImageList.h"
#include <commctrl.h>

IMPLEMENT_DYNAMIC(CErrorListDlg, CVantelDialog)

BEGIN_MESSAGE_MAP(CErrorListDlg, CVantelDialog)
    ON_WM_ERASEBKGND()
    ON_BN_CLICKED(IDC_SYSBTN_CLOSE, OnCloseButton)
END_MESSAGE_MAP()

namespace {

const UINT kCancelIcon = 528;
const COLORREF kFirstRow = 0xE1D5C8;

bool Is(const char* code, const char* value)
{
    return strcmp(code, value) == 0;
}

}

CErrorListDlg::CErrorListDlg(CWnd* pParent) : CVantelDialog(IDD_ERROR_LIST, pParent)
{
}

CErrorListDlg::~CErrorListDlg()
{
    if (m_hImages)
        ImageList_Destroy(m_hImages);
    delete m_pShared;
}

BOOL CErrorListDlg::OnInitDialog()
{
    CVantelDialog::OnInitDialog();
    static const unsigned kKinds[] = {14159, 14050, 14021, 14047};
    const CString kind = m_nOperation >= 0 && m_nOperation < 4 ? CToviString::GetString(kKinds[m_nOperation]) : CString();
    CString title;
    title.Format(L"%s %s", kind.GetString(), CToviString::GetString(14022).GetString());
    SetWindowText(title.GetString());
    SetTitleBar(title);
    CString sentence;
    sentence.Format(L"%s %s %s", CToviMsg::GetString(12061).GetString(), kind.GetString(),
                    CToviMsg::GetString(12025).GetString());
    SetDlgItemText(IDC_ERROR_SENTENCE, sentence.GetString());

    m_hImages = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 6, 1);
    for (UINT id : {510u, 509u, 508u, 505u, 507u, 506u})
        if (HICON icon = CVImageList::GetIcon(id, 16, 16))
            ImageList_AddIcon(m_hImages, icon);
    m_pShared = new CVImageList();
    m_list.SubclassDlgItem(IDC_ERROR_LIST, this);
    m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_FULLROWSELECT);
    if (m_pShared->GetSmallImageList())
        m_list.SetImageList(m_pShared->GetSmallImageList(), LVSIL_SMALL);
    m_list.InsertColumn(0, CToviString::GetString(14000).GetString(), LVCFMT_LEFT, 250);
    m_list.InsertColumn(1, CToviString::GetString(14083).GetString(), LVCFMT_LEFT, 250);
    m_list.SetRedraw(FALSE);
    int row = 0;
    for (const _PROTO_FOLDER_INFO& item : m_vecItems) {
        const int at = m_list.InsertItem(LVIF_TEXT | LVIF_IMAGE, row++, item.Name, 0, 0, RowIcon(item), 0);
        if (at < 0)
            continue;
        CString location(item.Attr197);
        m_list.SetItemText(at, 1, location.Left(519).GetString());
    }
    m_list.SetRedraw(TRUE);

    dialogkit::SkinButton(m_btnClose, this, IDCANCEL, 14, CToviString::GetString(14066), kCancelIcon);
    dialogkit::SkinButton(m_btnCaptionClose, this, IDC_SYSBTN_CLOSE, CToviButton::kStyleCaptionClose, CString(), 0);
    dialogkit::PlaceCloseButton(this, &m_btnCaptionClose);
    if (CWnd* hidden = GetDlgItem(IDC_DIALOG_HIDDEN))
        hidden->ShowWindow(SW_HIDE);
    return TRUE;
}

int CErrorListDlg::RowIcon(const _PROTO_FOLDER_INFO& item)
{
    if (Is(item.ItemType, "F"))
        return m_pShared->GetSysIcon(item.Name, false, false, false);
    if (!Is(item.ItemType, "D"))
        return 0;
    const char* kind = item.Attr27;
    if (Is(kind, "1") || Is(kind, "A") || Is(kind, "2")) {
        if (m_nPlainFolder < 0)
            m_nPlainFolder = m_pShared->GetSysIcon(L"Desktop", false, false, false);
        return m_nPlainFolder < 0 ? 0 : m_nPlainFolder;
    }
    if (Is(kind, "3") || Is(kind, "4"))
        return m_pShared->GetBlueClose();
    if (Is(kind, "5"))
        return m_pShared->GetYellowClose();
    return 0;
}

BOOL CErrorListDlg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
    if (header && header->idFrom == IDC_ERROR_LIST && header->code == NM_CUSTOMDRAW) {
        NMLVCUSTOMDRAW* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(lParam);
        if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) {
            *pResult = CDRF_NOTIFYITEMDRAW;
            return TRUE;
        }
        if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
            // Only the first row is tinted.
            if (draw->nmcd.dwItemSpec == 0)
                draw->clrTextBk = kFirstRow;
            *pResult = CDRF_DODEFAULT;
            return TRUE;
        }
    }
    return CVantelDialog::OnNotify(wParam, lParam, pResult);
}

BOOL CErrorListDlg::OnEraseBkgnd(CDC* pDC)
{
    CRect rect;
    GetClientRect(&rect);
    return DrawBkgnd(pDC, rect);
}

void CErrorListDlg::OnCloseButton()
{
    OnCancel();
}
