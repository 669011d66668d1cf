// CSearchDlg: the modeless search window over the server storage. A worker opens a session of
// its own and asks the server page by page; the hits fill a sortable list with check boxes. A
// double click shows the hit's folder in the owner view; the download button hands the checked
// files to the splitter, which downloads them.
#pragma once
#include "ListCtrl.h"
#include "ProtoRecords.h"
#include "ToviButton.h"
#include "ToviListCtrl.h"
#include "VantelDialog.h"
#include <atomic>
#include <string>

class CToviProto;
class CWinThread;

#define WM_SEARCH_THREAD_STOP   (WM_USER + 25)

class TOVIINTERFACE_API CSearchDlg : public CVantelDialog {
    DECLARE_DYNAMIC(CSearchDlg)
public:
    explicit CSearchDlg(CWnd* pParent = nullptr);
    ~CSearchDlg() override;

    // Creates the modeless window; it deletes itself when destroyed.
    BOOL Create(CWnd* parent);

    // ---- Set by the creator before Create ----
    CString m_strSearchText;
    CString m_strLocation;
    _PROTO_FOLDER_INFO* m_pFolderInfo = nullptr;
    bool m_bContentSearch = false;
    CString m_strCustomFlag;
    HWND m_hOwner = nullptr;            // gets WM_SEARCH_GOTO_FOLDER and WM_SEARCHDLG_CLOSED
    HWND m_hSplitter = nullptr;         // gets the download messages; null: the main window
    char m_szHost[128] = {};
    int m_nPort = -1;
    char m_szCode[16] = {};
    char m_szUserId[33] = {};
    void CopySession(const CToviProto* session);

    // The date condition as the server reads it: "yyyy-mm-dd" whatever the user's locale.
    static std::string WireDate(const SYSTEMTIME& date);
    // The list's order (column << 16 | direction) for two hit records.
    static int CALLBACK CompareFunc(LPARAM a, LPARAM b, LPARAM sort);

    int GetHitCount() const { return m_nHits; }
    bool IsSearching() const { return m_pThread != nullptr; }

    // Where checked files are saved: the user's choice, empty when cancelled. Tests put
    // theirs in place.
    typedef CString (*FolderChooserFn)(HWND owner, const CString& title);
    static void SetFolderChooser(FolderChooserFn fn);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void PostNcDestroy() override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    void OnDestroy();
    void OnRun();
    void OnCloseButton();
    LRESULT OnThreadStop(WPARAM, LPARAM);
    LRESULT OnInvoke(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()

private:
    bool GetSearch();
    static UINT SearchThread(LPVOID param);
    void SearchThreadStop(bool quiet);
    bool DrawFindList();
    void InsertFindListItem(const _PROTO_SEARCH_INFO& hit);
    void CleanAllFindListItems();
    void GoTo();
    void Sort(int column);
    void CloseWindow();

    CToviProto* m_pProto = nullptr;
    CWinThread* m_pThread = nullptr;
    std::atomic<bool> m_bThreadStop{false};
    int m_nHits = 0;
    int m_nSortColumn = 0;
    int m_nSortDirection = 0;
    wchar_t m_wszDownloadFolder[260] = {};
    // The worker's conditions, read once per search.
    char m_szCategory[2] = {'A', 0};
    char m_szSizeFrom[15] = {};
    char m_szSizeTo[15] = {};
    char m_szDateFrom[11] = {};
    char m_szDateTo[11] = {};
    CString m_strUser;
    CString m_strName;

    CToviListCtrl m_list;
    CToviButton m_btnDownload;
    CToviButton m_btnRun;
    CToviButton m_btnClose;
    bool m_bClosing = false;
};
