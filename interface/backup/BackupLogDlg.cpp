// CBackupLogDlg: runs and items of a policy's run logs.
#include "BackupLook.h"
#include "BackupLogDlg.h"
#include "BackupRes.h"
#include "CircularProgressThread.h"
#include "DateTime.h"
#include "DialogKit.h"
#include "FileUtils.h"
#include "MessageBoxDlgRes.h"
#include "ShareCommon.h"
#include "SkinRes.h"
#include "ToviConv.h"
#include "ToviString.h"
#include "ToviTextLanguage.h"
#include "WinThread.h"
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

IMPLEMENT_DYNAMIC(CBackupLogDlg, CVantelDialog)

namespace {
const UINT kFillDone = WM_APP + 41;
const COLORREF kHeadingColour = RGB(84, 141, 222);
const COLORREF kNotDoneBackground = RGB(241, 231, 234);

int SmallIcon(const wchar_t* name, DWORD attributes)
{
    SHFILEINFOW info = {};
    SHGetFileInfoW(name, attributes, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES);
    return info.iIcon;
}
} // namespace

BEGIN_MESSAGE_MAP(CBackupLogDlg, CVantelDialog)
    ON_WM_ERASEBKGND()
    ON_WM_CTLCOLOR()
    ON_WM_DESTROY()
    ON_BN_CLICKED(IDC_SYSBTN_CLOSE, OnCloseButton)
    ON_NOTIFY(LVN_ITEMCHANGED, IDC_BACKUP_LOG_RUNS, OnRunChanged)
    ON_NOTIFY(NM_CUSTOMDRAW, IDC_BACKUP_LOG_ITEMS, OnItemsCustomDraw)
    ON_MESSAGE(kFillDone, OnFillDone)
END_MESSAGE_MAP()

CBackupLogDlg::CBackupLogDlg(CWnd* pParent) : CVantelDialog(IDD_BACKUP_LOG, pParent) {}

CBackupLogDlg::~CBackupLogDlg()
{
    if (m_hBold)
        DeleteObject(m_hBold);
}

BOOL CBackupLogDlg::OnInitDialog()
{
    CVantelDialog::OnInitDialog();
    backuplook::ApplyFace(m_hWnd, m_nProductType, m_fontDlg, m_fontTitle);
    const wchar_t* title = backuplook::Text(m_nLogType == 1 ? L"복원 로그" : L"백업 로그");
    SetWindowText(title);
    SetTitleBar(title);
    InitControl();
    return TRUE;
}

void CBackupLogDlg::InitControl()
{
    m_hBold = dialogkit::CreateBoldDialogFont(this);
    for (UINT id : {IDC_BACKUP_LOG_TITLE, IDC_BACKUP_LOG_HEADING})
        ::SendMessageW(::GetDlgItem(m_hWnd, id), WM_SETFONT, reinterpret_cast<WPARAM>(m_hBold), TRUE);
    SetDlgItemText(IDC_BACKUP_LOG_TITLE, m_strTitle.GetString());
    SetDlgItemText(IDC_BACKUP_LOG_HEADING, backuplook::Text(m_nLogType == 1 ? L"복원 실행 결과" : L"백업 실행 결과"));

    dialogkit::SkinButton(m_btnOk, this, IDOK, 14, backuplook::Text(L"확인"), IDI_BTN_CANCEL);
    dialogkit::SkinButton(m_btnClose, this, IDC_SYSBTN_CLOSE, CToviButton::kStyleCaptionClose, CString(), 0);
    dialogkit::PlaceCloseButton(this, &m_btnClose);

    CString documents = m_strDocuments;
    if (documents.IsEmpty()) {
        wchar_t path[MAX_PATH] = {};
        SHGetSpecialFolderPathW(nullptr, path, CSIDL_PERSONAL, FALSE);
        documents = path;
    }
    m_strLogFolder.Format(L"%s\\%s\\%s", documents.GetString(), L"VariruDAD\\BackupLog", m_strPolicyKey.GetString());
    if (GetFileAttributesW(m_strLogFolder.GetString()) == INVALID_FILE_ATTRIBUTES)
        CreateDirectoryW(m_strLogFolder.GetString(), nullptr);

    m_listRuns.SubclassDlgItem(IDC_BACKUP_LOG_RUNS, this);
    m_listItems.SubclassDlgItem(IDC_BACKUP_LOG_ITEMS, this);
    HIMAGELIST system = dialogkit::SystemSmallImages();
    DWORD extra = LVS_EX_FULLROWSELECT;
    if (CFileUtils::GetWindowsType() > 5)
        extra |= LVS_EX_DOUBLEBUFFER;
    for (CListCtrl* list : {&m_listRuns, &m_listItems}) {
        list->SetExtendedStyle(list->GetExtendedStyle() | extra);
        // The system's list: shared, never destroyed by the control.
        list->ModifyStyle(0, LVS_SHAREIMAGELISTS);
        if (system)
            list->SetImageList(system, LVSIL_SMALL);
    }

    m_pSpinner = CCircularProgressThread::Start(&m_listItems, 50, RGB(35, 103, 158));
    DrawColumn();
    DrawListTime();
}

