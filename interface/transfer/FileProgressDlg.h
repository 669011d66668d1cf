// CFileProgressDlg: runs one server-side file operation over a list of server items with an
// animated bar: delete, empty the recycle bin, paste as copy or move, or restore from the bin.
// A worker sends the requests on the caller's protocol object and follows the server's
// continuation replies, asking the user about name conflicts and shared items.
#pragma once
#include "ProtoRecords.h"
#include "ToviButton.h"
#include "ToviProgressCtrl.h"
#include "VantelDialog.h"
#include <atomic>
#include <functional>
#include <vector>

class CToviProto;
class CWinThread;

#define WM_OPERATION_START      (WM_USER + 4)
#define WM_OPERATION_END        (WM_USER + 5)
// Private: lParam a std::function<void()>* that runs on the dialog's thread.
#define WM_OPERATION_INVOKE     (WM_USER + 202)

class TOVIINTERFACE_API CFileProgressDlg : public CVantelDialog {
    DECLARE_DYNAMIC(CFileProgressDlg)
public:
    enum { kDelete = 0, kPasteCopy = 1, kPasteMove = 2, kClearBin = 3 };
    // The window text, the same in every language.
    static const wchar_t kFindTitle[];

    explicit CFileProgressDlg(CWnd* pParent = nullptr);
    ~CFileProgressDlg() override;

    // ---- Set by the caller before DoModal ----
    int m_nType = kDelete;
    CString m_strDeleteFlag = L"0";     // "1" to the recycle bin, "0" for good
    char m_szSourceId[10] = {};         // paste: the source folder
    char m_szTargetId[10] = {};         // paste: the target folder
    CToviProto* m_pProto = nullptr;     // the caller's; its connection is closed at the end
    std::vector<_PROTO_FOLDER_INFO> m_vecItems;
    bool m_bRestore = false;            // paste requests are recycle-bin restores

    // ---- Read by the caller after DoModal ----
    std::vector<_PROTO_FOLDER_INFO> m_vecDone;      // pasted items with their final names
    std::vector<const char*> m_vecMovedFolders;     // ids of folders moved whole (into m_vecItems)
    std::atomic<bool> m_bError{false};              // a request failed: show the session's message
    std::atomic<bool> m_bUntouched{true};           // no request went through

    int SetDeleteType(_PROTO_FOLDER_INFO& item);
    int SetPasteType(_PROTO_FOLDER_INFO& item, char* mode, char* confirm);
    // The most continuation rounds one item gets before the worker answers "N" and reports an
    // error: a server that keeps naming items must not hold the dialog. Tests lower it; 0
    // restores the default.
    static void SetStepLimit(int steps);

protected:
    BOOL OnInitDialog() override;
    void OnCancel() override;
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnTimer(UINT_PTR id);
    void OnClose();
    void OnCloseButton();
    LRESULT OnOperationStart(WPARAM, LPARAM);
    LRESULT OnOperationEnd(WPARAM, LPARAM);
    LRESULT OnInvoke(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()

private:
    static UINT DeleteThread(LPVOID param);
    static UINT PasteThread(LPVOID param);
    void RunDelete();
    void RunPaste();
    void RunOnUi(const std::function<void()>& work);
    void ShowProgress(unsigned operationText, const CString& item);
    void WaitForWorker();
    void NoteEndless();

    CWinThread* m_pWorker = nullptr;
    int m_nPosition = 0;
    CString m_strPasteMode;
    std::atomic<bool> m_bCancel{false};
    std::atomic<bool> m_bClosing{false};
    std::atomic<bool> m_bEndPosted{false};

    CToviProgressCtrl m_bar;
    CToviButton m_btnCancel;
    CToviButton m_btnClose;
};
