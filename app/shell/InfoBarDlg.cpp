// CInfoBarDlg: the information bar.
#include "InfoBarDlg.h"
#include "AppRes.h"
#include "Dc.h"
#include "FileUtils.h"
#include "FormParam.h"
#include "MainFrame.h"
#include "MainFrameRules.h"
#include "PopupDlg.h"
#include "ServerLeftView.h"
#include "ShortCutDlg.h"
#include "SkinRes.h"
#include "ToviConv.h"
#include "ToviProto.h"
#include "ToviString.h"
#include "TraceLog.h"
#include "VImageList.h"
#include <commctrl.h>
#include <shellapi.h>
#include <cstdlib>
#include <climits>
#include <cstring>

IMPLEMENT_DYNAMIC(CInfoBarDlg, CShellBar)

BEGIN_MESSAGE_MAP(CInfoBarDlg, CShellBar)
    ON_WM_SIZE()
    ON_MESSAGE(WM_OPEN_TASK_PAGE, OnOpenTaskPage)
    ON_MESSAGE(WM_APP + 1, OnRepliesArrived)
    ON_BN_CLICKED(IDC_INFO_LOGOUT, OnBnClickedLogout)
    ON_BN_CLICKED(IDC_INFO_USAGE, OnBnClickedUsage)
    ON_BN_CLICKED(IDC_INFO_COLLABORATION, OnBnClickedCollaboration)
    ON_BN_CLICKED(IDC_INFO_ALARM, OnBnClickedAlarm)
    ON_BN_CLICKED(IDC_INFO_SHARE, OnBnClickedShare)
    ON_BN_CLICKED(IDC_INFO_LINK, OnBnClickedLink)
    ON_BN_CLICKED(IDC_INFO_DRAFT, OnBnClickedDraft)
    ON_BN_CLICKED(IDC_INFO_APPROVAL, OnBnClickedApproval)
    ON_BN_CLICKED(IDC_INFO_SHORTCUT, OnBnClickedShortcut)
END_MESSAGE_MAP()

namespace {

// Posted by SetAlertInfo and SetQuotaInfo to the bar: show what the workers handed in.
const UINT kRepliesArrived = WM_APP + 1;

const COLORREF kCounterBack = 0xAD793F;
const COLORREF kCounterStates[6] = {0xD7B691, 0xAA773E, 0xD7B691, 0xD7B691, 0xAA773E, 0xAA773E};
const COLORREF kAlertBack = 0x1B27C7;
const COLORREF kAlertStates[6] = {0xA2A8F2, 0x202FE1, 0xA2A8F2, 0xA2A8F2, 0x202FE1, 0x202FE1};
const COLORREF kBoxFill = 0xE1F0F0;
const COLORREF kBoxFrame = 0xA7D1D1;
const COLORREF kText = RGB(0x33, 0x33, 0x33);

// Label string of each counter, and the page kind its click opens (0: none).
const unsigned kCounterLabel[CInfoBarDlg::kCounters] = {14038, 14039, 14040, 14211, 14212, 14260, 14262};
const int kCounterPage[CInfoBarDlg::kCounters] = {1, 2, 3, 4, 4, 0, 0};
// Counters that share one rounded box: alerts, tasks, scheduled deletions, shortcuts.
const int kCounterGroup[CInfoBarDlg::kCounters] = {0, 0, 0, 1, 1, 2, 3};
const int kCounterWidth = 30;
const int kCounterHeight = 18;

const wchar_t kCollaborationCaption[] = L"\xD611\xC5C5\xAD00\xB9AC\xC2DC\xC2A4\xD15C";   // 협업관리시스템
// The customer's collaboration server; its page logs the user in by employee number.
const wchar_t kCollaborationPage[] = L"http://collabo.zq.co.kr/AutoLogin.aspx?empno=%s";

void OpenPopupPage(CWnd* parent, int kind, const CString& url, const CString& body)
{
    CPopupDlg popup(parent);
    popup.m_nOpenMode = CPopupDlg::kModeModal;
    popup.m_nPopupKind = kind;
    popup.m_strUrl = url;
    popup.m_strParam = body;
    CMainFrame* frame = DYNAMIC_DOWNCAST(CMainFrame, parent);
    if (frame)
        frame->BeginModal();
    popup.DoModal();
    if (frame)
        frame->EndModal();
}

void OpenInBrowser(const CString& url)
{
    ::ShellExecuteW(nullptr, L"open", url, nullptr, nullptr, SW_SHOWNORMAL);
}

uint64_t ReadCount(const char* text, size_t capacity)
{
    char copy[32] = {};
    const size_t length = strnlen(text, capacity < sizeof copy - 1 ? capacity : sizeof copy - 1);
    std::memcpy(copy, text, length);
    return std::strtoull(copy, nullptr, 10);
}

}

