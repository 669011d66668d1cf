// CToviSplitter: the main window's 2x2 splitter (server tree and list above, local tree and
// list below) and the one place where transfers between the PC and the server start. The panes
// hand it job vectors; it starts the interface library's upload or download thread, or feeds the
// running one, and handles the threads' reports: refreshes afterwards and the forced log-out when
// the server ended the session.
//
// UI thread only. The transfer threads talk back by the messages of ToviMessages.h.
#pragma once
#include "SplitterWnd.h"
#include "ToviMessages.h"
#include "ProtoRecords.h"
#include <commctrl.h>
#include <functional>
#include <vector>

class CUploadThread;
class CDownloadThread;
class CToviProto;

// What the splitter asks of the panes around a transfer. Each pane fills its part when it is
// created; an empty call is skipped.
struct SplitterPaneCalls {
    std::function<HTREEITEM()> serverSelection;               // the server tree's selected item
    std::function<void(HTREEITEM item, int mode)> refreshServer;   // list the server folder again
    std::function<HTREEITEM()> localSelection;                // the local tree's selected item
    std::function<void(HTREEITEM item, bool selected)> refreshLocal;
    std::function<void()> clearCutMarks;                      // every pane drops its cut marks
    std::function<void(const CString& indexes)> uploadApproval;   // the server list's approval page
    std::function<void(COLORREF color)> paneColor[2][2];      // background of the pane's control
};

class CToviSplitter : public CSplitterWnd {
    DECLARE_DYNAMIC(CToviSplitter)
public:
    CToviSplitter();
    ~CToviSplitter() override;

    static const COLORREF kServerPaneColor = RGB(0xFA, 0xFA, 0xFA);
    static const COLORREF kLocalPaneColor = RGB(0xFF, 0xFF, 0xFF);
    static const COLORREF kActivePaneColor = 0xFEF9F6;

    // Starts an upload of items into folder, or adds them to the running one. The items are
    // taken (the vector is emptied when they went to a thread). Always 0.
    int Upload(_PROTO_FOLDER_INFO* folder, std::vector<_UPLOADINFO>& items);
    // Starts a download of items, or adds them to the running one. Always 0.
    int Download(std::vector<_DOWNLOADINFO> items);
    // Tells the user an item was left out of a transfer (its name did not fit its job record).
    void ShowRefusal(const CString& text);
    // Tells the transfer workers to quit and waits for them, pumping messages.
    void StopTransfers();
    // True when an upload or download worker still runs.
    bool TransferRunning() const;
    // Remembers the shares of row 0 and column 0 so that a maximise or restore keeps them.
    void KeepRowProportion();
    // Applies the kept shares to the current size.
    void ApplyRowProportion();

    void SetActivePane(int row, int col, CWnd* pWnd = nullptr) override;
    void OnDrawSplitter(CDC* pDC, ESplitType nType, const CRect& rect) override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

    // The frame copies its use-frame setting here before creation.
    BOOL m_bUseFrame = TRUE;
    // The transfer threads, when running; owned here.
    CUploadThread* m_pUploadThread = nullptr;
    CDownloadThread* m_pDownloadThread = nullptr;
    // Server-tree item selected when the download started; local-tree item of the download's
    // destination, set by the pane that hands the download over.
    HTREEITEM m_hDownloadServerItem = nullptr;
    HTREEITEM m_hDownloadLocalItem = nullptr;
    bool m_bDownloadTarget = false;
    bool m_bUploadAllowed = false;
    bool m_bLabelEdit = false;
    std::vector<_DOWNLOADINFO> m_vecSearchDownload;
    SplitterPaneCalls m_panes;

    // Seams: the session and the frame's services, the main window's by default.
    std::function<CToviProto*()> m_session;
    std::function<void()> m_forcedLogout;
    std::function<void(bool run)> m_quotaTimer;   // false: stop the quota timer; true: re-arm it
    std::function<bool()> m_uploadAlert;          // the notice some customers see; false: cancelled

protected:
    LRESULT OnVersionDownload(WPARAM wParam, LPARAM lParam);
    LRESULT OnDownloadThreadExit(WPARAM, LPARAM);
    LRESULT OnUploadDone(WPARAM wParam, LPARAM);
    LRESULT OnUploadThreadExit(WPARAM, LPARAM);
    LRESULT OnUploadApproval(WPARAM wParam, LPARAM);
    LRESULT OnSearchDownloadRun(WPARAM, LPARAM);
    LRESULT OnSearchDownloadBegin(WPARAM, LPARAM);
    LRESULT OnSearchDownloadItem(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    CToviProto* Session();
    CString CustomerCode();
    void ForcedLogout();
    void QuotaTimer(bool run);
    void ClearServerClipboard();
    // Wait for the ended thread, delete it; true when the server had ended the session, whose
    // words are then kept for the log-out's message.
    bool EndUploadThread();
    bool EndDownloadThread();
    CString m_strSessionEndText;

    // Exit messages of threads finished elsewhere, still queued: they pass unhandled.
    int m_staleUploadExits = 0;
    int m_staleDownloadExits = 0;
    int m_rowPercent = 0;
    int m_colPercent = 0;
};
