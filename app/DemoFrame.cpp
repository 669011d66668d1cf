// The program's stand-in main window: log-in, folder list and connection status.
#include "DemoFrame.h"
#include "FileUtils.h"
#include "ToviMsg.h"
#include "ToviRegistry.h"
#include "ToviString.h"
#include "ToviTextLanguage.h"
#include <cwchar>

namespace {

const UINT WM_DEMO_STEP_DONE = WM_APP + 1;
const UINT kNoticeId = 100;
const UINT kListId = 101;
const UINT kStatusId = 102;
const int kNoticeHeight = 40;
const int kMargin = 8;

// Message and interface text ids used here.
const unsigned kMsgConnecting = 12073;
const unsigned kMsgLoggingIn = 12091;
const unsigned kMsgServerError = 12123;
const unsigned kStrName = 14000;
const unsigned kStrSize = 14001;
const unsigned kStrType = 14002;
const unsigned kStrDate = 14003;
const unsigned kStrServer = 14055;
const unsigned kStrFolder = 14068;
const unsigned kStrFile = 14069;

CString Environment(const wchar_t* name)
{
    wchar_t value[512] = {};
    const DWORD length = ::GetEnvironmentVariableW(name, value, 512);
    return length > 0 && length < 512 ? CString(value) : CString();
}

const char* LanguageCode(LANGID language)
{
    switch (PRIMARYLANGID(language)) {
    case LANG_ENGLISH: return "en";
    case LANG_JAPANESE: return "ja";
    default: return "ko";
    }
}

int CALLBACK NoteFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found)
{
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool FaceInstalled(const wchar_t* face)
{
    LOGFONTW wanted = {};
    wanted.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(wanted.lfFaceName, face, LF_FACESIZE - 1);
    bool found = false;
    const HDC dc = ::GetDC(nullptr);
    ::EnumFontFamiliesExW(dc, &wanted, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
    ::ReleaseDC(nullptr, dc);
    return found;
}

// The settings' dialog font, else a face with the language's script: the stock GUI font has
// no Hangul or kana on every system (Wine's has none). Null: the stock font will do.
HFONT CreateTextFont(LANGID language)
{
    std::vector<CString> faces;
    CString stored;
    if (CToviRegistry::GetDialogFont(PRODUCT_EXPLORER, stored) && !stored.IsEmpty())
        faces.push_back(stored);
    if (PRIMARYLANGID(language) == LANG_KOREAN)
        faces.insert(faces.end(), {L"Malgun Gothic", L"Gulim", L"NanumGothic"});
    else if (PRIMARYLANGID(language) == LANG_JAPANESE)
        faces.insert(faces.end(), {L"Meiryo UI", L"MS UI Gothic", L"Noto Sans CJK JP"});
    for (const CString& face : faces) {
        if (!FaceInstalled(face))
            continue;
        const HDC dc = ::GetDC(nullptr);
        const int height = -::MulDiv(9, ::GetDeviceCaps(dc, LOGPIXELSY), 72);
        ::ReleaseDC(nullptr, dc);
        return ::CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
    }
    return nullptr;
}

}

BEGIN_MESSAGE_MAP(CDemoFrame, CWnd)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_CLOSE()
    ON_NOTIFY(NM_DBLCLK, kListId, OnListOpen)
    ON_NOTIFY(NM_RETURN, kListId, OnListOpen)
    ON_MESSAGE(WM_DEMO_STEP_DONE, OnStepDone)
END_MESSAGE_MAP()

CDemoFrame::CDemoFrame() = default;

CDemoFrame::~CDemoFrame()
{
    // Normally OnClose has done both already.
    WaitForWorker();
    m_session.Close();
    if (m_font)
        ::DeleteObject(m_font);
}

BOOL CDemoFrame::CreateFrame(int showCommand)
{
    if (!CreateEx(0, nullptr, L"CorvaneIXO", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                  760, 480, nullptr, nullptr))
        return FALSE;
    ShowWindow(showCommand);
    ::UpdateWindow(m_hWnd);

    m_job = Job();
    m_job.domain = Environment(L"TOVI_DEMO_DOMAIN");
    if (m_job.domain.IsEmpty())
        m_job.domain = L"1";
    m_job.user = Environment(L"TOVI_DEMO_USER");
    m_job.password = Environment(L"TOVI_DEMO_PASSWORD");
    m_job.languageCode = LanguageCode(CToviTextLanguage::GetThreadLanguage());
    SetNotice(CToviMsg::GetString(m_job.user.IsEmpty() ? kMsgConnecting : kMsgLoggingIn));
    StartJob();
    return TRUE;
}

int CDemoFrame::OnCreate(LPCREATESTRUCT)
{
    m_font = CreateTextFont(CToviTextLanguage::GetThreadLanguage());
    const HFONT font = m_font ? m_font : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    const RECT none = {0, 0, 0, 0};
    if (!m_notice.Create(L"", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, none, this, kNoticeId) ||
        !m_list.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL |
                           LVS_SHOWSELALWAYS,
                       none, this, kListId) ||
        !m_status.Create(STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE, none, this, kStatusId))
        return -1;
    for (CWnd* child : {static_cast<CWnd*>(&m_notice), static_cast<CWnd*>(&m_list), &m_status})
        child->SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    m_list.SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    m_list.InsertColumn(0, CToviString::GetString(kStrName), LVCFMT_LEFT, 300);
    m_list.InsertColumn(1, CToviString::GetString(kStrType), LVCFMT_LEFT, 90);
    m_list.InsertColumn(2, CToviString::GetString(kStrSize), LVCFMT_RIGHT, 100);
    m_list.InsertColumn(3, CToviString::GetString(kStrDate), LVCFMT_LEFT, 170);
    return 0;
}

