// CTransferDlg: what the upload and download windows share. Their templates have the same
// controls under the same ids; this class sets them up, runs work of the workers on the
// window's thread, keeps the task bar told, and counts and shows the progress.
//
// Threads: the window's own, the list-filling threads and the worker. The worker's connection
// reports to a relay window the worker creates on its own thread, so a stream never waits for
// the window's thread; the counters are atomic and the window redraws from them a few times a
// second.
#pragma once
#include "ListCtrl.h"
#include "ProtoRecords.h"
#include "ToviButton.h"
#include "ToviInterfaceApi.h"
#include "ToviProgressCtrl.h"
#include "TransferRate.h"
#include "VantelDialog.h"
#include <atomic>
#include <functional>

class CToviProto;
class CWinThread;
class CTransferTaskbar;

// Private: lParam a std::function<void()>* that runs on the window's thread.
#define WM_TRANSFER_INVOKE      (WM_USER + 200)
// Private: lParam a heap std::function<void()>* to run (and delete) on the window's thread.
#define WM_TRANSFER_POSTED      (WM_USER + 202)
// Private: the counters moved; redraw the progress.
#define WM_TRANSFER_REFRESH     (WM_USER + 203)

class TOVIINTERFACE_API CTransferDlg : public CVantelDialog {
    DECLARE_DYNAMIC(CTransferDlg)
public:
    // Keeps the system awake while a worker runs: SetThreadExecutionState by default.
    typedef EXECUTION_STATE(WINAPI* ExecutionStateFn)(EXECUTION_STATE);
    static ExecutionStateFn s_pfnExecutionState;

    // ---- Hand-over (before the window exists) ----
    // Copies the caller's session fields: the window opens sessions of its own from them.
    void CopySession(const CToviProto* session);

protected:
    CTransferDlg(UINT templateId, CWnd* pParent);

    // ---- Creation and end (window thread) ----
    // The icon, COM, the task bar and the title (a text id).
    void InitWindow(unsigned titleId);
    // Labels, lists, bars and buttons (the close-when-done box is the window's own).
    void SetupControls();
    // Undoes InitWindow and the lists' images.
    void ReleaseWindow();
    BOOL OnEraseBkgnd(CDC* pDC);
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    void OnMinimizeButton();
    LRESULT OnInvoke(WPARAM wParam, LPARAM lParam);
    LRESULT OnPosted(WPARAM wParam, LPARAM lParam);
    LRESULT OnRefresh(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    // ---- Onto the window's thread (any thread) ----
    // Runs the work and waits for it.
    void RunOnUi(const std::function<void()>& work);
    // The same without waiting, for what only shows: the worker goes on while the window
    // paints. Runs in order with the other posted work, but after any work sent meanwhile.
    void PostToUi(const std::function<void()>& work);
    // Window thread: posted work not run yet is dropped (the window is going).
    void DropPosted();
    // Window thread: posted work and redraws waiting now run now, in their order (before a
    // result that must follow them).
    void RunPosted();
    void SetMarquee(bool on);
    // A message box on the window's thread; 0 when the run is being stopped.
    int ShowMessage(const CString& text, UINT type);
    // The task bar: kind 1 an error (the window is restored), 0 information, -1 neither.
    void Notify(int kind, const CString& text);

    // ---- Workers ----
    // A protocol object of the copied session, not connected yet.
    CToviProto* MakeSession(int noTimerFlag) const;
    // Waits, pumping, for the thread to end and deletes it. closePrompt: a name-conflict
    // prompt still open is closed (it would hold the worker for ever).
    void WaitForThread(CWinThread*& thread, bool closePrompt = true);
    static bool IsAlive(CWinThread* thread);
    static EXECUTION_STATE CallExecutionState(EXECUTION_STATE state);
    // Worker thread: the relay window the connection reports to (null when it could not be
    // made: the connection then reports to the window itself). A connection that reports from
    // the worker's own thread gets a relay of the worker's (its reports are plain calls); one
    // that reports from its receive thread while the worker waits without pumping gets a relay
    // on a thread of its own (ownThread), that always answers at once.
    void CreateRelay(bool ownThread);
    void DestroyRelay();
    HWND ReportWindow() const { return m_hRelay ? m_hRelay : m_hWnd; }
    // Worker thread: a report of the connection on the relay window. True when handled.
    virtual bool OnRelayReport(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;

    // ---- Progress ----
    // Any thread: counts bytes (kind 1: a resume base, not counted as speed) and asks the
    // window to redraw ten times a second; the end of the run always shows.
    void CountProgress(WPARAM kind, __int64 bytes);
    // Window thread: redraws the texts from the counters.
    virtual void RefreshProgress() = 0;
    // Window thread: shows the bars, the task bar's progress and the rate.
    void ShowProgress(const CString& fileText, int filePercent, const CString& totalText, int totalPercent);

    // ---- Session fields copied from the caller ----
    char m_szSessionId[33] = {};
    char m_szHost[128] = {};
    int m_nPort = -1;
    char m_szCode[16] = {};
    CString m_strCustomerCode;
    _OPTION_INFO m_option = {};
    char m_szConnectTimeout[5] = {};
    char m_szSocketTimeout[5] = {};
    char m_szRetryTimeout[5] = {};
    char m_szRetryCount[5] = {};

    std::atomic<bool> m_bCancel{false};

    // Counted by the worker (through its relay window) and read by the window's thread.
    std::atomic<__int64> m_nFileSize{0};
    std::atomic<__int64> m_nFileDone{0};
    std::atomic<__int64> m_nTotalDone{0};
    std::atomic<__int64> m_nRateBase{0};   // not yet given to the rate meter
    std::atomic<__int64> m_nRateBytes{0};
    std::atomic<DWORD> m_dwLastPosted{0};
    std::atomic<bool> m_bRefreshPosted{false};
    std::atomic<__int64> m_nTotalSize{0};   // added to on the window's thread
    CTransferRate m_rate;
    CString m_strLastRate;

    // ---- Controls ----
    CListCtrl m_list;
    CListCtrl m_log;
    HIMAGELIST m_hLogImages = nullptr;
    CToviProgressCtrl m_barFile;
    CToviProgressCtrl m_barTotal;
    CToviButton m_btnCancel;
    CToviButton m_btnMinimize;
    CToviButton m_btnMiddle;
    CToviButton m_btnClose;
    HICON m_hIcon = nullptr;
    CTransferTaskbar* m_pTaskbar = nullptr;
    bool m_bComInit = false;

private:
    static LRESULT CALLBACK RelayProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam);
    static DWORD WINAPI RelayThread(LPVOID param);
    HWND MakeRelayWindow();
    HWND m_hRelay = nullptr;
    HANDLE m_hRelayThread = nullptr;
    DWORD m_dwRelayThreadId = 0;
    HANDLE m_hRelayReady = nullptr;
};
