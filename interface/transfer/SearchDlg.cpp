// CSearchDlg: the search window.
#include "SearchDlg.h"
#include "DownloadRes.h"
#include "FileUtils.h"
#include "SkinRes.h"
#include "ToviMessages.h"
#include "ToviMsg.h"
#include "ToviProto.h"
#include "ToviString.h"
#include "TraceLog.h"
#include "TransferCommon.h"
#include "VImageList.h"
#include "WinThread.h"
#include <commctrl.h>
#include <functional>
#include <shlobj.h>
#include <shlwapi.h>

#define WM_SEARCH_INVOKE (WM_USER + 203)

IMPLEMENT_DYNAMIC(CSearchDlg, CVantelDialog)

BEGIN_MESSAGE_MAP(CSearchDlg, CVantelDialog)
    ON_WM_DESTROY()
    ON_BN_CLICKED(IDC_SEARCH_RUN, OnRun)
    ON_BN_CLICKED(IDC_SYSBTN_CLOSE, OnCloseButton)
    ON_MESSAGE(WM_SEARCH_THREAD_STOP, OnThreadStop)
    ON_MESSAGE(WM_SEARCH_INVOKE, OnInvoke)
END_MESSAGE_MAP()

namespace {

// A server that keeps saying "more" is not followed for ever.
const int kMaxPages = 100000;
const UINT kDownloadIcon = 514;

CString BrowseForFolder(HWND owner, const CString& title)
{
    BROWSEINFOW info = {};
    info.hwndOwner = owner;
    info.lpszTitle = title.GetString();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_NEWDIALOGSTYLE;
    PIDLIST_ABSOLUTE chosen = ::SHBrowseForFolderW(&info);
    if (!chosen)
        return CString();
    wchar_t path[MAX_PATH] = {};
    const BOOL ok = ::SHGetPathFromIDListW(chosen, path);
    ::CoTaskMemFree(chosen);
    return ok ? CString(path) : CString();
}

CSearchDlg::FolderChooserFn g_chooseFolder = BrowseForFolder;

CVImageList& Images()
{
    static CVImageList images;
    return images;
}

int StringCompare(const wchar_t* a, const wchar_t* b)
{
    return ::StrCmpLogicalW(a, b);
}

int SizeCompare(__int64 a, __int64 b)
{
    return a < b ? -1 : a > b ? 1 : 0;
}

// Runs work on the window's thread and waits for it.
void Invoke(HWND wnd, const std::function<void()>& work)
{
    std::function<void()> copy = work;
    ::SendMessageW(wnd, WM_SEARCH_INVOKE, 0, reinterpret_cast<LPARAM>(&copy));
}

}

void CSearchDlg::SetFolderChooser(FolderChooserFn fn)
{
    g_chooseFolder = fn ? fn : BrowseForFolder;
}

std::string CSearchDlg::WireDate(const SYSTEMTIME& date)
{
    char text[11] = {};
    _snprintf(text, sizeof text, "%04d-%02d-%02d", date.wYear % 10000, date.wMonth % 100, date.wDay % 100);
    return text;
}

CSearchDlg::CSearchDlg(CWnd* pParent) : CVantelDialog(IDD_SEARCH, pParent)
{
}

CSearchDlg::~CSearchDlg()
{
    delete m_pProto;
}

void CSearchDlg::CopySession(const CToviProto* session)
{
    if (!session)
        return;
    strncpy(m_szHost, session->ServerAddress.szHost, sizeof m_szHost - 1);
    m_nPort = session->ServerAddress.nPort;
    memcpy(m_szCode, session->ServerAddress.szCode, sizeof m_szCode);
    strncpy(m_szUserId, session->LoginInfo.SessionId, sizeof m_szUserId - 1);
}

BOOL CSearchDlg::Create(CWnd* parent)
{
    return CVantelDialog::Create(IDD_SEARCH, parent);
}