void CDemoFrame::OnSize(UINT, int cx, int cy)
{
    if (!m_status.IsWindow())
        return;
    // The status bar places itself at the bottom on any WM_SIZE.
    m_status.SendMessage(WM_SIZE, 0, 0);
    RECT bar = {};
    m_status.GetWindowRect(&bar);
    const int barHeight = bar.bottom - bar.top;
    m_notice.MoveWindow(kMargin, kMargin / 2, cx - 2 * kMargin, kNoticeHeight);
    const int top = kMargin / 2 + kNoticeHeight;
    m_list.MoveWindow(0, top, cx, cy - top - barHeight > 0 ? cy - top - barHeight : 0);
}

void CDemoFrame::OnClose()
{
    ShowWindow(SW_HIDE);
    WaitForWorker();
    m_session.Close();
    DestroyWindow();
}

void CDemoFrame::PostNcDestroy()
{
    delete this;
}

void CDemoFrame::OnListOpen(NMHDR*, LRESULT* result)
{
    *result = 0;
    if (!m_busy)
        OpenItem(m_list.GetNextItem(-1, LVNI_SELECTED));
}

void CDemoFrame::OpenItem(int row)
{
    if (row < 0 || !m_session.LoggedIn())
        return;
    std::vector<Level> path = m_path;
    if (!m_path.empty() && row == 0) {   // the ".." row
        path.pop_back();
    } else {
        const size_t index = static_cast<size_t>(row - (m_path.empty() ? 0 : 1));
        if (index >= m_items.size() || !m_items[index].folder)
            return;
        path.push_back(Level{m_items[index].name, m_items[index].idx, m_items[index].didx});
    }
    m_job.open = false;
    m_job.idx = path.empty() ? "0" : path.back().idx;
    m_job.didx = path.empty() ? "0" : path.back().didx;
    m_job.path = path;
    StartJob();
}

