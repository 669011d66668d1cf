// CSearchDlg: the search window: set-up, the search worker, the hit list, go-to and download.
#include "SearchDlg.h"
#include "DialogKit.h"
#include "DownloadRes.h"
#include "FileUtils.h"
#include "SearchMenuDlg.h"
#include "SkinRes.h"
#include "ToviMessages.h"
#include "ToviMsg.h"
#include "ToviProto.h"
#include "ToviString.h"
#include "TraceLog.h"
#include "VImageList.h"
#include "WinThread.h"
#include <algorithm>
#include <commctrl.h>
#include <shlobj.h>
#include <shlwapi.h>

#define WM_SEARCH_INVOKE (WM_USER + 203)

IMPLEMENT_DYNAMIC(CSearchDlg, CDialog)

BEGIN_MESSAGE_MAP(CSearchDlg, CDialog)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_SIZE()
    ON_WM_GETMINMAXINFO()
    ON_WM_NCCALCSIZE()
    ON_WM_NCPAINT()
    ON_WM_NCACTIVATE()
    ON_WM_SETCURSOR()
    ON_WM_ERASEBKGND()
    ON_WM_ENTERSIZEMOVE()
    ON_WM_EXITSIZEMOVE()
    ON_BN_CLICKED(IDC_SYSBTN_CLOSE, OnCloseButton)
    ON_BN_CLICKED(IDC_SYSBTN_MIDDLE, OnMaximizeButton)
    ON_BN_CLICKED(IDC_SYSBTN_MINIMIZE, OnMinimizeButton)
    ON_MESSAGE(WM_SEARCH_THREAD_STOP, OnThreadStop)
    ON_MESSAGE(WM_SEARCH_INVOKE, OnInvoke)
END_MESSAGE_MAP()

namespace {

const int kDefaultPageLimit = 100000;
int g_pageLimit = kDefaultPageLimit;
const UINT kDownloadIcon = 514;
const UINT kOkIcon = 530;
const unsigned kMsgServerError = 12123;

CString BrowseForFolder(HWND owner, const CString& title);

int CALLBACK BrowseCallback(HWND wnd, UINT message, LPARAM lParam, LPARAM)
{
    if (message == BFFM_VALIDATEFAILEDW) {
        // A typed path that is no folder: say so plainly and close the browser.
        ::MessageBoxW(wnd, reinterpret_cast<const wchar_t*>(lParam), L"CorvaneIXO", MB_OK);
        return 0;
    }
    return 0;
}

CString BrowseForFolder(HWND owner, const CString& title)
{
    BROWSEINFOW info = {};
    info.hwndOwner = owner;
    info.lpszTitle = title.GetString();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_NEWDIALOGSTYLE;
    info.lpfn = BrowseCallback;
    PIDLIST_ABSOLUTE chosen = ::SHBrowseForFolderW(&info);
    if (!chosen)
        return CString();
    wchar_t path[MAX_PATH] = {};
    const BOOL ok = ::SHGetPathFromIDListW(chosen, path);
    ::CoTaskMemFree(chosen);
    return ok ? CString(path) : CString();
}

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

bool IsCode(const char* code, std::initializer_list<const char*> values)
{
    for (const char* value : values)
        if (strcmp(code, value) == 0)
            return true;
    return false;
}

}

CSearchDlg::FolderChooserFn CSearchDlg::s_pfnChooseFolder = BrowseForFolder;

void CSearchDlg::SetPageLimit(int pages)
{
    g_pageLimit = pages > 0 ? pages : kDefaultPageLimit;
}

std::string CSearchDlg::WireDate(const SYSTEMTIME& date)
{
    char text[11] = {};
    _snprintf(text, sizeof text, "%04d-%02d-%02d", date.wYear % 10000, date.wMonth % 100, date.wDay % 100);
    return text;
}

CSearchDlg::CSearchDlg(CWnd* pParent) : CDialog(IDD_SEARCH, pParent)
{
}

CSearchDlg::~CSearchDlg()
{
    delete m_pMenuDlg;
    delete m_pProto;
    if (m_hIcon)
        ::DestroyIcon(m_hIcon);
    if (m_hStateImages)
        ::ImageList_Destroy(m_hStateImages);
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
    return CDialog::Create(IDD_SEARCH, parent);
}

// ---- Creation ----