void CBackupLogDlg::DrawColumn()
{
    m_listRuns.InsertColumn(0, backuplook::Text(m_nLogType == 1 ? L"복원 실행 시간" : L"백업 실행 시간"), LVCFMT_LEFT, 160);
    m_listRuns.InsertColumn(1, CToviString::GetString(14001).GetString(), LVCFMT_RIGHT, 80);
    m_listRuns.InsertColumn(2, CToviString::GetString(14086).GetString(), LVCFMT_RIGHT, 80);
    m_listRuns.InsertColumn(3, CToviString::GetString(14239).GetString(), LVCFMT_LEFT, 140);
    m_listItems.InsertColumn(0, CToviString::GetString(14000).GetString(), LVCFMT_LEFT, 220);
    m_listItems.InsertColumn(1, CToviString::GetString(14001).GetString(), LVCFMT_RIGHT, 80);
    m_listItems.InsertColumn(2, CToviString::GetString(14086).GetString(), LVCFMT_RIGHT, 80);
    m_listItems.InsertColumn(3, CToviString::GetString(14239).GetString(), LVCFMT_LEFT, 80);
}

void CBackupLogDlg::ShowError(const CSQLiteException& e)
{
    const char* text = e.errorMessage();
    if (!text || !*text)
        return;
    wchar_t* wide = CToviConv::Tovi_MultiByteToWideChar(text);
    if (wide)
        CFileUtils::ToviMessageBox(this, wide, L"CorvaneIXO", MB_ICONERROR);
    CToviConv::Tovi_wFree(wide);
}

void CBackupLogDlg::DrawListTime()
{
    const CString listPath = m_strLogFolder + L"\\list.db";
    if (GetFileAttributesW(listPath.GetString()) == INVALID_FILE_ATTRIBUTES)
        return;
    m_listRuns.SetRedraw(FALSE);
    CSQLiteDB db;
    try {
        db.open(listPath.GetString());
        CString sql;
        sql.Format(L"SELECT * FROM list where log_type=%d order by idx desc", m_nLogType);
        CSQLiteQuery q = db.execQuery(sql.GetString());
        const int icon = SmallIcon(listPath.GetString(), FILE_ATTRIBUTE_NORMAL);
        while (!q.eof()) {
            const int at = m_listRuns.InsertItem(0, q.fieldValue(2), icon);
            m_listRuns.SetItemText(at, 1, CFileUtils::ConvertFileSize2(q.getInt64Field(3, 0)).GetString());
            if (!q.fieldIsNull(4)) {
                const CString status = CToviString::GetBackupStatusString(q.fieldValue(4));
                if (!status.IsEmpty())
                    m_listRuns.SetItemText(at, 2, status.GetString());
            }
            if (!q.fieldIsNull(5)) {
                const CString remarks = CToviString::GetBackupRemarksString(q.fieldValue(5));
                if (!remarks.IsEmpty())
                    m_listRuns.SetItemText(at, 3, remarks.GetString());
            }
            q.nextRow();
        }
        q.finalize();
        db.close();
    } catch (CSQLiteException& e) {
        ShowError(e);
        db.close();
    }
    m_listRuns.SetRedraw(TRUE);
}