BOOL CSearchDlg::OnInitDialog()
{
    CVantelDialog::OnInitDialog();
    SetWindowText(CToviString::GetString(m_bContentSearch ? 14028 : 14131).GetString());
    transfer::SkinButton(m_btnDownload, this, IDCANCEL, 13,
                         CToviString::GetString(m_bContentSearch ? 14061 : 14047), m_bContentSearch ? 530 : kDownloadIcon);
    transfer::SkinButton(m_btnRun, this, IDC_SEARCH_RUN, 13, CToviString::GetString(14131), 0);
    transfer::SkinButton(m_btnClose, this, IDC_SYSBTN_CLOSE, 13, CToviString::GetString(14066), 0);
    HWND category = ::GetDlgItem(m_hWnd, IDC_SEARCH_CATEGORY);
    for (unsigned text : {14276u, 14068u, 14069u})
        ::SendMessageW(category, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(CToviString::GetString(text).GetString()));
    ::SendMessageW(category, CB_SETCURSEL, 0, 0);
    for (UINT id : {IDC_SEARCH_DATE_FROM, IDC_SEARCH_DATE_TO}) {
        ::SendMessageW(::GetDlgItem(m_hWnd, id), DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(L"dd/MM/yyyy"));
        ::SendMessageW(::GetDlgItem(m_hWnd, id), DTM_SETSYSTEMTIME, GDT_NONE, 0);
    }

    m_list.SubclassDlgItem(IDC_SEARCH_LIST, this);
    m_list.SetType(CToviListCtrl::kTypeSearch);
    m_list.SetFont();
    DWORD style = m_list.GetExtendedStyle() | LVS_EX_FULLROWSELECT | LVS_EX_CHECKBOXES;
    if (CFileUtils::GetWindowsType() > 5)
        style |= LVS_EX_DOUBLEBUFFER;
    m_list.SetExtendedStyle(style);
    m_list.InsertColumn(0, CToviString::GetString(14000).GetString(), LVCFMT_LEFT, 150);
    m_list.InsertColumn(1, CToviString::GetString(14083).GetString(), LVCFMT_LEFT, 200);
    m_list.InsertColumn(2, CToviString::GetString(14001).GetString(), LVCFMT_RIGHT, 80);
    m_list.InsertColumn(3, CToviString::GetString(14002).GetString(), LVCFMT_LEFT, 80);
    m_list.InsertColumn(4, CToviString::GetString(14003).GetString(), LVCFMT_LEFT, 140);
    if (HIMAGELIST small = Images().GetSmallImageList())
        m_list.SetImageList(small, LVSIL_SMALL);

    SetDlgItemText(IDC_SEARCH_NAME, m_strSearchText.GetString());
    SetDlgItemText(IDC_SEARCH_LOCATION, m_strLocation.GetString());
    if (!m_strSearchText.IsEmpty())
        GetSearch();
    return TRUE;
}

BOOL CSearchDlg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header && header->idFrom == IDC_SEARCH_LIST) {
        if (header->code == NM_DBLCLK) {
            GoTo();
            *pResult = 0;
            return TRUE;
        }
        if (header->code == LVN_COLUMNCLICK) {
            Sort(reinterpret_cast<const NMLISTVIEW*>(lParam)->iSubItem);
            *pResult = 0;
            return TRUE;
        }
    }
    return CVantelDialog::OnNotify(wParam, lParam, pResult);
}

// ---- Searching ----

void CSearchDlg::OnRun()
{
    if (m_pThread) {
        PostMessage(WM_SEARCH_THREAD_STOP);
        return;
    }
    GetSearch();
}

