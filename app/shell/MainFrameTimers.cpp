// CMainFrame: the keep-alive timers and their workers (session, alert and quota updates, each
// on a connection of its own), the idle log-out and the delete-schedule check.
#include "FileUtils.h"
#include "MainFrame.h"
#include "ServerRightView.h"
#include "TaskBarDlg.h"
#include "ToviMsg.h"
#include "ToviProto.h"
#include "ToviRegistry.h"
#include "ToviUpdate.h"
#include "TraceLog.h"
#include "WinThread.h"
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

bool SystemLastInput(DWORD* tick)
{
    LASTINPUTINFO info = {sizeof(info), 0};
    if (!::GetLastInputInfo(&info))
        return false;
    *tick = info.dwTime;
    return true;
}

// Steps W1-W4 of every worker: the thread's language, a protocol object of its own that leaves
// the frame's socket timer alone, and a keyed connection for the pending command. Null when
// the exchange failed (the request is skipped silently).
CToviProto* OpenWorkerConnection(CMainFrame* frame, DWORD noTimer, uint16_t command)
{
    unsigned short language = 18;
    if (!CToviRegistry::GetLanguage(0, &language))
        language = 18;
    CFileUtils::SetLocaleChange(language);
    CToviProto* proto = new CToviProto;
    proto->NoTimerFlag = noTimer;
    CToviProto* session = frame->m_pProto;
    proto->CustomerCode = session->CustomerCode;
    std::memcpy(&proto->ServerAddress.szHost, session->ServerAddress.szHost, sizeof proto->ServerAddress.szHost);
    std::memcpy(&proto->ServerAddress.szCode, session->ServerAddress.szCode, sizeof proto->ServerAddress.szCode);
    proto->ServerAddress.nPort = session->ServerAddress.nPort;
    std::memcpy(proto->LoginInfo.SessionId, session->LoginInfo.SessionId, sizeof proto->LoginInfo.SessionId);
    if (proto->GetSecureCode(frame->m_hWnd, proto->ServerAddress.szHost, proto->ServerAddress.nPort,
                             proto->ServerAddress.szCode, command) != 0) {
        proto->CloseSocket();
        delete proto;
        return nullptr;
    }
    return proto;
}

void CloseWorkerConnection(CToviProto* proto)
{
    proto->CloseSocket();
    delete proto;
}

}

CMainFrame::LastInputQuery CMainFrame::s_pLastInput = SystemLastInput;

void CMainFrame::ArmTimer(UINT_PTR id, int intervalMs)
{
    if (m_hWnd == nullptr)
        return;
    if (::GetWindowThreadProcessId(m_hWnd, nullptr) != ::GetCurrentThreadId()) {
        ::PostMessageW(m_hWnd, WM_ARM_TIMER, id, intervalMs);
        return;
    }
    ::KillTimer(m_hWnd, id);
    // An interval the server left empty or at 0 would fire at the system's minimum period and
    // flood the server: such a timer stays off.
    if (intervalMs > 0)
        ::SetTimer(m_hWnd, id, static_cast<UINT>(intervalMs), nullptr);
}

LRESULT CMainFrame::OnArmTimer(WPARAM wParam, LPARAM lParam)
{
    // A worker's reply that arrives after the log-out arms nothing.
    if (m_bLoggedIn)
        ArmTimer(static_cast<UINT_PTR>(wParam), static_cast<int>(lParam));
    return 0;
}

void CMainFrame::ArmSessionTimers()
{
    ArmTimer(IDT_SESSIONUPDATE, m_nSessionInterval);
    ArmTimer(IDT_QUOTAUPDATE, m_nQuotaInterval);
    const _OPTION_INFO& option = m_pProto->OptionInfo;
    if (mainframe::AnyAlertKindOn(option))
        ArmTimer(IDT_ALERTUPDATE, m_nAlertInterval);
    if (m_nIdleLimit > 0) {
        m_bIdleCheckFree = true;
        ArmTimer(IDT_IDLE_CHECK, 1000);
    }
    if (option.Attr63[0] == 'Y')
        ArmTimer(IDT_SHOW_DELETE_SCHEDULE, 1000);
}