void CDemoFrame::StartJob()
{
    m_busy = true;
    m_pWorker = AfxBeginThread(WorkerEntry, this, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (m_pWorker == nullptr) {
        m_busy = false;
        SetNotice(L"The worker thread could not be started.");
        return;
    }
    m_pWorker->m_bAutoDelete = FALSE;
    m_pWorker->ResumeThread();
}

UINT CDemoFrame::WorkerEntry(LPVOID param)
{
    CDemoFrame* frame = static_cast<CDemoFrame*>(param);
    Job& job = frame->m_job;
    job.outcome = job.open ? frame->m_session.Open(job.domain, job.user, job.password, job.languageCode.c_str())
                           : frame->m_session.List(job.idx, job.didx);
    // The window waits for this thread before it goes, so the handle is still valid.
    ::PostMessage(frame->m_hWnd, WM_DEMO_STEP_DONE, 0, 0);
    return 0;
}

void CDemoFrame::WaitForWorker()
{
    if (m_pWorker == nullptr)
        return;
    ::WaitForSingleObject(m_pWorker->m_hThread, INFINITE);
    delete m_pWorker;
    m_pWorker = nullptr;
}

LRESULT CDemoFrame::OnStepDone(WPARAM, LPARAM)
{
    WaitForWorker();
    m_busy = false;
    ShowOutcome();
    return 0;
}

void CDemoFrame::ShowOutcome()
{
    const DemoOutcome& outcome = m_job.outcome;
    m_status.SetWindowText(StatusText());
    if (outcome.stage != DemoStage::Done) {
        // A folder that did not open leaves the list where it was.
        SetNotice(FailureText(outcome));
        return;
    }
    if (!m_session.LoggedIn()) {
        SetNotice(L"The log-in window is not built yet. The run script logs in with the demo account "
                  L"(TOVI_DEMO_USER, TOVI_DEMO_PASSWORD).");
        return;
    }
    m_path = m_job.path;
    m_items = outcome.items;
    FillList(m_items);
    CString notice;
    const int count = static_cast<int>(m_items.size());
    notice.Format(L"%s \x2014 %d %s. Double-click a folder to open it.", FolderPath().GetString(), count,
                  count == 1 ? L"item" : L"items");
    SetNotice(notice);
    m_list.SetFocus();
}

void CDemoFrame::FillList(const std::vector<DemoItem>& items)
{
    m_list.SetRedraw(FALSE);
    m_list.DeleteAllItems();
    int row = 0;
    if (!m_path.empty())
        m_list.InsertItem(row++, L"..");
    for (const DemoItem& item : items) {
        const int at = m_list.InsertItem(row++, item.name);
        m_list.SetItemText(at, 1, CToviString::GetString(item.folder ? kStrFolder : kStrFile));
        if (!item.folder)
            m_list.SetItemText(at, 2, CFileUtils::ConvertFileSize(item.size));
        m_list.SetItemText(at, 3, item.date);
    }
    m_list.SetRedraw(TRUE);
    m_list.Invalidate();
}

CString CDemoFrame::FolderPath() const
{
    if (m_path.empty())
        return L"Top level";
    CString path;
    for (const Level& level : m_path)
        path += L"/" + level.name;
    return path;
}

CString CDemoFrame::StatusText() const
{
    const CString server = m_session.Server();
    if (server.IsEmpty())
        return L" Not connected";
    CString text = L" " + CToviString::GetString(kStrServer) + server;
    if (m_session.Cipher().IsEmpty())
        return text + L"    Not connected";
    text += L"    Cipher: " + m_session.Cipher();
    if (m_session.LoggedIn()) {
        CString user;
        user.Format(L"    User: %s (%s)", m_session.UserName().GetString(), m_session.UserId().GetString());
        text += user;
    }
    return text;
}

CString CDemoFrame::FailureText(const DemoOutcome& outcome) const
{
    CString text;
    switch (outcome.stage) {
    case DemoStage::Address:
        return L"No server address is set: ServerIP and ServerPort under "
               L"HKEY_CURRENT_USER\\Software\\Varivivod\\VariruDAD. scripts/run.sh writes them.";
    case DemoStage::Connect:
        text.Format(L"Could not connect to %s (code %d).", m_session.Server().GetString(), outcome.code);
        break;
    case DemoStage::LogIn:
        text.Format(L"The server refused the log-in of \"%s\" (code %d).", m_job.user.GetString(), outcome.code);
        break;
    case DemoStage::List:
        text.Format(L"The folder could not be listed (code %d).", outcome.code);
        break;
    case DemoStage::Done:
        break;
    }
    const CString detail = outcome.message.IsEmpty() ? CToviMsg::GetString(kMsgServerError) : outcome.message;
    return text + L" " + detail;
}

void CDemoFrame::SetNotice(const CString& text)
{
    m_notice.SetWindowText(text);
}