bool CSearchDlg::GetSearch()
{
    wchar_t text[512] = {};
    ::GetDlgItemTextW(m_hWnd, IDC_SEARCH_USER, text, 512);
    m_strUser = text;
    ::GetDlgItemTextW(m_hWnd, IDC_SEARCH_NAME, text, 512);
    m_strName = text;
    static const char kCategories[] = {'A', 'D', 'F'};
    const LRESULT pick = ::SendDlgItemMessageW(m_hWnd, IDC_SEARCH_CATEGORY, CB_GETCURSEL, 0, 0);
    m_szCategory[0] = pick >= 0 && pick < 3 ? kCategories[pick] : 'A';
    char number[15] = {};
    ::GetDlgItemTextA(m_hWnd, IDC_SEARCH_SIZE_FROM, number, sizeof number);
    memcpy(m_szSizeFrom, number, sizeof m_szSizeFrom);
    ::GetDlgItemTextA(m_hWnd, IDC_SEARCH_SIZE_TO, number, sizeof number);
    memcpy(m_szSizeTo, number, sizeof m_szSizeTo);
    for (const std::pair<UINT, char*>& picker : {std::make_pair(static_cast<UINT>(IDC_SEARCH_DATE_FROM), m_szDateFrom),
                                                 std::make_pair(static_cast<UINT>(IDC_SEARCH_DATE_TO), m_szDateTo)}) {
        SYSTEMTIME date = {};
        memset(picker.second, 0, 11);
        if (::SendDlgItemMessageW(m_hWnd, picker.first, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&date)) ==
            GDT_VALID)
            strcpy(picker.second, WireDate(date).c_str());
    }
    m_list.m_strKeyword = m_strName.GetString();
    if (!m_strName.IsEmpty())
        GetDlgItem(IDC_SEARCH_NAME)->EnableWindow(FALSE);
    if (!m_pProto) {
        m_pProto = new CToviProto();
        m_pProto->NoTimerFlag = 1;
        strncpy(m_pProto->LoginInfo.SessionId, m_szUserId, sizeof m_pProto->LoginInfo.SessionId - 1);
        strncpy(m_pProto->ServerAddress.szHost, m_szHost, sizeof m_pProto->ServerAddress.szHost - 1);
        m_pProto->ServerAddress.nPort = m_nPort;
        memcpy(m_pProto->ServerAddress.szCode, m_szCode, sizeof m_szCode);
        if (m_pProto->GetSecureCode(m_hWnd, m_szHost, m_nPort, m_szCode, PROT_CMD('D', '2')) != 0) {
            TraceLog(2048, L"GetSecureCode Fail\n");
            transfer::MessageBox(m_hWnd, m_pProto->ResultInfo.wszMessage, MB_ICONHAND);
            delete m_pProto;
            m_pProto = nullptr;
            GetDlgItem(IDC_SEARCH_NAME)->EnableWindow(TRUE);
            return false;
        }
    }
    m_bThreadStop = false;
    m_btnRun.SetWindowText(CToviString::GetString(14090).GetString());
    m_pThread = AfxBeginThread(SearchThread, this, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (!m_pThread)
        return false;
    m_pThread->m_bAutoDelete = FALSE;
    m_pThread->ResumeThread();
    return true;
}

UINT CSearchDlg::SearchThread(LPVOID param)
{
    CSearchDlg* dlg = static_cast<CSearchDlg*>(param);
    const bool com = SUCCEEDED(::CoInitialize(nullptr));
    HWND wnd = dlg->m_hWnd;
    if (!dlg->m_strName.IsEmpty() || !dlg->m_strUser.IsEmpty()) {
        Invoke(wnd, [dlg] {
            CWnd* bar = dlg->GetDlgItem(IDC_SEARCH_PROGRESS);
            bar->ModifyStyle(0, PBS_MARQUEE);
            bar->SendMessage(PBM_SETMARQUEE, TRUE, 20);
            bar->ShowWindow(SW_SHOW);
            dlg->CleanAllFindListItems();
        });
        char idx[10] = {}, didx[10] = {};
        if (dlg->m_pFolderInfo) {
            strncpy(idx, dlg->m_pFolderInfo->IDX, 9);
            strncpy(didx, dlg->m_pFolderInfo->DIDX, 9);
        }
        for (int page = 0; page < kMaxPages && !dlg->m_bThreadStop; ++page) {
            if (dlg->m_pProto->GetSearchInfo(idx, didx, dlg->m_szCategory, dlg->m_bContentSearch, dlg->m_szDateFrom,
                                             dlg->m_szDateTo, dlg->m_szSizeFrom, dlg->m_szSizeTo,
                                             dlg->m_strUser.GetString(), dlg->m_strName.GetString()) != 0) {
                const CString message = dlg->m_pProto->ResultInfo.wszMessage;
                Invoke(wnd, [dlg, message] { transfer::MessageBox(dlg->m_hWnd, message, MB_ICONHAND); });
                break;
            }
            // A stopped search asks for no further page.
            if (dlg->m_bThreadStop)
                break;
            bool more = false;
            Invoke(wnd, [dlg, &more] { more = dlg->DrawFindList(); });
            if (!more)
                break;
        }
        Invoke(wnd, [dlg] { dlg->GetDlgItem(IDC_SEARCH_PROGRESS)->ShowWindow(SW_HIDE); });
    }
    ::PostMessageW(wnd, WM_SEARCH_THREAD_STOP, 0, 0);
    if (com)
        ::CoUninitialize();
    return 0;
}

LRESULT CSearchDlg::OnInvoke(WPARAM, LPARAM lParam)
{
    (*reinterpret_cast<std::function<void()>*>(lParam))();
    return 0;
}

bool CSearchDlg::DrawFindList()
{
    bool more = false;
    for (const _PROTO_SEARCH_INFO& hit : m_pProto->SearchInfo) {
        if (m_bThreadStop)
            break;
        if (hit.Continue[0] == 'Y')
            more = true;
        else if (hit.Continue[0] == 'N')
            more = false;
        // A bare trailer names no item; a hit may carry its page's letter as well.
        if (hit.Continue[0] && !hit.IDX[0])
            continue;
        InsertFindListItem(hit);
    }
    return more;
}