const UINT CInfoBarDlg::kCounterIds[kCounters] = {IDC_INFO_ALARM,           IDC_INFO_SHARE, IDC_INFO_LINK,
                                                  IDC_INFO_DRAFT,           IDC_INFO_APPROVAL,
                                                  IDC_INFO_DELETE_SCHEDULE, IDC_INFO_SHORTCUT};
CInfoBarDlg::PageOpener CInfoBarDlg::s_pOpenPage = OpenPopupPage;
CInfoBarDlg::UrlOpener CInfoBarDlg::s_pOpenUrl = OpenInBrowser;

CInfoBarDlg::CInfoBarDlg() : CShellBar(32, RGB(254, 254, 254), RGB(249, 249, 249)) 
{
    // Every button stays usable; the counters of the information bar follow their own flags.
    m_bOwnButtonStates = true;
}

// The two icons are the library's shared ones: nobody destroys them.
CInfoBarDlg::~CInfoBarDlg() = default;

BOOL CInfoBarDlg::Create(CWnd* pParentWnd, UINT nIDTemplate, UINT nStyle, UINT nID)
{
    if (!CShellBar::Create(pParentWnd, nIDTemplate, nStyle, nID))
        return FALSE;
    m_hUserIcon = CVImageList::GetIcon(IDI_PERSON, 16, 16);
    if (!m_btnLogout.SubclassDlgItem(IDC_INFO_LOGOUT, this) || !m_btnUsage.SubclassDlgItem(IDC_INFO_USAGE, this) ||
        !m_btnCollaboration.SubclassDlgItem(IDC_INFO_COLLABORATION, this) ||
        !m_progress.SubclassDlgItem(IDC_INFO_QUOTA, this))
        return FALSE;
    m_btnLogout.SetBtnStyle(9);
    m_progress.SetColorType(1);
    m_progress.SetFontSize(8, FW_NORMAL);
    m_progress.SetRange(0, 100);
    m_progress.SetPos(0);
    m_progress.ShowWindow(SW_HIDE);
    m_btnUsage.SetBtnStyle(16);
    m_btnCollaboration.SetBtnStyle(20);
    for (int i = 0; i < kCounters; ++i) {
        if (!m_btnCounter[i].SubclassDlgItem(kCounterIds[i], this))
            return FALSE;
        m_btnCounter[i].SetBtnStyle(12);
    }
    CToviButton* coloured[kCounters + 1] = {&m_btnCollaboration};
    for (int i = 0; i < kCounters; ++i)
        coloured[i + 1] = &m_btnCounter[i];
    for (CToviButton* button : coloured) {
        button->SetFontSize(9, 600);
        button->SetBgColor(kCounterBack);
        button->SetStateColor(kCounterStates[0], kCounterStates[1], kCounterStates[2], kCounterStates[3],
                              kCounterStates[4], kCounterStates[5]);
        button->SetTextColor(RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255));
    }
    CreateTooltip();
    SetTexts();
    return TRUE;
}

void CInfoBarDlg::CreateTooltip()
{
    m_hTooltip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr, nullptr, nullptr);
    if (m_hTooltip == nullptr)
        return;
    TOOLINFOW tool = {sizeof(tool)};
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = m_hWnd;
    tool.uId = reinterpret_cast<UINT_PTR>(m_btnUsage.m_hWnd);
    tool.lpszText = const_cast<wchar_t*>(L"");
    ::SendMessageW(m_hTooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    ::SendMessageW(m_hTooltip, TTM_ACTIVATE, TRUE, 0);
}