bool CMainFrame::StartWorker(AFX_THREADPROC proc, volatile bool& idleFlag)
{
    idleFlag = false;
    CWinThread* thread = AfxBeginThread(proc, this, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (thread == nullptr) {
        idleFlag = true;
        return false;
    }
    thread->m_bAutoDelete = TRUE;
    thread->ResumeThread();
    return true;
}

void CMainFrame::OnTimer(UINT_PTR nIDEvent)
{
    switch (nIDEvent) {
    case IDT_CLOSE_SOCKET:
        if (m_pProto)
            m_pProto->CloseSocket();
        KillTimer(IDT_CLOSE_SOCKET);
        break;
    case IDT_SESSIONUPDATE:
        if (m_bSessionIdle) {
            TraceLog(1, L"[ CMainFrame::OnTimer ] IDT_SESSIONUPDATE\n");
            PostMessage(WM_SESSION_UPDATE);
        }
        break;
    case IDT_ALERTUPDATE:
        if (m_bAlertIdle) {
            TraceLog(1, L"[ CMainFrame::OnTimer ] IDT_ALERTUPDATE\n");
            PostMessage(WM_ALERT_UPDATE);
        }
        break;
    case IDT_QUOTAUPDATE:
        if (m_bQuotaIdle) {
            TraceLog(1, L"[ CMainFrame::OnTimer ] IDT_QUOTAUPDATE\n");
            PostMessage(WM_QUOTA_UPDATE);
        }
        break;
    case IDT_IDLE_CHECK:
        if (m_wndSplitter.TransferRunning())
            return;
        IdleCheck();
        break;
    case IDT_SHOW_DELETE_SCHEDULE: {
        TraceLog(1, L"[ CMainFrame::OnTimer ] IDT_SHOW_DELETE_SCHEDULE\n");
        KillTimer(IDT_SHOW_DELETE_SCHEDULE);
        if (std::atoi(m_pProto->AlarmInfo.Delete) > 0)
            ShowDeleteSchedule();
        else
            TraceLog(1, L" [ CMainFrame::OnTimer ] DELETE COUNT = 0 ");
        break;
    }
    default:
        break;
    }
    CFrameWnd::OnTimer(nIDEvent);
}

void CMainFrame::IdleCheck()
{
    // A modal operation or a frame dialog counts as use; its log-out would come too early.
    if (!m_bIdleCheckFree || ModalRunning())
        return;
    m_bIdleCheckFree = false;
    DWORD last = 0;
    if (s_pLastInput && s_pLastInput(&last) && mainframe::IdleExpired(::GetTickCount(), last, m_nIdleLimit)) {
        TraceLog(1, L"======================== [ SYSTEM IDLE ] ========================\n");
        KillTimer(IDT_IDLE_CHECK);
        PostMessage(WM_LOGOUT, 0, 1);
    }
    m_bIdleCheckFree = true;
}

void CMainFrame::RequestForcedLogout(const wchar_t* serverText)
{
    // Several workers can see the end of the session at once: only the first one posts.
    if (!m_logoutGuard.Claim())
        return;
    m_strForcedLogoutText = serverText ? serverText : L"";
    ::PostMessageW(m_hWnd, WM_LOGOUT, 0, 0);
}

void CMainFrame::StopTimersAndWorkers()
{
    for (UINT_PTR id : {IDT_CLOSE_SOCKET, IDT_SESSIONUPDATE, IDT_ALERTUPDATE, IDT_QUOTAUPDATE, IDT_IDLE_CHECK})
        KillTimer(id);
    for (volatile bool* idle : {&m_bSessionIdle, &m_bAlertIdle, &m_bQuotaIdle}) {
        for (int i = 0; i < 10 && !*idle; ++i)
            ::Sleep(10);
    }
}

LRESULT CMainFrame::OnSessionUpdate(WPARAM, LPARAM)
{
    StartWorker(SessionUpdateThread, m_bSessionIdle);
    return 0;
}

LRESULT CMainFrame::OnAlertUpdate(WPARAM, LPARAM)
{
    StartWorker(AlertUpdateThread, m_bAlertIdle);
    return 0;
}

LRESULT CMainFrame::OnQuotaUpdate(WPARAM, LPARAM)
{
    if (m_bQuotaIdle)
        StartWorker(QuotaUpdateThread, m_bQuotaIdle);
    return 0;
}

LRESULT CMainFrame::OnAlertNotice(WPARAM wParam, LPARAM)
{
    if (m_pTaskBarDlg == nullptr)
        return 0;
    CString text;
    text.Format(CToviMsg::GetString(12093), static_cast<int>(wParam));
    m_pTaskBarDlg->Show(text);
    return 0;
}

LRESULT CMainFrame::OnUpdateNotice(WPARAM, LPARAM)
{
    m_bUpdateNoticeShown = true;
    const CString text = CToviMsg::GetString(12094);
    TraceLog(1, L"%s\n", (LPCWSTR)text);
    BeginModal();
    CFileUtils::ToviMessageBox(this, text, L"CorvaneIXO", MB_ICONWARNING);
    EndModal();
    m_bUpdateNoticeShown = false;
    return 0;
}

UINT CMainFrame::SessionUpdateThread(LPVOID param)
{
    CMainFrame* frame = static_cast<CMainFrame*>(param);
    CToviProto* proto = OpenWorkerConnection(frame, 1, PROT_CMD('B', '2'));
    if (proto == nullptr) {
        frame->m_bSessionIdle = true;
        return static_cast<UINT>(-1);
    }
    if (proto->GetSessionUpdate(proto->LoginInfo.SessionId) != 0) {
        const int code = proto->ResultInfo.nResultCode;
        const CString text = proto->ResultInfo.wszMessage;
        CloseWorkerConnection(proto);
        if (code == 1213)
            frame->RequestForcedLogout(text);
        else
            CFileUtils::ToviMessageBox(frame, CToviMsg::GetString(12072), L"", 0);
        frame->m_bSessionIdle = true;
        return static_cast<UINT>(-1);
    }
    if (!frame->m_bUpdateNoticeShown && proto->GetUpdateCheck(const_cast<char*>("2")) == 0) {
        CToviUpdate update;
        if (update.IsUpdate(0, proto->UpdateCheck) == 0)
            ::PostMessageW(frame->m_hWnd, WM_UPDATE_NOTICE, 0, 0);
    }
    const int interval = mainframe::IntervalMs(proto->LoginInfo.SessionUpdateTime);
    if (interval > 0) {
        frame->m_nSessionInterval = interval;
        frame->ArmTimer(IDT_SESSIONUPDATE, interval);
    }
    CloseWorkerConnection(proto);
    frame->m_bSessionIdle = true;
    return 0;
}

UINT CMainFrame::AlertUpdateThread(LPVOID param)
{
    CMainFrame* frame = static_cast<CMainFrame*>(param);
    CToviProto* proto = OpenWorkerConnection(frame, 2, PROT_CMD('B', '4'));
    if (proto == nullptr) {
        frame->m_bAlertIdle = true;
        return static_cast<UINT>(-1);
    }
    if (proto->GetAlertUpdate(proto->LoginInfo.SessionId) != 0) {
        const int code = proto->ResultInfo.nResultCode;
        const CString text = proto->ResultInfo.wszMessage;
        CloseWorkerConnection(proto);
        if (code == 1213)
            frame->RequestForcedLogout(text);
        frame->m_bAlertIdle = true;
        return static_cast<UINT>(-1);
    }
    const _ALARM_INFO& alarm = proto->AlarmInfo;
    int* now = frame->m_nAlertCount;
    int* before = frame->m_nAlertPrev;
    now[0] = std::atoi(alarm.Attr223);
    now[1] = std::atoi(alarm.Share);
    now[2] = std::atoi(alarm.Draft);
    now[3] = std::atoi(alarm.Delete);
    now[4] = std::atoi(alarm.Link);
    // The notifier belongs to the frame's thread.
    if (now[0] > before[0])
        ::PostMessageW(frame->m_hWnd, WM_ALERT_NOTICE, static_cast<WPARAM>(now[0] - before[0]), 0);
    frame->m_wndInfoBar.SetAlertInfo(alarm);
    bool changed = false;
    for (int i = 0; i < 4; ++i) {
        changed = changed || now[i] != before[i];
        before[i] = now[i];
    }
    if (changed && frame->m_wndInfoBar.m_hWnd)
        ::InvalidateRect(frame->m_wndInfoBar.m_hWnd, nullptr, TRUE);
    const int interval = mainframe::IntervalMs(alarm.Attr224);
    if (interval > 0) {
        frame->m_nAlertInterval = interval;
        frame->ArmTimer(IDT_ALERTUPDATE, interval);
    }
    CloseWorkerConnection(proto);
    frame->m_bAlertIdle = true;
    return 0;
}

UINT CMainFrame::QuotaUpdateThread(LPVOID param)
{
    CMainFrame* frame = static_cast<CMainFrame*>(param);
    CToviProto* proto = OpenWorkerConnection(frame, 6, PROT_CMD('B', '5'));
    if (proto == nullptr) {
        frame->m_bQuotaIdle = true;
        return static_cast<UINT>(-1);
    }
    if (proto->GetQuotaUpdate(proto->LoginInfo.SessionId) != 0) {
        const int code = proto->ResultInfo.nResultCode;
        const CString text = proto->ResultInfo.wszMessage;
        CloseWorkerConnection(proto);
        if (code == 1213)
            frame->RequestForcedLogout(text);
        frame->m_bQuotaIdle = true;
        return static_cast<UINT>(-1);
    }
    frame->m_wndInfoBar.SetQuotaInfo(proto->QuotaList);
    const int interval = mainframe::QuotaIntervalMs(proto->QuotaList);
    if (interval > 0) {
        frame->m_nQuotaInterval = interval;
        frame->ArmTimer(IDT_QUOTAUPDATE, interval);
    }
    CloseWorkerConnection(proto);
    frame->m_bQuotaIdle = true;
    return 0;
}

void CMainFrame::ShowDeleteSchedule()
{
    CString stored;
    CToviRegistry::GetDelScheduleTime(stored);
    TraceLog(1, L"[ GetDelScheduleTime ] [ %s ] ", (LPCWSTR)stored);
    bool open = false;
    if (stored.IsEmpty()) {
        open = true;
    } else {
        int parts[6] = {};
        int index = 0;
        int start = 0;
        for (int i = 0; i <= stored.GetLength() && index < 6; ++i) {
            if (i == stored.GetLength() || stored[i] == L'/') {
                parts[index++] = _wtoi(stored.Mid(start, i - start));
                start = i + 1;
            }
        }
        std::tm then = {};
        then.tm_year = parts[0] - 1900;
        then.tm_mon = parts[1] - 1;
        then.tm_mday = parts[2];
        then.tm_hour = parts[3];
        then.tm_min = parts[4];
        then.tm_sec = parts[5];
        then.tm_isdst = -1;
        const long long gap = static_cast<long long>(std::time(nullptr)) - static_cast<long long>(std::mktime(&then));
        TraceLog(1, L"\nREGISTRY TIME = %s\nGAP = %lld Sec \n", (LPCWSTR)stored, gap);
        open = gap > 86400;
    }
    // The delete-schedule pop-up belongs to the server list pane.
    if (open && std::atoi(m_pProto->AlarmInfo.Delete) > 0 && m_pServerListView)
        m_pServerListView->OnDeleteSchedule();
}