void CSearchDlg::InsertFindListItem(const _PROTO_SEARCH_INFO& hit)
{
    if (!hit.IDX[0])
        return;
    _PROTO_SEARCH_INFO* row = new _PROTO_SEARCH_INFO(hit);
    row->CheckState = 0;
    const bool file = hit.ItemType[0] == 'F';
    int image = 0;
    if (file) {
        image = Images().GetSysIcon(hit.Name, false, false, false);
    } else if (strcmp(hit.Attr27, "3") == 0 || strcmp(hit.Attr27, "4") == 0) {
        image = Images().GetBlueClose();
    } else if (strcmp(hit.Attr27, "1") == 0 || strcmp(hit.Attr27, "A") == 0 || strcmp(hit.Attr27, "2") == 0 ||
               strcmp(hit.Attr27, "5") == 0) {
        image = Images().GetYellowClose();
    }
    SHFILEINFOW info = {};
    ::SHGetFileInfoW(hit.Name, file ? FILE_ATTRIBUTE_NORMAL : FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info,
                     SHGFI_USEFILEATTRIBUTES | SHGFI_TYPENAME);
    // The type name sorts column 3; a file-name search keeps it in the excerpt's place, which
    // only content searches show.
    if (!m_bContentSearch)
        wcsncpy(row->Attr219, info.szTypeName, 127);
    const int at = m_list.InsertItem(LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM, m_nHits, hit.Name, 0, 0, image < 0 ? 0 : image,
                                     reinterpret_cast<LPARAM>(row));
    if (at < 0) {
        delete row;
        return;
    }
    m_list.SetItemText(at, 1, hit.Attr197);
    m_list.SetItemText(at, 2, file ? CFileUtils::ConvertFileSize(_atoi64(hit.Attr192)).GetString() : L"");
    m_list.SetItemText(at, 3, info.szTypeName);
    m_list.SetItemText(at, 4, hit.Attr188);
    ++m_nHits;
}

void CSearchDlg::CleanAllFindListItems()
{
    if (!m_list.GetSafeHwnd())
        return;
    for (int i = 0; i < m_list.GetItemCount(); ++i)
        delete reinterpret_cast<_PROTO_SEARCH_INFO*>(m_list.GetItemData(i));
    m_list.DeleteAllItems();
    m_nHits = 0;
}

void CSearchDlg::SearchThreadStop(bool quiet)
{
    if (m_pThread) {
        for (;;) {
            DWORD code = 0;
            if (!::GetExitCodeThread(m_pThread->m_hThread, &code) || code != STILL_ACTIVE)
                break;
            AfxPumpWait(m_pThread->m_hThread, 10);
        }
        delete m_pThread;
        m_pThread = nullptr;
    }
    if (m_pProto) {
        m_pProto->CloseSocket();
        delete m_pProto;
        m_pProto = nullptr;
    }
    if (!quiet && m_btnRun.GetSafeHwnd()) {
        m_btnRun.SetWindowText(CToviString::GetString(14131).GetString());
        m_btnRun.EnableWindow(TRUE);
    }
}

LRESULT CSearchDlg::OnThreadStop(WPARAM, LPARAM)
{
    m_bThreadStop = true;
    SearchThreadStop(false);
    if (CWnd* name = GetDlgItem(IDC_SEARCH_NAME))
        name->EnableWindow(TRUE);
    return 0;
}

// ---- Sorting ----

int CALLBACK CSearchDlg::CompareFunc(LPARAM a, LPARAM b, LPARAM sort)
{
    const _PROTO_SEARCH_INFO* first = reinterpret_cast<const _PROTO_SEARCH_INFO*>(a);
    const _PROTO_SEARCH_INFO* second = reinterpret_cast<const _PROTO_SEARCH_INFO*>(b);
    if (!first || !second)
        return -1;
    if (sort > 0x4FFFF)
        return 0;
    const int column = static_cast<int>(sort >> 16);
    if ((sort & 0xFFFF) == 1)
        std::swap(first, second);
    const bool folderA = first->ItemType[0] == 'D';
    const bool folderB = second->ItemType[0] == 'D';
    switch (column) {
    case 0:
        return StringCompare(first->Name, second->Name);
    case 1:
        return StringCompare(first->Attr197, second->Attr197);
    case 2:
    case 3:
        // Folders come first whichever way the column sorts.
        if (folderA != folderB) {
            const bool originalAFolder = reinterpret_cast<const _PROTO_SEARCH_INFO*>(a)->ItemType[0] == 'D';
            return originalAFolder ? -1 : 1;
        }
        if (column == 3)
            return StringCompare(first->Attr219, second->Attr219);
        if (folderA)
            return StringCompare(first->Name, second->Name);
        return SizeCompare(_atoi64(first->Attr192), _atoi64(second->Attr192));
    case 4:
        return StringCompare(first->Attr188, second->Attr188);
    }
    return 0;
}