void CInfoBarDlg::SetTexts()
{
    if (m_hWnd == nullptr)
        return;
    const CString face = CFileUtils::GetFont(0);
    LOGFONTW lf = {};
    CFont* parentFont = GetParent() ? GetParent()->GetFont() : nullptr;
    if (parentFont == nullptr || !parentFont->GetLogFont(&lf)) {
        lf.lfHeight = -12;
        lf.lfWeight = FW_NORMAL;
    }
    lf.lfQuality = CLEARTYPE_QUALITY;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(lf.lfFaceName, face.IsEmpty() ? L"Tahoma" : (LPCWSTR)face, LF_FACESIZE);
    m_font.DeleteObject();
    m_font.CreateFontIndirect(&lf);
    lf.lfWeight = 600;
    m_fontBold.DeleteObject();
    m_fontBold.CreateFontIndirect(&lf);
    for (CWnd* child = GetWindow(GW_CHILD); child != nullptr; child = child->GetWindow(GW_HWNDNEXT))
        child->SetFont(&m_font, FALSE);

    m_btnLogout.SetWindowText(CToviString::GetString(14037));
    m_btnUsage.SetWindowText(CToviString::GetString(14222));
    m_btnCollaboration.SetWindowText(kCollaborationCaption);
    m_strQuotaLabel = CToviString::GetString(14098);
    const bool alternative = m_pProto && m_pProto->OptionInfo.PrivacyModel[0] == 'Y';
    for (int i = 0; i < kCounters; ++i)
        m_strCounterLabel[i] = CToviString::GetString(CounterLabelId(i, alternative));
    if (m_hTooltip) {
        const CString tip = CToviString::GetString(14222);
        TOOLINFOW tool = {sizeof(tool)};
        tool.hwnd = m_hWnd;
        tool.uId = reinterpret_cast<UINT_PTR>(m_btnUsage.m_hWnd);
        tool.lpszText = const_cast<wchar_t*>(tip.GetString());
        ::SendMessageW(m_hTooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    PlaceRightButtons();
    Invalidate();
}

void CInfoBarDlg::PlaceRightButtons()
{
    CRect client;
    GetClientRect(&client);
    const int logoutWidth = m_btnLogout.GetButtonWidth(16);
    const int usageWidth = m_btnUsage.GetButtonWidth(16);
    const int y = (m_nHeight - 20) / 2;
    m_btnLogout.SetWindowPos(nullptr, client.right - 8 - logoutWidth, y, logoutWidth, 20, SWP_NOZORDER | SWP_NOACTIVATE);
    m_btnUsage.SetWindowPos(nullptr, client.right - 12 - logoutWidth - usageWidth, y, usageWidth, 20,
                            SWP_NOZORDER | SWP_NOACTIVATE);
}

void CInfoBarDlg::OnSize(UINT nType, int cx, int cy)
{
    CShellBar::OnSize(nType, cx, cy);
    // The buttons keep to the right end and the counters take the room between.
    if (m_btnLogout.GetSafeHwnd() && m_btnUsage.GetSafeHwnd()) {
        PlaceRightButtons();
        Invalidate();
    }
}

void CInfoBarDlg::SetUserInfo(CToviProto* proto)
{
    m_pProto = proto;
    if (proto == nullptr)
        return;
    m_strUser.Format(L"%s(%s)", proto->LoginInfo.UserName, proto->LoginInfo.UserId);
    m_bCollaborationShown = proto->CustomerCode == L"ZQ";
    const _OPTION_INFO& option = proto->OptionInfo;
    for (int kind = 0; kind < mainframe::kAlertKinds; ++kind)
        m_bCounterShown[kind] = mainframe::AlertKindOn(option, kind);
    m_bCounterShown[5] = option.Attr63[0] == 'Y';
    m_bCounterShown[6] = option.UseShortcut[0] == 'Y';
    if (m_hWnd == nullptr)
        return;
    m_btnCollaboration.ShowWindow(m_bCollaborationShown ? SW_SHOW : SW_HIDE);
    for (int i = 0; i < kCounters; ++i)
        m_btnCounter[i].ShowWindow(m_bCounterShown[i] ? SW_SHOW : SW_HIDE);
    ShowAlerts();
    // The session's options choose between the counters' two sets of names.
    SetTexts();
}

void CInfoBarDlg::SetAlertInfo(const _ALARM_INFO& alarm)
{
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_alarm = alarm;
    }
    if (m_hWnd)
        ::PostMessageW(m_hWnd, kRepliesArrived, 0, 0);
}

void CInfoBarDlg::SetQuotaInfo(const std::vector<_QUOTA_INFO>& quota)
{
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_quota = quota;
    }
    if (m_hWnd)
        ::PostMessageW(m_hWnd, kRepliesArrived, 0, 0);
}