int CSearchDlg::OnCreate(LPCREATESTRUCT)
{
    const int result = static_cast<int>(Default());
    if (result == -1)
        return -1;
    // The system menu comes back once the window is built; meanwhile nothing draws it.
    ModifyStyle(WS_SYSMENU, 0);
    m_pMenuDlg = new CSearchMenuDlg(this, m_bContentSearch, m_strCustomFlag);
    if (m_pMenuDlg->Create(IDD_SEARCH_MENU, this))
        m_pMenuDlg->ShowWindow(SW_SHOW);
    m_hIcon = CFileUtils::GetMainIcon(0);
    return result;
}

BOOL CSearchDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    HFONT current = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    LOGFONTW lf = {};
    if (current && ::GetObjectW(current, sizeof lf, &lf)) {
        // The configured dialog face; else the one for the language (Korean needs its own).
        CString face = CFileUtils::GetDlgFont(0);
        if (face.IsEmpty())
            face = CFileUtils::GetFont(0);
        if (!face.IsEmpty()) {
            ::lstrcpynW(lf.lfFaceName, face.GetString(), LF_FACESIZE);
            lf.lfCharSet = DEFAULT_CHARSET;
        }
        lf.lfQuality = CLEARTYPE_QUALITY;
        m_fontDlg.CreateFontIndirect(&lf);
        SendMessageToDescendants(WM_SETFONT, reinterpret_cast<WPARAM>(m_fontDlg.GetSafeHandle()), TRUE);
        lf.lfWeight = 600;
        m_fontTitle.CreateFontIndirect(&lf);
    }
    SetWindowText(CToviString::GetString(14131).GetString());
    if (m_hIcon) {
        SetIcon(m_hIcon, TRUE);
        SetIcon(m_hIcon, FALSE);
    }
    InitControl();
    InitListControl();
    m_nSortColumn = 0;
    m_nSortDirection = 0;
    InitSortItems();
    if (HIMAGELIST small = Images().GetSmallImageList())
        m_list.SetImageList(small, LVSIL_SMALL);
    InitMenuDlg();
    // The template's size is in dialog units; the window is never smaller than its minimum.
    CRect window;
    GetWindowRect(&window);
    if (window.Width() < kMinWidth || window.Height() < kMinHeight)
        SetWindowPos(nullptr, 0, 0, std::max(window.Width(), static_cast<int>(kMinWidth)),
                     std::max(window.Height(), static_cast<int>(kMinHeight)), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CenterWindow();
    LayoutControl();
    if (m_bContentSearch)
        m_list.SetColumnWidth(0, LVSCW_AUTOSIZE_USEHEADER);
    ModifyStyle(0, WS_SYSMENU);
    if (!m_strSearchText.IsEmpty())
        GetSearch();
    return FALSE;
}

void CSearchDlg::InitControl()
{
    dialogkit::SkinButton(m_btnMinimize, this, IDC_SYSBTN_MINIMIZE, CToviButton::kStyleCaptionMinimize, CString(), 0);
    dialogkit::SkinButton(m_btnMaximize, this, IDC_SYSBTN_MIDDLE, CToviButton::kStyleCaptionMiddle, CString(), 0);
    dialogkit::SkinButton(m_btnClose, this, IDC_SYSBTN_CLOSE, CToviButton::kStyleCaptionClose, CString(), 0);
    m_btnMinimize.EnableWindow(FALSE);
    dialogkit::SkinButton(m_btnOk, this, IDOK, 13, CToviString::GetString(14061), kOkIcon);
    m_btnOk.ShowWindow(SW_HIDE);
    dialogkit::SkinButton(m_btnDownload, this, IDCANCEL, 13, CToviString::GetString(m_bContentSearch ? 14061 : 14047),
                         m_bContentSearch ? kOkIcon : kDownloadIcon);
}

