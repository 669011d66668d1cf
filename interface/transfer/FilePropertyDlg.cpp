// CFilePropertyDlg: the properties window of server items.
#include "FilePropertyDlg.h"
#include "CircularProgressThread.h"
#include "DialogKit.h"
#include "DownloadRes.h"
#include "FileUtils.h"
#include "SkinRes.h"
#include "ToviMsg.h"
#include "ToviProto.h"
#include "ToviString.h"
#include "TraceLog.h"
#include "VImageList.h"
#include "WinThread.h"
#include <shellapi.h>

IMPLEMENT_DYNAMIC(CFilePropertyDlg, CVantelDialog)

BEGIN_MESSAGE_MAP(CFilePropertyDlg, CVantelDialog)
    ON_WM_ERASEBKGND()
    ON_WM_CLOSE()
    ON_BN_CLICKED(IDC_SYSBTN_CLOSE, OnBnClickedOk)
    ON_MESSAGE(WM_ERROR_DISP, OnErrorDisp)
    ON_MESSAGE(WM_PROPERTY_DISP, OnPropertyDisp)
    ON_MESSAGE(WM_PROPERTY_SPIN, OnCircularProgress)
END_MESSAGE_MAP()

namespace {

const UINT kOkIcon = 530;
// A server that keeps saying "more" is not followed for ever.
const int kDefaultPageLimit = 100000;
int g_pageLimit = kDefaultPageLimit;
// What the user reads when the server gave no reason of its own.
const unsigned kMsgServerError = 12123;

struct Row {
    UINT label;
    UINT value;
};
const Row kRows[] = {
    {0, IDC_PROP_NAME},
    {IDC_PROP_LABEL_TYPE, IDC_PROP_TYPE},
    {IDC_PROP_LABEL_LOCATION, IDC_PROP_LOCATION},
    {IDC_PROP_LABEL_SIZE, IDC_PROP_SIZE},
    {IDC_PROP_LABEL_CONTENTS, IDC_PROP_CONTENTS},
    {IDC_PROP_LABEL_CREATOR, IDC_PROP_CREATOR},
    {IDC_PROP_LABEL_CREATED, IDC_PROP_CREATED},
    {IDC_PROP_LABEL_MODIFIED, IDC_PROP_MODIFIED},
    {IDC_PROP_LABEL_ATTRIBUTES, IDC_PROP_ATTRIBUTES},
    {IDC_PROP_LABEL_LIMIT, IDC_PROP_LIMIT},
};

bool Is(const char* code, const char* value)
{
    return strcmp(code, value) == 0;
}

}

void CFilePropertyDlg::SetPageLimit(int pages)
{
    g_pageLimit = pages > 0 ? pages : kDefaultPageLimit;
}

CFilePropertyDlg::CFilePropertyDlg(CWnd* pParent) : CVantelDialog(IDD_FILE_PROPERTY, pParent)
{
}

CFilePropertyDlg::~CFilePropertyDlg()
{
    if (m_pProto) {
        m_pProto->CloseSocket();
        delete m_pProto;
        m_pProto = nullptr;
    }
    // A folder's icons are the library's shared ones; a file's comes from the shell.
    if (m_bOwnIcon && m_hIcon)
        ::DestroyIcon(m_hIcon);
    m_hIcon = nullptr;
    m_hOverlay = nullptr;
}