_ALARM_INFO CInfoBarDlg::GetAlertInfo()
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_alarm;
}

std::vector<_QUOTA_INFO> CInfoBarDlg::GetQuotaInfo()
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_quota;
}

LRESULT CInfoBarDlg::OnRepliesArrived(WPARAM, LPARAM)
{
    // Several replies may have come in since the last one was shown: drop the extra posts.
    MSG extra;
    while (::PeekMessageW(&extra, m_hWnd, kRepliesArrived, kRepliesArrived, PM_REMOVE)) {
    }
    ShowQuota();
    ShowAlerts();
    return 0;
}

int CInfoBarDlg::QuotaPercent(uint64_t used, uint64_t total)
{
    if (total == 0)
        return 100;
    return static_cast<int>(static_cast<double>(used) / static_cast<double>(total) * 100.0);
}

CString CInfoBarDlg::QuotaText(const std::vector<_QUOTA_INFO>& quota, int* percent)
{
    if (quota.empty())
        return CString();
    const _QUOTA_INFO& first = quota.front();
    const uint64_t total = ReadCount(first.TotalBytes, sizeof first.TotalBytes);
    const uint64_t used = ReadCount(first.UsedBytes, sizeof first.UsedBytes);
    const int share = QuotaPercent(used, total);
    if (percent)
        *percent = share;
    CString text;
    text.Format(L"%s(%d%%) / %s", (LPCWSTR)CFileUtils::ConvertFileSize2(static_cast<__int64>(used)), share,
                (LPCWSTR)CFileUtils::ConvertFileSize2(static_cast<__int64>(total)));
    return text;
}

void CInfoBarDlg::ShowQuota()
{
    const std::vector<_QUOTA_INFO> quota = GetQuotaInfo();
    int percent = 0;
    m_strQuota = QuotaText(quota, &percent);
    if (quota.empty()) {
        m_strQuotaLabel.Empty();
        m_hQuotaIcon = nullptr;
        m_progress.ShowWindow(SW_HIDE);
    } else {
        m_strQuotaLabel = CToviString::GetString(14098);
        if (m_hQuotaIcon == nullptr)
            m_hQuotaIcon = CVImageList::GetIcon(IDI_YELLOW_CLOSE, 16, 16);
        m_progress.SetWindowText(m_strQuota);
        m_progress.SetPos(percent > 100 ? 100 : percent);
        m_progress.ShowWindow(SW_SHOW);
    }
    Invalidate();
}

const char* CInfoBarDlg::CounterText(const _ALARM_INFO& alarm, int counter)
{
    switch (counter) {
    case 0: return alarm.Attr223;
    case 1: return alarm.Share;
    case 2: return alarm.Link;
    case 3: return alarm.Draft;
    case 4: return alarm.Approval;
    case 5: return alarm.Delete;
    case 6: return alarm.Shortcut;
    default: return "";
    }
}

void CInfoBarDlg::ColourCounter(int counter, bool live)
{
    CToviButton& button = m_btnCounter[counter];
    const COLORREF* states = live ? kCounterStates : kAlertStates;
    button.SetBgColor(live ? kCounterBack : kAlertBack);
    button.SetStateColor(states[0], states[1], states[2], states[3], states[4], states[5]);
}

