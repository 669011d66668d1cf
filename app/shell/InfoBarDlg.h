// CInfoBarDlg: the information bar under the caption bar: who is logged in, the storage quota,
// the counters of pending items (each opening its page of the server in a pop-up), the
// shortcut list, the usage page, the log-out button and one customer's collaboration log-in.
//
// The keep-alive workers hand their replies in from their own threads (SetAlertInfo,
// SetQuotaInfo); everything else runs on the frame's thread, which also shows what the workers
// handed in.
#pragma once
#include "ProtoRecords.h"
#include "ShellBar.h"
#include "ToviButton.h"
#include "ToviProgressCtrl.h"
#include <cstdint>
#include <mutex>
#include <vector>

class CToviProto;

// Asks the bar for the page of a task counter (wParam the counter's id, 1027). Returns 0.
#define WM_OPEN_TASK_PAGE (WM_USER + 71)

class CInfoBarDlg : public CShellBar {
    DECLARE_DYNAMIC(CInfoBarDlg)
public:
    // The counter buttons in the order of the alert kinds, then scheduled deletions and shortcuts.
    enum { kCounters = 7 };
    static const UINT kCounterIds[kCounters];

    CInfoBarDlg();
    ~CInfoBarDlg() override;

    BOOL Create(CWnd* pParentWnd, UINT nIDTemplate, UINT nStyle, UINT nID) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // Captions and font for the thread's language.
    void SetTexts();
    // At log-in: the user, the collaboration button and the counters the options show.
    void SetUserInfo(CToviProto* proto);
    // Any thread: the workers' replies; the bar shows them on its own thread.
    void SetAlertInfo(const _ALARM_INFO& alarm);
    void SetQuotaInfo(const std::vector<_QUOTA_INFO>& quota);
    _ALARM_INFO GetAlertInfo();
    std::vector<_QUOTA_INFO> GetQuotaInfo();
    // The server page of a kind (1 alarm, 2 share, 3 link, 4 tasks, 5 usage) in a modal pop-up.
    void OpenWebPage(CWnd* parent, int kind);

    // ---- Decisions, callable without a window ----
    // Used share of the quota in whole percent; a total of 0 counts as full.
    static int QuotaPercent(uint64_t used, uint64_t total);
    // "<used>(<n>%) / <total>" of the first quota line; empty without one.
    static CString QuotaText(const std::vector<_QUOTA_INFO>& quota, int* percent);
    // The page name of a kind, or null for a kind without a page.
    static const wchar_t* PageOfKind(int kind);
    // The string id of a counter's label (kCounterIds order); alternative: the option that
    // renames the draft and approval counters is on.
    static UINT CounterLabelId(int counter, bool alternative);
    // The counter's text in the alert record (kCounterIds order).
    static const char* CounterText(const _ALARM_INFO& alarm, int counter);

    // ---- Seams for tests ----
    // Opens the modal pop-up of a page; by default a CPopupDlg of mode 1.
    typedef void (*PageOpener)(CWnd* parent, int kind, const CString& url, const CString& body);
    static PageOpener s_pOpenPage;
    // Opens the collaboration system's address in the browser; by default the shell's "open".
    typedef void (*UrlOpener)(const CString& url);
    static UrlOpener s_pOpenUrl;

    // Shown state, read by tests on the bar's thread.
    CString m_strUser;
    CString m_strQuotaLabel;
    CString m_strQuota;
    BOOL m_bCounterEnabled[kCounters] = {};
    bool m_bCounterShown[kCounters] = {};
    bool m_bCollaborationShown = false;
    const CString& CounterLabel(int counter) const { return m_strCounterLabel[counter]; }

protected:
    void PaintBackground(CDC* pDC, const CRect& rect) override;
    void OnSize(UINT nType, int cx, int cy);
    LRESULT OnOpenTaskPage(WPARAM wParam, LPARAM lParam);
    LRESULT OnRepliesArrived(WPARAM wParam, LPARAM lParam);
    void OnBnClickedLogout();
    void OnBnClickedUsage();
    void OnBnClickedCollaboration();
    void OnBnClickedAlarm();
    void OnBnClickedShare();
    void OnBnClickedLink();
    void OnBnClickedDraft();
    void OnBnClickedApproval();
    void OnBnClickedShortcut();
    DECLARE_MESSAGE_MAP()

private:
    // The log-out and usage buttons at the bar's right end.
    void PlaceRightButtons();
    void ShowQuota();
    void ShowAlerts();
    void ColourCounter(int counter, bool live);
    // Places the counters beside their labels from left on, as far as right allows, and records
    // where the painter draws the labels (place), or only measures; the width they take.
    int LayoutCounters(HDC dc, int left, int right, bool place);
    void CreateTooltip();

    CToviButton m_btnLogout, m_btnUsage, m_btnCollaboration;
    CToviButton m_btnCounter[kCounters];
    CToviProgressCtrl m_progress;
    HWND m_hTooltip = nullptr;
    CFont m_font;
    CFont m_fontBold;
    HICON m_hUserIcon = nullptr;
    HICON m_hQuotaIcon = nullptr;
    CString m_strCounterLabel[kCounters];
    CRect m_rcLabel[kCounters];
    std::vector<CRect> m_groupBoxes;

    std::mutex m_lock;
    _ALARM_INFO m_alarm = {};
    std::vector<_QUOTA_INFO> m_quota;
    CToviProto* m_pProto = nullptr;
};