void CSearchDlg::InitListControl()
{
    m_list.SubclassDlgItem(IDC_SEARCH_LIST, this);
    m_list.SetType(m_bContentSearch ? CToviListCtrl::kTypeSearchContent : CToviListCtrl::kTypeSearch);
    m_list.SetFont();
    DWORD style = m_list.GetExtendedStyle() | LVS_EX_FULLROWSELECT;
    if (!m_bContentSearch)
        style |= LVS_EX_CHECKBOXES;
    if (CFileUtils::GetWindowsType() > 5)
        style |= LVS_EX_DOUBLEBUFFER;
    m_list.SetExtendedStyle(style);
    if (!m_bContentSearch) {
        // The rows paint their own check box in the room the list keeps for state images:
        // room for the box and a margin, whatever size the system's own boxes have.
        m_hStateImages = ::ImageList_Create(20, 16, ILC_COLOR32 | ILC_MASK, 1, 0);
        if (m_hStateImages)
            m_list.SetImageList(m_hStateImages, LVSIL_STATE);
    }
    if (m_bContentSearch) {
        m_list.InsertColumn(0, CToviString::GetString(14092).GetString(), LVCFMT_LEFT, 560);
        m_list.SetTextColor(::GetSysColor(COLOR_WINDOWTEXT));
        m_list.SetTextBkColor(::GetSysColor(COLOR_WINDOW));
        m_list.SetBkColor(0xFEF9F6);
    } else {
        m_list.InsertColumn(0, CToviString::GetString(14000).GetString(), LVCFMT_LEFT, 150);
        m_list.InsertColumn(1, CToviString::GetString(14083).GetString(), LVCFMT_LEFT, 200);
        m_list.InsertColumn(2, CToviString::GetString(14001).GetString(), LVCFMT_RIGHT, 80);
        m_list.InsertColumn(3, CToviString::GetString(14002).GetString(), LVCFMT_LEFT, 80);
        m_list.InsertColumn(4, CToviString::GetString(14003).GetString(), LVCFMT_LEFT, 140);
    }
    m_header.Init(m_list.GetHeaderCtrl());
}

void CSearchDlg::InitMenuDlg()
{
    if (!m_pMenuDlg || !m_pMenuDlg->GetSafeHwnd())
        return;
    m_pMenuDlg->InitMenu(m_strSearchText, m_strLocation);
}

void CSearchDlg::InitSortItems()
{
    m_header.SetOrder(m_nSortDirection, m_nSortColumn);
    if (m_list.GetItemCount() > 0)
        m_list.SendMessage(LVM_SORTITEMS, static_cast<WPARAM>((m_nSortColumn << 16) | m_nSortDirection),
                           reinterpret_cast<LPARAM>(CompareFunc));
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
    return CDialog::OnNotify(wParam, lParam, pResult);
}

// ---- Searching ----