void CInfoBarDlg::ShowAlerts()
{
    const _ALARM_INFO alarm = GetAlertInfo();
    // Colours first, then the captions, so a counter never shows a new number in its old state.
    for (int i = 0; i < kCounters; ++i) {
        if (!m_bCounterShown[i])
            continue;
        const char* text = CounterText(alarm, i);
        m_bCounterEnabled[i] = text[0] != '\0';
        ColourCounter(i, m_bCounterEnabled[i] != FALSE);
    }
    UpdateWindow();
    for (int i = 0; i < kCounters; ++i) {
        if (!m_bCounterShown[i])
            continue;
        const char* text = CounterText(alarm, i);
        char copy[9] = {};
        std::memcpy(copy, text, strnlen(text, 8));
        m_btnCounter[i].SetWindowText(copy[0] ? CString(copy) : CString(L"E"));
        m_btnCounter[i].EnableWindow(m_bCounterEnabled[i]);
        m_btnCounter[i].Invalidate();
    }
    Invalidate();
}

const wchar_t* CInfoBarDlg::PageOfKind(int kind)
{
    static const wchar_t* const pages[] = {L"alarm", L"share", L"link", L"tasmanage", L"usage"};
    return kind >= 1 && kind <= 5 ? pages[kind - 1] : nullptr;
}

void CInfoBarDlg::OpenWebPage(CWnd* parent, int kind)
{
    CMainFrame* frame = DYNAMIC_DOWNCAST(CMainFrame, GetParent());
    CToviProto* proto = m_pProto ? m_pProto : (frame ? frame->m_pProto : nullptr);
    const wchar_t* page = PageOfKind(kind);
    if (proto == nullptr || page == nullptr || proto->LoginInfo.SessionId[0] == '\0' ||
        proto->LoginInfo.UserId[0] == L'\0' || proto->ServerAddress.WebServerAddress.IsEmpty())
        return;
    const CString path = frame ? frame->m_strWebPath : CString();
    if (path.IsEmpty())
        return;
    const CString url = proto->ServerAddress.WebServerAddress + path;
    const CString body =
        mainframe::CaptionPageBody(page, proto->LoginInfo.UserId, CString(proto->LoginInfo.SessionId));
    TraceLog(1, L"[ CInfoBarDlg::OpenWebPage ] URL : %s PARAM : %s\n", (LPCWSTR)url, (LPCWSTR)body);
    s_pOpenPage(parent, kind, url, body);
}

LRESULT CInfoBarDlg::OnOpenTaskPage(WPARAM wParam, LPARAM)
{
    if (wParam == IDC_INFO_APPROVAL && m_bCounterEnabled[4])
        OpenWebPage(GetParent(), 4);
    return 0;
}

void CInfoBarDlg::OnBnClickedLogout()
{
    if (CMainFrame* frame = DYNAMIC_DOWNCAST(CMainFrame, GetParent()))
        frame->OnLogout();
}

UINT CInfoBarDlg::CounterLabelId(int counter, bool alternative)
{
    if (counter < 0 || counter >= kCounters)
        return 0;
    // The draft and approval counters have a second pair of names for sites whose tasks are
    // export approvals.
    if (alternative && counter == 3)
        return 14254;
    if (alternative && counter == 4)
        return 14258;
    return kCounterLabel[counter];
}

void CInfoBarDlg::OnBnClickedUsage()
{
    OpenWebPage(GetParent(), 5);
}

void CInfoBarDlg::OnBnClickedCollaboration()
{
    if (m_pProto == nullptr)
        return;
    // The id goes into a query: a blank, '&' or '#' in it must not cut the address.
    CString url;
    url.Format(kCollaborationPage, (LPCWSTR)CFormParam::Encode(CString(m_pProto->LoginInfo.UserId)));
    s_pOpenUrl(url);
}

void CInfoBarDlg::OnBnClickedAlarm()
{
    OpenWebPage(GetParent(), kCounterPage[0]);
}

void CInfoBarDlg::OnBnClickedShare()
{
    OpenWebPage(GetParent(), kCounterPage[1]);
}

