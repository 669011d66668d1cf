// CShortCutDlg: open or delete folder shortcuts.
#include "ShortCutDlg.h"
#include "DialogKit.h"
#include "ShareCommon.h"
#include "ShareRes.h"
#include "SkinRes.h"
#include "ToviMessages.h"
#include "ToviMsg.h"
#include "ToviString.h"
#include "TraceLog.h"
#include "WinThread.h"
#include <cstdlib>

IMPLEMENT_DYNAMIC(CShortCutDlg, CVantelDialog)

BEGIN_MESSAGE_MAP(CShortCutDlg, CVantelDialog)
    ON_BN_CLICKED(IDC_SHORTCUT_DELETE, OnBnClickedBtnScDelete)
    ON_BN_CLICKED(IDC_SHORTCUT_OPEN, OnBnClickedBtnScClose)
    ON_BN_CLICKED(IDC_SYSBTN_CLOSE, OnBnClickedBtnSysExit)
    ON_WM_DESTROY()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CShortCutDlg::CShortCutDlg(CWnd* pParent) : CVantelDialog(IDD_SHORTCUT, pParent) {}

void CShortCutDlg::SetShortcutList(std::vector<_SHORTCUT_LIST> list)
{
    m_vecShortcuts.swap(list);
}

HWND CShortCutDlg::MainWindow() const
{
    if (m_hMainWnd)
        return m_hMainWnd;
    CWnd* main = AfxGetMainWnd();
    return main ? main->GetSafeHwnd() : nullptr;
}

const _SHORTCUT_LIST* CShortCutDlg::Entry(int row) const
{
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    ListView_GetItem(::GetDlgItem(m_hWnd, IDC_SHORTCUT_LIST), &item);
    return reinterpret_cast<const _SHORTCUT_LIST*>(item.lParam);
}

BOOL CShortCutDlg::OnInitDialog()
{
    CVantelDialog::OnInitDialog();
    const CString title = CToviString::GetString(14068) + L" " + CToviString::GetString(14262);
    SetWindowText(title);
    SetTitleBar(title);
    dialogkit::SkinButton(m_btnOpen, this, IDC_SHORTCUT_OPEN, 13, CToviString::GetString(14021), 530);
    dialogkit::SkinButton(m_btnDelete, this, IDC_SHORTCUT_DELETE, 13, CToviString::GetString(14159), 526);
    dialogkit::SkinButton(m_btnClose, this, IDC_SYSBTN_CLOSE, CToviButton::kStyleCaptionClose, CString(), 0);
    dialogkit::PlaceCloseButton(this, &m_btnClose);
    HWND list = ::GetDlgItem(m_hWnd, IDC_SHORTCUT_LIST);
    ListView_SetExtendedListViewStyle(list, LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_DOUBLEBUFFER |
                                                LVS_EX_SIMPLESELECT | LVS_EX_FULLROWSELECT);
    CString heading = CToviString::GetString(14068);
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.fmt = LVCFMT_LEFT;
    column.cx = 480;
    column.pszText = const_cast<wchar_t*>(heading.GetString());
    ListView_InsertColumn(list, 0, &column);
    DrawList();
    return TRUE;
}

void CShortCutDlg::DrawList()
{
    HWND list = ::GetDlgItem(m_hWnd, IDC_SHORTCUT_LIST);
    ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    for (const _SHORTCUT_LIST& shortcut : m_vecShortcuts) {
        auto* copy = new _SHORTCUT_LIST(shortcut);
        LVITEMW item = {};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = ListView_GetItemCount(list);
        item.pszText = copy->Path;
        item.lParam = reinterpret_cast<LPARAM>(copy);
        ListView_InsertItem(list, &item);
    }
    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
}