bool CSearchDlg::GetSearch()
{
    if (!m_pMenuDlg || m_pThread)
        return false;
    wchar_t text[512] = {};
    ::GetDlgItemTextW(m_pMenuDlg->GetSafeHwnd(), IDC_SEARCH_USER, text, 512);
    m_strUser = text;
    ::GetDlgItemTextW(m_pMenuDlg->GetSafeHwnd(), IDC_SEARCH_NAME, text, 512);
    m_strName = text;
    ::GetDlgItemTextW(m_pMenuDlg->GetSafeHwnd(), IDC_SEARCH_LOCATION, text, 512);
    m_strLocation = text;
    m_list.m_strKeyword = m_strName.GetString();
    CWnd* nameEdit = m_pMenuDlg->GetDlgItem(IDC_SEARCH_NAME);
    if (!m_strName.IsEmpty() && nameEdit)
        nameEdit->EnableWindow(FALSE);
    if (!m_pProto) {
        m_pProto = new CToviProto();
        m_pProto->NoTimerFlag = 1;
        strncpy(m_pProto->LoginInfo.SessionId, m_szUserId, sizeof m_pProto->LoginInfo.SessionId - 1);
        strncpy(m_pProto->ServerAddress.szHost, m_szHost, sizeof m_pProto->ServerAddress.szHost - 1);
        m_pProto->ServerAddress.nPort = m_nPort;
        memcpy(m_pProto->ServerAddress.szCode, m_szCode, sizeof m_szCode);
        if (m_pProto->GetSecureCode(m_hWnd, m_szHost, m_nPort, m_szCode, PROT_CMD('D', '2')) != 0) {
            TraceLog(2048, L"GetSecureCode Fail\n");
            dialogkit::MessageBox(m_hWnd, m_pProto->ResultInfo.wszMessage, MB_ICONHAND);
            delete m_pProto;
            m_pProto = nullptr;
            if (nameEdit)
                nameEdit->EnableWindow(TRUE);
            return false;
        }
    }
    m_bThreadStop = false;
    m_pThread = AfxBeginThread(SearchThread, this, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (!m_pThread) {
        if (nameEdit)
            nameEdit->EnableWindow(TRUE);
        return false;
    }
    m_pThread->m_bAutoDelete = FALSE;
    m_pThread->ResumeThread();
    return true;
}

UINT CSearchDlg::SearchThread(LPVOID param)
{
    CSearchDlg* dlg = static_cast<CSearchDlg*>(param);
    const bool com = SUCCEEDED(::CoInitialize(nullptr));
    HWND wnd = dlg->m_hWnd;
    CSearchMenuDlg* menu = dlg->m_pMenuDlg;
    if (!dlg->m_strName.IsEmpty() || !dlg->m_strUser.IsEmpty()) {
        dialogkit::RunOnWindowThread(wnd, WM_SEARCH_INVOKE, [dlg, menu] {
            menu->Progress().ShowWindow(SW_SHOW);
            menu->Progress().SetMarquee(true, 20, 10);
            dlg->CleanAllFindListItems();
        });
        char idx[10] = {}, didx[10] = {};
        if (dlg->m_pFolderInfo) {
            strncpy(idx, dlg->m_pFolderInfo->IDX, 9);
            strncpy(didx, dlg->m_pFolderInfo->DIDX, 9);
        }
        const int limit = g_pageLimit;
        for (int page = 0; !dlg->m_bThreadStop; ++page) {
            if (page >= limit) {
                // The server never ended its list: what came so far stays listed, and the user
                // learns that it may be incomplete.
                TraceLog(2048, L"[ CSearchDlg::SearchThread ] no last page after %d pages\n", page);
                dialogkit::RunOnWindowThread(wnd, WM_SEARCH_INVOKE, [dlg, menu] {
                    menu->Progress().SetMarquee(false, 20, 10);
                    dialogkit::MessageBox(dlg->m_hWnd, CToviMsg::GetString(kMsgServerError), MB_ICONHAND);
                });
                break;
            }
            if (dlg->m_pProto->GetSearchInfo(idx, didx, menu->m_szCategory, dlg->m_bContentSearch, menu->m_szDateFrom,
                                             menu->m_szDateTo, menu->m_szSizeFrom, menu->m_szSizeTo,
                                             dlg->m_strUser.GetString(), dlg->m_strName.GetString()) != 0) {
                const CString message = dlg->m_pProto->ResultInfo.wszMessage;
                dialogkit::RunOnWindowThread(wnd, WM_SEARCH_INVOKE, [dlg, menu, message] {
                    menu->Progress().SetMarquee(false, 20, 10);
                    dialogkit::MessageBox(dlg->m_hWnd, message, MB_ICONHAND);
                });
                break;
            }
            // A stopped search asks for no further page.
            if (dlg->m_bThreadStop)
                break;
            bool more = false;
            dialogkit::RunOnWindowThread(wnd, WM_SEARCH_INVOKE, [dlg, &more] { more = dlg->DrawFindList(); });
            if (!more)
                break;
        }
        dialogkit::RunOnWindowThread(wnd, WM_SEARCH_INVOKE, [menu] {
            menu->Progress().SetMarquee(false, 20, 10);
            menu->Progress().ShowWindow(SW_HIDE);
        });
    }
    ::PostMessageW(wnd, WM_SEARCH_THREAD_STOP, 0, 0);
    if (com)
        ::CoUninitialize();
    return 0;
}

LRESULT CSearchDlg::OnInvoke(WPARAM, LPARAM lParam)
{
    return dialogkit::RunInvoked(lParam);
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
        if (InsertFindListItem(m_nHits, hit) >= 0)
            ++m_nHits;
    }
    if (m_bContentSearch)
        m_list.SetColumnWidth(0, LVSCW_AUTOSIZE_USEHEADER);
    return more;
}