void CInfoBarDlg::OnBnClickedLink()
{
    OpenWebPage(GetParent(), kCounterPage[2]);
}

void CInfoBarDlg::OnBnClickedDraft()
{
    OpenWebPage(GetParent(), kCounterPage[3]);
}

void CInfoBarDlg::OnBnClickedApproval()
{
    OpenWebPage(GetParent(), kCounterPage[4]);
}

void CInfoBarDlg::OnBnClickedShortcut()
{
    CMainFrame* frame = DYNAMIC_DOWNCAST(CMainFrame, GetParent());
    CToviProto* proto = m_pProto ? m_pProto : (frame ? frame->m_pProto : nullptr);
    if (proto == nullptr)
        return;
    proto->GetShortcutList();
    if (proto->ShortcutList.empty()) {
        TraceLog(1, L"[ CInfoBarDlg::OnBnClickedBtnShortcut ] Shortcut count = 0!\n");
        return;
    }
    CShortCutDlg dialog(nullptr);
    dialog.m_pProto = proto;
    if (frame) {
        dialog.m_hMainWnd = frame->GetSafeHwnd();
        if (frame->m_pServerTreeView)
            dialog.m_hTreeView = frame->m_pServerTreeView->GetSafeHwnd();
    }
    dialog.SetShortcutList(proto->ShortcutList);
    if (frame)
        frame->BeginModal();
    dialog.DoModal();
    if (frame)
        frame->EndModal();
}

BOOL CInfoBarDlg::PreTranslateMessage(MSG* pMsg)
{
    if (m_hTooltip)
        ::SendMessageW(m_hTooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(pMsg));
    return CShellBar::PreTranslateMessage(pMsg);
}