void CShortCutDlg::OpenShortcutPath(const CString& path)
{
    HWND target = m_hTreeView ? m_hTreeView : MainWindow();
    if (!target)
        return;
    // The receiver owns the string.
    ::SendMessageW(target, WM_OPEN_SHORTCUT_PATH, reinterpret_cast<WPARAM>(new CString(path)), 0);
}

void CShortCutDlg::OnBnClickedBtnScClose()
{
    TraceLog(1, L"[ CShortCutDlg::OnBnClickedClose ]\n");
    HWND list = ::GetDlgItem(m_hWnd, IDC_SHORTCUT_LIST);
    for (int row = ListView_GetNextItem(list, -1, LVNI_SELECTED); row != -1;
         row = ListView_GetNextItem(list, row, LVNI_SELECTED)) {
        if (const _SHORTCUT_LIST* entry = Entry(row)) {
            OpenShortcutPath(entry->Path);
            break;
        }
    }
    EndDialog(IDOK);
}

void CShortCutDlg::OnBnClickedBtnScDelete()
{
    TraceLog(1, L"[ CShortCutDlg::OnBnClickedBtnScDelete ]\n");
    HWND main = MainWindow();
    if (!main || !m_pProto)
        return;
    HWND list = ::GetDlgItem(m_hWnd, IDC_SHORTCUT_LIST);
    std::vector<char*> ids;
    for (int row = ListView_GetItemCount(list) - 1; row >= 0; --row) {
        const _SHORTCUT_LIST* entry = Entry(row);
        if (!entry || !ListView_GetCheckState(list, row))
            continue;
        ids.push_back(const_cast<char*>(entry->Index));
        TraceLog(1, L"[ CShortCutDlg::OnBnClickedBtnScDelete ] Delete [ idx : %d ]\n", atoi(entry->Index));
    }
    if (ids.empty()) {
        TraceLog(1, L"[ CShortCutDlg::OnBnClickedBtnScDelete ] CheckBox Count = 0 \n");
        dialogkit::MessageBox(m_hWnd, CToviMsg::GetString(12050), MB_ICONEXCLAMATION);
        return;
    }
    if (m_pProto->DeleteShortcut(ids) == 0) {
        for (int row = ListView_GetItemCount(list) - 1; row >= 0; --row)
            if (Entry(row) && ListView_GetCheckState(list, row))
                ListView_DeleteItem(list, row);   // entry freed by LVN_DELETEITEM
    }
    ::PostMessageW(main, WM_ALERT_UPDATE, 0, 0);
}

void CShortCutDlg::OnBnClickedBtnSysExit()
{
    OnOK();
}

BOOL CShortCutDlg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header->idFrom == IDC_SHORTCUT_LIST) {
        if (header->code == LVN_DELETEITEM) {
            delete reinterpret_cast<_SHORTCUT_LIST*>(reinterpret_cast<NMLISTVIEW*>(header)->lParam);
            *pResult = 0;
            return TRUE;
        }
        if (header->code == NM_DBLCLK) {
            HWND list = header->hwndFrom;
            const int row = ListView_GetNextItem(list, -1, LVNI_SELECTED);
            if (const _SHORTCUT_LIST* entry = row >= 0 ? Entry(row) : nullptr) {
                TraceLog(1, L"[ CShortCutDlg::OnNMDblclkList ] %s\n", entry->Path);
                OpenShortcutPath(entry->Path);
                EndDialog(IDOK);
            }
            *pResult = 0;
            return TRUE;
        }
    }
    return CVantelDialog::OnNotify(wParam, lParam, pResult);
}

void CShortCutDlg::OnDestroy()
{
    TraceLog(1, L"[ CShortCutDlg::OnDestroy ]\n");
    CVantelDialog::OnDestroy();
    if (HWND list = ::GetDlgItem(m_hWnd, IDC_SHORTCUT_LIST))
        ListView_DeleteAllItems(list);
}

BOOL CShortCutDlg::OnEraseBkgnd(CDC* pDC)
{
    return share::PaintPanels(this, pDC, {});
}