void CSearchDlg::Sort(int column)
{
    if (column == m_nSortColumn)
        m_nSortDirection = m_nSortDirection ? 0 : 1;
    else {
        m_nSortColumn = column;
        m_nSortDirection = 0;
    }
    m_list.SendMessage(LVM_SORTITEMS, static_cast<WPARAM>((m_nSortColumn << 16) | m_nSortDirection),
                       reinterpret_cast<LPARAM>(CompareFunc));
}

// ---- Go-to and download ----

void CSearchDlg::GoTo()
{
    const int row = m_list.GetNextItem(-1, LVNI_SELECTED);
    if (row < 0 || !m_hOwner)
        return;
    const _PROTO_SEARCH_INFO* hit = reinterpret_cast<const _PROTO_SEARCH_INFO*>(m_list.GetItemData(row));
    if (!hit)
        return;
    _SEARCH_GOTO_FOLDER* record = new _SEARCH_GOTO_FOLDER();
    record->IsFile = hit->ItemType[0] == 'F' ? 1 : 0;
    record->Id1 = atoi(hit->IDX);
    record->Id2 = atoi(hit->Attr178);
    record->ShortCode = static_cast<uint16_t>(atoi(hit->DIDX));
    record->LocationPath = new CString(hit->Attr197);
    record->SecondPath = new CString(hit->Attr239);
    ::SendMessageW(m_hOwner, WM_SEARCH_GOTO_FOLDER, reinterpret_cast<WPARAM>(record), 0);
    if (!(m_bContentSearch && m_strCustomFlag == L"TQX_IN"))
        SetFocus();
}

void CSearchDlg::OnCancel()
{
    // Button 2 is the download button.
    if (m_list.GetItemCount() == 0) {
        transfer::MessageBox(m_hWnd, CToviMsg::GetString(12050), MB_ICONEXCLAMATION);
        return;
    }
    const CString folder = g_chooseFolder(m_hWnd, CToviString::GetString(14147));
    if (folder.IsEmpty()) {
        TraceLog(2048, L" [ CSearchDlg::OnBnClickedBtnDownload ] CheckDownloadPath return false!");
        return;
    }
    wcsncpy(m_wszDownloadFolder, folder.GetString(), 259);
    HWND target = m_hSplitter;
    if (!target && AfxGetMainWnd())
        target = AfxGetMainWnd()->GetSafeHwnd();
    if (!target)
        return;
    ::SendMessageW(target, WM_SEARCH_DOWNLOAD_BEGIN, 0, 0);
    for (int i = 0; i < m_list.GetItemCount(); ++i) {
        const _PROTO_SEARCH_INFO* hit = reinterpret_cast<const _PROTO_SEARCH_INFO*>(m_list.GetItemData(i));
        if (hit && hit->CheckState == 2 && hit->ItemType[0] == 'F')
            ::SendMessageW(target, WM_SEARCH_DOWNLOAD_ITEM, reinterpret_cast<WPARAM>(hit),
                           reinterpret_cast<LPARAM>(m_wszDownloadFolder));
    }
    ::SendMessageW(target, WM_SEARCH_DOWNLOAD_RUN, 0, 0);
    SetFocus();
}

// ---- Closing ----

void CSearchDlg::CloseWindow()
{
    if (m_bClosing)
        return;
    m_bClosing = true;
    m_bThreadStop = true;
    SearchThreadStop(true);
    CleanAllFindListItems();
    DestroyWindow();
}

void CSearchDlg::OnOK()
{
    CloseWindow();
}

void CSearchDlg::OnCloseButton()
{
    CloseWindow();
}

void CSearchDlg::OnDestroy()
{
    m_bThreadStop = true;
    SearchThreadStop(true);
    CleanAllFindListItems();
}

void CSearchDlg::PostNcDestroy()
{
    if (m_hOwner)
        ::SendMessageW(m_hOwner, WM_SEARCHDLG_CLOSED, 0, 0);
    delete this;
}