int CInfoBarDlg::LayoutCounters(HDC dc, int left, int right, bool place)
{
    HDWP batch = place ? ::BeginDeferWindowPos(kCounters) : nullptr;
    m_groupBoxes.clear();
    int x = left;
    int group = -1;
    bool full = false;
    CRect box;
    const int top = (m_nHeight - 24) / 2;
    HGDIOBJ old = ::SelectObject(dc, m_fontBold.m_hObject);
    for (int i = 0; i < kCounters; ++i) {
        m_rcLabel[i].SetRectEmpty();
        if (!m_bCounterShown[i])
            continue;
        SIZE extent = {};
        ::GetTextExtentPoint32W(dc, m_strCounterLabel[i], m_strCounterLabel[i].GetLength(), &extent);
        const bool newGroup = kCounterGroup[i] != group;
        const int start = newGroup ? x + (group != -1 ? 14 : 0) + 7 : x;
        // A counter that would run into the buttons at the right waits for a wider window.
        full = full || start + extent.cx + 4 + kCounterWidth + 4 > right;
        if (full) {
            if (batch)
                batch = ::DeferWindowPos(batch, m_btnCounter[i].m_hWnd, nullptr, 0, 0, 0, 0,
                                         SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_HIDEWINDOW);
            continue;
        }
        if (newGroup) {
            if (group != -1) {
                box.right = x + 3;
                m_groupBoxes.push_back(box);
                x += 11;
            }
            group = kCounterGroup[i];
            box.SetRect(x, top, x, top + 24);
            x += 7;
        }
        m_rcLabel[i].SetRect(x, top, x + extent.cx, top + 24);
        x += extent.cx + 4;
        if (batch)
            batch = ::DeferWindowPos(batch, m_btnCounter[i].m_hWnd, nullptr, x, top + 3, kCounterWidth, kCounterHeight,
                                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        x += kCounterWidth + 6;
    }
    if (group != -1) {
        box.right = x + 1;
        m_groupBoxes.push_back(box);
    }
    ::SelectObject(dc, old);
    if (batch)
        ::EndDeferWindowPos(batch);
    return (group == -1 ? x : box.right) - left;
}

void CInfoBarDlg::PaintBackground(CDC* pDC, const CRect& rect)
{
    const HDC dc = pDC->m_hDC;
    FillVerticalGradient(dc, rect, m_clrTop, m_clrBottom);
    CMainFrame* frame = DYNAMIC_DOWNCAST(CMainFrame, GetParent());
    if (frame == nullptr || !::IsWindowVisible(frame->m_wndMenuBar.GetSafeHwnd())) {
        HPEN pen = ::CreatePen(PS_SOLID, 1, RGB(0xD2, 0xD2, 0xD2));
        HGDIOBJ oldPen = ::SelectObject(dc, pen);
        ::MoveToEx(dc, rect.left, rect.bottom - 1, nullptr);
        ::LineTo(dc, rect.right, rect.bottom - 1);
        ::SelectObject(dc, oldPen);
        ::DeleteObject(pen);
    }
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, kText);
    HGDIOBJ oldFont = ::SelectObject(dc, m_font.m_hObject);
    int x = m_bBottomLine ? 6 : 9;
    const int iconTop = (m_nHeight - 16) / 2;
    if (m_hUserIcon)
        ::DrawIconEx(dc, x, iconTop, m_hUserIcon, 16, 16, 0, nullptr, DI_NORMAL);
    x += 20;
    SIZE extent = {};
    RECT text = {x, iconTop, x, iconTop + 16};
    if (!m_strUser.IsEmpty()) {
        ::GetTextExtentPoint32W(dc, m_strUser, m_strUser.GetLength(), &extent);
        text.right = x + extent.cx;
        ::DrawTextW(dc, m_strUser, m_strUser.GetLength(), &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        x = text.right + 14;
    }
    if (!m_strQuotaLabel.IsEmpty()) {
        if (m_hQuotaIcon) {
            ::DrawIconEx(dc, x, iconTop, m_hQuotaIcon, 16, 16, 0, nullptr, DI_NORMAL);
            x += 20;
        }
        ::GetTextExtentPoint32W(dc, m_strQuotaLabel, m_strQuotaLabel.GetLength(), &extent);
        RECT label = {x, iconTop, x + extent.cx, iconTop + 16};
        ::DrawTextW(dc, m_strQuotaLabel, m_strQuotaLabel.GetLength(), &label, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        x = label.right + 6;
        CRect bar;
        m_progress.GetWindowRect(&bar);
        ScreenToClient(&bar);
        // The quota bar gives way to the counters before they reach the buttons at the right.
        CRect usage;
        m_btnUsage.GetWindowRect(&usage);
        ScreenToClient(&usage);
        const int room = usage.left - 8 - (x + 14) - LayoutCounters(dc, 0, INT_MAX, false);
        const int width = room > 170 ? 170 : (room < 150 ? 150 : room);
        if (bar.left != x || bar.Width() != width)
            m_progress.SetWindowPos(nullptr, x, iconTop, width, 16, SWP_NOZORDER | SWP_NOACTIVATE);
        x += width + 14;
    }
    ::SelectObject(dc, oldFont);

    CRect usage;
    m_btnUsage.GetWindowRect(&usage);
    ScreenToClient(&usage);
    LayoutCounters(dc, x, usage.left - 8, true);
    HBRUSH fill = ::CreateSolidBrush(kBoxFill);
    HPEN frameLine = ::CreatePen(PS_SOLID, 1, kBoxFrame);
    HGDIOBJ oldBrush = ::SelectObject(dc, fill);
    HGDIOBJ oldPen = ::SelectObject(dc, frameLine);
    for (const CRect& box : m_groupBoxes)
        ::RoundRect(dc, box.left, box.top, box.right, box.bottom, 6, 6);
    ::SelectObject(dc, oldBrush);
    ::SelectObject(dc, oldPen);
    ::DeleteObject(fill);
    ::DeleteObject(frameLine);
    oldFont = ::SelectObject(dc, m_fontBold.m_hObject);
    for (int i = 0; i < kCounters; ++i) {
        if (m_rcLabel[i].IsRectEmpty())
            continue;
        RECT label = m_rcLabel[i];
        ::DrawTextW(dc, m_strCounterLabel[i], m_strCounterLabel[i].GetLength(), &label,
                    DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    ::SelectObject(dc, oldFont);
}