void CBackupLogDlg::OnRunChanged(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    const NMLISTVIEW* change = reinterpret_cast<const NMLISTVIEW*>(pNMHDR);
    const UINT wanted = LVIS_SELECTED | LVIS_FOCUSED;
    if ((change->uNewState & wanted) != wanted || (change->uOldState & wanted) == wanted)
        return;
    const int first = static_cast<int>(::SendMessageW(m_listRuns.GetSafeHwnd(), LVM_GETNEXTITEM, -1, LVNI_SELECTED));
    if (first < 0)
        return;
    const CString start = m_listRuns.GetItemText(first, 0);
    if (start.IsEmpty())
        return;
    COleDateTime when;
    int y, mo, d, h, mi, s;
    if (swscanf(start.GetString(), L"%d-%d-%d %d:%d:%d", &y, &mo, &d, &h, &mi, &s) != 6 ||
        when.SetDateTime(y, mo, d, h, mi, s) != 0)
        return;
    m_strRunFile.Format(L"%s.db", when.Format(L"%Y%m%d%H%M%S").GetString());
    DrawListStatus();
}

void CBackupLogDlg::DrawListStatus()
{
    SetTerminateThread();
    m_listItems.DeleteAllItems();
    SetListLoading(true);
    m_fillLanguage = CToviTextLanguage::GetThreadLanguage();
    m_pFill = AfxBeginThread(InsertListStatusThread, this, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (!m_pFill) {
        SetListLoading(false);
        return;
    }
    m_pFill->m_bAutoDelete = FALSE;
    m_pFill->ResumeThread();
}

UINT CBackupLogDlg::InsertListStatusThread(LPVOID param)
{
    CBackupLogDlg* self = static_cast<CBackupLogDlg*>(param);
    CoInitialize(nullptr);
    // The texts of the lower list in the language the dialog shows.
    dialogkit::ApplyThreadLanguage();
    CToviTextLanguage::SetThreadLanguage(self->m_fillLanguage);
    HWND list = self->m_listItems.GetSafeHwnd();
    CSQLiteDB db;
    try {
        CString path;
        path.Format(L"%s\\%s", self->m_strLogFolder.GetString(), self->m_strRunFile.GetString());
        db.open(path.GetString());
        CSQLiteQuery q = db.execQuery(L"SELECT * FROM backup");
        while (!q.eof() && !self->m_bStop) {
            const bool folder = wcscmp(q.fieldValue(2), L"D") == 0;
            const CString filePath = q.fieldValue(1);
            LVITEMW item = {};
            item.mask = LVIF_TEXT | LVIF_IMAGE;
            item.iItem = q.getIntField(0, 1) - 1;
            item.pszText = const_cast<wchar_t*>(filePath.GetString());
            item.iImage = SmallIcon(CFileUtils::GetFileName(const_cast<wchar_t*>(filePath.GetString())).GetString(),
                                    folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL);
            const int at = static_cast<int>(::SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
            auto setText = [list, at](int column, const CString& text) {
                LVITEMW sub = {};
                sub.iSubItem = column;
                sub.pszText = const_cast<wchar_t*>(text.GetString());
                ::SendMessageW(list, LVM_SETITEMTEXTW, at, reinterpret_cast<LPARAM>(&sub));
            };
            if (!folder)
                setText(1, CFileUtils::ConvertFileSize2(q.getInt64Field(3, 0)));
            if (!q.fieldIsNull(4)) {
                const CString status = CToviString::GetBackupStatusString(q.fieldValue(4));
                if (!status.IsEmpty())
                    setText(2, status);
            }
            if (!q.fieldIsNull(5))
                setText(3, q.fieldValue(5));
            q.nextRow();
        }
        q.finalize();
    } catch (CSQLiteException& e) {
        db.close();
        // The box belongs to the dialog's thread; the error text goes with the done message.
        const char* text = e.errorMessage();
        wchar_t* wide = (text && *text) ? CToviConv::Tovi_MultiByteToWideChar(text) : nullptr;
        ::PostMessageW(self->GetSafeHwnd(), kFillDone, 0, reinterpret_cast<LPARAM>(wide ? new CString(wide) : nullptr));
        CToviConv::Tovi_wFree(wide);
        CoUninitialize();
        return 0;
    }
    db.close();
    ::PostMessageW(self->GetSafeHwnd(), kFillDone, 0, 0);
    CoUninitialize();
    return 0;
}

LRESULT CBackupLogDlg::OnFillDone(WPARAM, LPARAM lParam)
{
    SetListLoading(false);
    CString* error = reinterpret_cast<CString*>(lParam);
    if (error) {
        CFileUtils::ToviMessageBox(this, error->GetString(), L"CorvaneIXO", MB_ICONERROR);
        delete error;
    }
    return 0;
}

void CBackupLogDlg::SetTerminateThread()
{
    m_bStop = true;
    if (m_pFill) {
        while (WaitForSingleObject(m_pFill->m_hThread, 0) == WAIT_TIMEOUT) {
            MSG msg;
            if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == kFillDone) {
                    delete reinterpret_cast<CString*>(msg.lParam);
                    continue;
                }
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            } else {
                Sleep(1);
            }
        }
        delete m_pFill;
        m_pFill = nullptr;
    }
    m_bStop = false;
}