BOOL CFilePropertyDlg::OnInitDialog()
{
    CVantelDialog::OnInitDialog();
    CString title = CToviString::GetString(14105);
    if (m_nDispMode == 1 && !m_vecItems.empty())
        title.Format(L"%s %s", m_vecItems.front().Name, CToviString::GetString(14105).GetString());
    SetWindowText(title.GetString());
    SetTitleBar(title);
    AllClear();
    InitControl();
    m_btnOk.SetFocus();
    OnPropertyPreDisp();
    m_pThread = AfxBeginThread(PropertyThread, this, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (m_pThread) {
        m_pThread->m_bAutoDelete = FALSE;
        m_pThread->ResumeThread();
    }
    return FALSE;
}

void CFilePropertyDlg::AllClear()
{
    for (const Row& row : kRows) {
        if (row.label)
            SetDlgItemText(row.label, L"");
        SetDlgItemText(row.value, L"");
    }
}

void CFilePropertyDlg::InitControl()
{
    dialogkit::SkinButton(m_btnClose, this, IDC_SYSBTN_CLOSE, CToviButton::kStyleCaptionClose, CString(), 0);
    dialogkit::PlaceCloseButton(this, &m_btnClose);
    for (UINT id : {IDC_DIALOG_HIDDEN, IDC_PROP_SEPARATOR1, IDC_PROP_SEPARATOR2})
        if (CWnd* hidden = GetDlgItem(id))
            hidden->ShowWindow(SW_HIDE);
    if (m_nDispMode == 1 && !m_vecItems.empty())
        m_strTab = CToviString::GetString(Is(m_vecItems.front().Attr178, "0") ? 14106 : 14108);
    for (const Row& row : kRows)
        ShowRow(row.label, row.value, false);
    dialogkit::SkinButton(m_btnOk, this, IDOK, 13, CToviString::GetString(14061), kOkIcon);
}

void CFilePropertyDlg::ShowRow(UINT label, UINT value, bool show)
{
    for (UINT id : {label, value}) {
        if (!id)
            continue;
        if (CWnd* control = GetDlgItem(id)) {
            control->ShowWindow(show ? SW_SHOW : SW_HIDE);
            control->EnableWindow(show);
        }
    }
}

void CFilePropertyDlg::SetLabel(UINT id, unsigned text)
{
    CString label;
    label.Format(L"%s :", CToviString::GetString(text).GetString());
    SetDlgItemText(id, label.GetString());
}

void CFilePropertyDlg::OnPropertyPreDisp()
{
    if (m_vecItems.empty())
        return;
    SetLabel(IDC_PROP_LABEL_TYPE, 14002);
    SetLabel(IDC_PROP_LABEL_LOCATION, 14083);
    SetLabel(IDC_PROP_LABEL_SIZE, 14001);
    if (m_nDispMode != 1)
        return;
    const bool folder = m_vecItems.front().ItemType[0] == 'D';
    if (folder)
        SetLabel(IDC_PROP_LABEL_CONTENTS, 14155);
    SetLabel(IDC_PROP_LABEL_CREATOR, 14100);
    SetLabel(IDC_PROP_LABEL_CREATED, 14101);
    SetLabel(IDC_PROP_LABEL_MODIFIED, 14003);
    if (folder)
        SetLabel(IDC_PROP_LABEL_ATTRIBUTES, 14102);
    SetLabel(IDC_PROP_LABEL_LIMIT, 14257);
}

UINT CFilePropertyDlg::PropertyThread(LPVOID param)
{
    CFilePropertyDlg* dlg = static_cast<CFilePropertyDlg*>(param);
    return dlg ? static_cast<UINT>(dlg->RunProperty()) : static_cast<UINT>(-1);
}

int CFilePropertyDlg::RunProperty()
{
    HWND wnd = m_hWnd;
    ::SendMessageW(wnd, WM_PROPERTY_SPIN, 0, 0);
    if (!m_pProto || m_pProto->GetProperty(m_vecItems) != 0) {
        ::SendMessageW(wnd, WM_PROPERTY_SPIN, static_cast<WPARAM>(-1), 0);
        ::PostMessageW(wnd, WM_ERROR_DISP, m_pProto ? m_pProto->ResultInfo.nResultCode : -1, 0);
        TraceLog(2048, L"[ CFilePropertyDlg::PropertyThread ] GetProperty Failed \n");
        return -1;
    }
    if (m_bThreadStop) {
        ::SendMessageW(wnd, WM_PROPERTY_SPIN, static_cast<WPARAM>(-1), 0);
        return -1;
    }
    const int limit = g_pageLimit;
    for (int page = 0;; ++page) {
        if (m_pProto->ContinueFlag[0] != 'Y') {
            // "N", or anything the server has no business sending: the last page.
            m_bPropertyEnd = true;
            ::SendMessageW(wnd, WM_PROPERTY_SPIN, static_cast<WPARAM>(-1), 0);
            if (!m_bThreadStop)
                ::PostMessageW(wnd, WM_PROPERTY_DISP, 0, 0);
            return 0;
        }
        // A stopped dialog, or a server that never comes to its last page: "N" ends the
        // paging on the server.
        const bool endless = page >= limit;
        char key[2] = {m_bThreadStop || endless ? 'N' : 'Y', 0};
        if (m_pProto->GetPropertyContinue(key) != 0)
            break;
        if (key[0] == 'N') {
            ::SendMessageW(wnd, WM_PROPERTY_SPIN, static_cast<WPARAM>(-1), 0);
            if (!endless || m_bThreadStop)
                return 0;
            TraceLog(2048, L"[ CFilePropertyDlg::PropertyThread ] no last page after %d pages\n", page);
            ::PostMessageW(wnd, WM_ERROR_DISP, 0, 0);
            return -1;
        }
    }
    ::SendMessageW(wnd, WM_PROPERTY_SPIN, static_cast<WPARAM>(-1), 0);
    if (!m_bThreadStop)
        ::PostMessageW(wnd, WM_ERROR_DISP, 0, 0);
    return -1;
}

LRESULT CFilePropertyDlg::OnCircularProgress(WPARAM wParam, LPARAM)
{
    if (wParam == 0) {
        ActivateWindow(m_hWnd);
        UpdateWindow();
        if (!m_pSpinner)
            m_pSpinner = CCircularProgressThread::Start(this, 50, 0x9E6723);
        if (m_pSpinner)
            m_pSpinner->SetShow(true);
    } else if (m_pSpinner) {
        CCircularProgressThread::Stop(m_pSpinner);
        m_pSpinner = nullptr;
    }
    return 0;
}

void CFilePropertyDlg::StopThread()
{
    m_bThreadStop = true;
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
    if (m_pSpinner) {
        CCircularProgressThread::Stop(m_pSpinner);
        m_pSpinner = nullptr;
    }
}

void CFilePropertyDlg::OnBnClickedOk()
{
    if (m_bClosing)
        return;
    m_bClosing = true;
    if (!m_bPropertyEnd) {
        if (CWnd* ok = GetDlgItem(IDOK))
            ok->EnableWindow(FALSE);
        m_btnClose.EnableWindow(FALSE);
    }
    // The worker ends the paging with "N" at its next page.
    StopThread();
    CVantelDialog::OnOK();
}

void CFilePropertyDlg::OnOK()
{
    OnBnClickedOk();
}

void CFilePropertyDlg::OnCancel()
{
    OnBnClickedOk();
}

void CFilePropertyDlg::OnClose()
{
    OnBnClickedOk();
}

LRESULT CFilePropertyDlg::OnErrorDisp(WPARAM, LPARAM)
{
    if (m_bClosing)
        return 0;
    StopThread();
    CString message = m_pProto ? CString(m_pProto->ResultInfo.wszMessage) : CString();
    if (message.IsEmpty())
        message = CToviMsg::GetString(kMsgServerError);
    CFileUtils::ToviMessageBox(this, message.GetString(), L"CorvaneIXO", MB_ICONHAND);
    m_bClosing = true;
    EndDialog(1);
    return 0;
}

UINT CFilePropertyDlg::FolderIcon(const _PROTO_FOLDER_INFO& item) const
{
    const char* kind = item.Attr27;
    const bool flagY = Is(item.Attr29, "Y");
    if (Is(item.Attr178, "0")) {
        struct { const char* kind; UINT icon; } top[] = {{"1", 558}, {"A", 558}, {"2", 560}, {"3", 564}, {"4", 566},
                                                        {"5", 568}, {"6", 572}, {"7", 574}, {"8", 570}, {"9", 582}};
        for (const auto& t : top)
            if (Is(kind, t.kind))
                return t.icon;
        return 0;
    }
    if (Is(kind, "1") || Is(kind, "A"))
        return flagY ? 599 : 558;
    if (Is(kind, "3")) {
        if (m_bParentTop)
            return item.Attr231[6] == '1' ? 593 : flagY ? 601 : 564;
        return flagY ? 601 : 562;
    }
    if (Is(kind, "5"))
        return m_bParentTop ? 568 : 578;
    if (Is(kind, "6"))
        return 558;
    if (Is(kind, "D"))
        return Is(item.IDX, "2") ? 576 : 580;
    return 0;
}

LRESULT CFilePropertyDlg::OnPropertyDisp(WPARAM, LPARAM)
{
    if (!m_pProto || m_pProto->PropertyInfo.empty() || m_vecItems.empty())
        return 0;
    const _PROTO_PROPERTY_INFO& r = m_pProto->PropertyInfo.front();
    const _PROTO_FOLDER_INFO& item = m_vecItems.front();
    const bool folder = item.ItemType[0] == 'D';
    const bool top = Is(item.Attr178, "0");
    auto show = [this](UINT label, UINT value, const CString& text) {
        SetDlgItemText(value, text.GetString());
        ShowRow(label, value, !text.IsEmpty());
    };
    if (m_nDispMode != 1) {
        m_hIcon = CVImageList::GetIcon(605, 32, 32);
        CString summary;
        summary.Format(L"%s %d, %s %d", CToviString::GetString(14069).GetString(), atoi(r.FileCnt),
                       CToviString::GetString(14068).GetString(), atoi(r.DirCnt));
        show(0, IDC_PROP_NAME, summary);
        show(IDC_PROP_LABEL_TYPE, IDC_PROP_TYPE, CToviString::GetString(14224));
        show(IDC_PROP_LABEL_LOCATION, IDC_PROP_LOCATION, top ? CToviString::GetString(14107) : m_strLocation);
        CString size = CFileUtils::ConvertFileSize2(_atoi64(r.Attr190));
        if (_atoi64(r.Attr191) > 0)
            size += L" / " + CFileUtils::ConvertFileSize2(_atoi64(r.Attr191));
        show(IDC_PROP_LABEL_SIZE, IDC_PROP_SIZE, size);
        Invalidate();
        return 0;
    }
    SHFILEINFOW info = {};
    if (folder) {
        ::SHGetFileInfoW(r.Name, FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info, SHGFI_USEFILEATTRIBUTES | SHGFI_TYPENAME);
        if (const UINT icon = FolderIcon(item))
            m_hIcon = CVImageList::GetIcon(icon, 32, 32);
        if (Is(item.Attr27, "A"))
            m_hOverlay = CVImageList::GetIcon(556, 16, 16);
    } else {
        ::SHGetFileInfoW(r.Name, FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                         SHGFI_USEFILEATTRIBUTES | SHGFI_TYPENAME | SHGFI_ICON | SHGFI_LARGEICON);
        // The shell's icon is ours: destroyed with the dialog.
        m_hIcon = info.hIcon;
        m_bOwnIcon = info.hIcon != nullptr;
    }
    show(0, IDC_PROP_NAME, r.Name);
    show(IDC_PROP_LABEL_TYPE, IDC_PROP_TYPE, top ? CToviString::GetString(14106) : CString(info.szTypeName));
    show(IDC_PROP_LABEL_LOCATION, IDC_PROP_LOCATION, top ? CToviString::GetString(14107) : m_strLocation);
    CString size;
    if (folder) {
        if (r.Attr190[0])
            size = CFileUtils::ConvertFileSize2(_atoi64(r.Attr190));
        if (r.Attr191[0])
            size += L" / " + CFileUtils::ConvertFileSize2(_atoi64(r.Attr191));
    } else {
        size = CFileUtils::ConvertFileSize2(_atoi64(r.Attr192));
    }
    show(IDC_PROP_LABEL_SIZE, IDC_PROP_SIZE, size);
    if (folder) {
        CString contents;
        contents.Format(L"%s %d, %s %d", CToviString::GetString(14069).GetString(), atoi(r.FileCnt),
                        CToviString::GetString(14068).GetString(), atoi(r.DirCnt));
        show(IDC_PROP_LABEL_CONTENTS, IDC_PROP_CONTENTS, contents);
    }
    if (r.Attr169[0]) {
        CString creator;
        if (m_strCustomFlag == L"WQPD_IN")
            creator = r.Attr183;
        else
            creator.Format(L"%s(%s)", r.Attr183, CString(r.Attr169).GetString());
        show(IDC_PROP_LABEL_CREATOR, IDC_PROP_CREATOR, creator);
    }
    show(IDC_PROP_LABEL_CREATED, IDC_PROP_CREATED, r.Attr187);
    show(IDC_PROP_LABEL_MODIFIED, IDC_PROP_MODIFIED, r.Attr188);
    CString attributes;
    if (folder && Is(r.Attr29, "Y"))
        attributes = CToviString::GetString(14103);
    show(IDC_PROP_LABEL_ATTRIBUTES, IDC_PROP_ATTRIBUTES, attributes);
    if (!folder && r.Attr141[0] && r.Attr142[0]) {
        CString limit;
        limit.Format(L"%s[%s]", r.Attr141, r.Attr142);
        show(IDC_PROP_LABEL_LIMIT, IDC_PROP_LIMIT, limit);
        if (attributes.IsEmpty()) {
            // The limit takes the empty attributes row's place.
            for (const std::pair<UINT, UINT>& move : {std::make_pair(IDC_PROP_LABEL_LIMIT, IDC_PROP_LABEL_ATTRIBUTES),
                                                      std::make_pair(IDC_PROP_LIMIT, IDC_PROP_ATTRIBUTES)}) {
                CRect at;
                GetDlgItem(move.second)->GetWindowRect(&at);
                ScreenToClient(&at);
                GetDlgItem(move.first)->MoveWindow(&at);
            }
        }
    }
    Invalidate();
    return 0;
}

BOOL CFilePropertyDlg::OnEraseBkgnd(CDC* pDC)
{
    CRect rect;
    GetClientRect(&rect);
    const BOOL done = DrawBkgnd(pDC, rect);
    HDC dc = pDC->GetSafeHdc();
    CRect panel;
    if (CWnd* frame = GetDlgItem(IDC_DIALOG_HIDDEN)) {
        frame->GetWindowRect(&panel);
        ScreenToClient(&panel);
        // A tab 70 wide and 20 high over the panel's top left, the panel below it.
        const POINT shape[] = {{panel.left, panel.top},           {panel.left + 70, panel.top},
                               {panel.left + 70, panel.top + 20}, {panel.right, panel.top + 20},
                               {panel.right, panel.bottom},       {panel.left, panel.bottom}};
        HPEN pen = ::CreatePen(PS_SOLID, 1, 0xD9D9D9);
        HGDIOBJ oldPen = ::SelectObject(dc, pen);
        HGDIOBJ oldBrush = ::SelectObject(dc, ::GetStockObject(WHITE_BRUSH));
        ::Polygon(dc, shape, 6);
        for (UINT id : {IDC_PROP_SEPARATOR1, IDC_PROP_SEPARATOR2}) {
            CRect line;
            GetDlgItem(id)->GetWindowRect(&line);
            ScreenToClient(&line);
            ::MoveToEx(dc, line.left, line.top, nullptr);
            ::LineTo(dc, line.right, line.top);
        }
        ::SelectObject(dc, oldBrush);
        ::SelectObject(dc, oldPen);
        ::DeleteObject(pen);
        LOGFONTW font = {};
        ::GetObjectW(reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)), sizeof font, &font);
        font.lfWeight = 600;
        HFONT bold = ::CreateFontIndirectW(&font);
        HGDIOBJ oldFont = ::SelectObject(dc, bold);
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, 0xDE8D54);
        RECT tab = {panel.left, panel.top + 7, panel.left + 70, panel.top + 20};
        ::DrawTextW(dc, m_strTab.GetString(), m_strTab.GetLength(), &tab, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
        ::SelectObject(dc, oldFont);
        ::DeleteObject(bold);
        CRect first;
        GetDlgItem(IDC_PROP_SEPARATOR1)->GetWindowRect(&first);
        ScreenToClient(&first);
        if (m_hIcon)
            ::DrawIconEx(dc, first.left + 5, first.top - 40, m_hIcon, 32, 32, 0, nullptr, DI_NORMAL);
        if (m_hOverlay)
            ::DrawIconEx(dc, first.left + 21, first.top - 24, m_hOverlay, 16, 16, 0, nullptr, DI_NORMAL);
    }
    return done;
}