int CSearchDlg::InsertFindListItem(int index, const _PROTO_SEARCH_INFO& hit)
{
    if (!hit.IDX[0])
        return -1;
    _PROTO_SEARCH_INFO* row = new _PROTO_SEARCH_INFO(hit);
    row->CheckState = 0;
    const bool file = hit.ItemType[0] == 'F';
    int image = 0;
    if (file)
        image = Images().GetSysIcon(hit.Name, false, false, false);
    else if (IsCode(hit.Attr27, {"1", "A", "2", "5"}))
        image = Images().GetYellowClose();
    else if (IsCode(hit.Attr27, {"3", "4"}))
        image = Images().GetBlueClose();
    SHFILEINFOW info = {};
    ::SHGetFileInfoW(hit.Name, file ? FILE_ATTRIBUTE_NORMAL : FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info,
                     SHGFI_USEFILEATTRIBUTES | SHGFI_TYPENAME);
    // The type name sorts column 3; a file-name search keeps it in the excerpt's place, which
    // only content searches show.
    if (!m_bContentSearch)
        wcsncpy(row->Attr219, info.szTypeName, 127);
    const int at = m_list.InsertItem(LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM, index, hit.Name, 0, 0, image < 0 ? 0 : image,
                                     reinterpret_cast<LPARAM>(row));
    if (at < 0) {
        delete row;
        return -1;
    }
    if (!m_bContentSearch) {
        m_list.SetItemText(at, 1, hit.Attr197);
        m_list.SetItemText(at, 2, file ? CFileUtils::ConvertFileSize(_atoi64(hit.Attr192)).GetString() : L"");
        m_list.SetItemText(at, 3, info.szTypeName);
        m_list.SetItemText(at, 4, hit.Attr188);
    }
    return at;
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
    // The pump below delivers the worker's own stop message, which lands here again: the
    // outer call finishes the job.
    if (m_bStopping)
        return;
    m_bStopping = true;
    while (m_pThread) {
        DWORD code = 0;
        if (!::GetExitCodeThread(m_pThread->m_hThread, &code) || code != STILL_ACTIVE) {
            delete m_pThread;
            m_pThread = nullptr;
            break;
        }
        AfxPumpWait(m_pThread->m_hThread, 10);
    }
    if (m_pProto) {
        m_pProto->CloseSocket();
        delete m_pProto;
        m_pProto = nullptr;
    }
    m_bStopping = false;
    if (!quiet && m_pMenuDlg && m_pMenuDlg->GetSafeHwnd())
        m_pMenuDlg->SearchEnded();
}

LRESULT CSearchDlg::OnThreadStop(WPARAM, LPARAM)
{
    m_bThreadStop = true;
    SearchThreadStop(false);
    if (m_pMenuDlg && m_pMenuDlg->GetSafeHwnd()) {
        if (CWnd* name = m_pMenuDlg->GetDlgItem(IDC_SEARCH_NAME))
            name->EnableWindow(TRUE);
        m_pMenuDlg->m_bSearching = false;
    }
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
    m_header.SetOrder(m_nSortDirection, m_nSortColumn);
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

bool CSearchDlg::CheckDownloadPath()
{
    CString folder;
    if (m_pDownloadHost && m_pDownloadHost->IsLocalPaneShown()) {
        folder = m_wszDownloadFolder[0] ? CString(m_wszDownloadFolder) : m_pDownloadHost->SelectedLocalFolder();
    } else {
        folder = s_pfnChooseFolder(m_hWnd, CToviString::GetString(14147));
    }
    if (folder.IsEmpty())
        return false;
    wcsncpy(m_wszDownloadFolder, folder.GetString(), 259);
    m_wszDownloadFolder[259] = 0;
    TraceLog(1, L" [ CSearchDlg::CheckDownloadPath ] %s \n", m_wszDownloadFolder);
    return true;
}

void CSearchDlg::OnBnClickedBtnDownload()
{
    if (m_list.GetItemCount() == 0) {
        dialogkit::MessageBox(m_hWnd, CToviMsg::GetString(12050), MB_ICONEXCLAMATION);
        return;
    }
    if (!CheckDownloadPath()) {
        TraceLog(2048, L" [ CSearchDlg::OnBnClickedBtnDownload ] CheckDownloadPath return false!");
        return;
    }
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

void CSearchDlg::OnCancel()
{
    // Button 2 is the download button; Escape closes the window instead (PreTranslateMessage).
    OnBnClickedBtnDownload();
}

// ---- Caption buttons and closing ----

void CSearchDlg::OnMaximizeButton()
{
    ShowWindow(IsZoomed() ? SW_RESTORE : SW_MAXIMIZE);
}

void CSearchDlg::OnMinimizeButton()
{
    ShowWindow(SW_MINIMIZE);
}

void CSearchDlg::CloseWindow()
{
    if (m_bClosing)
        return;
    m_bClosing = true;
    m_bThreadStop = true;
    SearchThreadStop(true);
    m_list.m_bNoDraw = true;
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
