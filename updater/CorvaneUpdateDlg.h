// CCorvaneUpdateDlg: the update dialog. Its start (sent to itself from OnInitDialog, before it
// shows) stops the product, builds the download list and starts the download worker; the
// worker's end message starts the product again and closes the dialog.
//
// Close during a download asks the worker to stop: it stops at once (a stalled server holds no
// download), removes what it staged, puts back anything it replaced and sends its end message,
// so the product is always started again. A worker that still does not answer within a few
// seconds is given up (it can no longer replace anything then) and the dialog runs the end
// itself.
#pragma once
#include "ToviButton.h"
#include "ToviDialog.h"
#include "ToviProgressCtrl.h"
#include "UpdateFileItem.h"
#include "VantelStatic.h"
#include <atomic>
#include <memory>

class CCorvaneUpdateDlg : public CToviDialog {
public:
    explicit CCorvaneUpdateDlg(int productIndex, CWnd* pParent = nullptr);
    ~CCorvaneUpdateDlg() override;

    // "%0.3f gb", "%0.1f mb", "%0.1f kb" above 1 GiB, 1 MiB and 1 KiB, else "%d BYTE".
    static CString FormatSize(unsigned long long bytes);

    int m_nIndex;
    CString m_strCurFile;
    unsigned long long m_nTotalSize = 0;
    unsigned long long m_nDoneSize = 0;
    CString m_strProgramName;
    UpdateFileList m_vecDownloadList;
    CString m_strServerAddr;
    wchar_t m_szInstallDir[260];

    // How the run ended (for tests and the program's exit code): 0 updated, 1 nothing to do or
    // failed before the download, 2 failed or cancelled during it.
    int m_nOutcome = 1;

protected:
    BOOL OnInitDialog() override;
    void OnCancel() override;
    void OnOK() override;
    LRESULT OnProgressRange(WPARAM wParam, LPARAM lParam);
    LRESULT OnProgress(WPARAM wParam, LPARAM lParam);
    LRESULT OnStatusText(WPARAM wParam, LPARAM lParam);
    LRESULT OnDownloadStart(WPARAM wParam, LPARAM lParam);
    LRESULT OnDownloadEnd(WPARAM wParam, LPARAM lParam);
    LRESULT OnCurrentFile(WPARAM wParam, LPARAM lParam);
    LRESULT OnShowError(WPARAM wParam, LPARAM lParam);
    void OnBnClickedCancel();
    void OnPaint();
    void OnTimer(UINT_PTR id);
    HCURSOR OnQueryDragIcon();
    BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()

private:
    static UINT CreateDownLoadThread(LPVOID self);
    // Starts the product program without elevation, with "/NOUPDATE".
    void RestartProduct();
    // The end of a run: the backup edition's service started again, the product restarted.
    void EndRun(int result);
    void Trace(const wchar_t* text);

    HICON m_hIcon;
    CToviButton m_btnSysExit;
    CToviButton m_btnClose;
    CVantelStatic m_stCaption;
    CVantelStatic m_stFileName;
    CToviProgressCtrl m_progress;
    std::atomic<bool> m_bWorkerRunning{ false };
    // Shared with the worker, which may outlive a dialog that gave it up.
    std::shared_ptr<struct WorkerShare> m_share;
    DWORD m_closeClickedAt = 0;
};

// What the dialog and its worker share. state: kFetching until the worker begins replacing
// (kReplacing) or the dialog gives it up (kAbandoned); whichever comes first wins.
struct WorkerShare {
    enum : long { kFetching, kReplacing, kAbandoned };
    std::atomic<long> state{ kFetching };
    UpdateFileList list;
    CString journal;
    std::wstring signer;
};

// The process-wide cancel request: created before the dialog runs, never reset.
HANDLE UpdateCancelEvent();