void CBackupLogDlg::SetListLoading(bool loading)
{
    if (m_pSpinner)
        m_pSpinner->SetShow(loading);
    if (!loading)
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_ERASE);
}

void CBackupLogDlg::OnItemsCustomDraw(NMHDR* pNMHDR, LRESULT* pResult)
{
    NMLVCUSTOMDRAW* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(pNMHDR);
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        *pResult = CDRF_NOTIFYITEMDRAW;
        return;
    case CDDS_ITEMPREPAINT:
        *pResult = CDRF_NOTIFYSUBITEMDRAW;
        return;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
        const int row = static_cast<int>(draw->nmcd.dwItemSpec);
        const CString status = m_listItems.GetItemText(row, 2);
        const bool notDone = !status.IsEmpty() && status != CToviString::GetString(14091);
        draw->clrTextBk = notDone ? kNotDoneBackground : RGB(255, 255, 255);
        *pResult = CDRF_NEWFONT;
        return;
    }
    default:
        *pResult = CDRF_DODEFAULT;
        return;
    }
}

BOOL CBackupLogDlg::OnEraseBkgnd(CDC* pDC)
{
    return share::PaintPanels(this, pDC, {IDC_BACKUP_FRAME});
}

HBRUSH CBackupLogDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    (void)nCtlColor;
    const int id = pWnd ? ::GetDlgCtrlID(pWnd->GetSafeHwnd()) : 0;
    HDC dc = pDC->GetSafeHdc();
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, id == IDC_BACKUP_LOG_HEADING ? kHeadingColour : RGB(31, 31, 31));
    return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
}

void CBackupLogDlg::OnCloseButton()
{
    EndDialog(IDOK);
}

void CBackupLogDlg::OnDestroy()
{
    SetTerminateThread();
    if (m_pSpinner) {
        CCircularProgressThread::Stop(m_pSpinner);
        m_pSpinner = nullptr;
    }
    CVantelDialog::OnDestroy();
}
