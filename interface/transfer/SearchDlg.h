// CSearchDlg: the modeless, resizable search window over the server storage. The condition
// panel (CSearchMenuDlg) sits on its left; a worker opens a session of its own and asks the
// server page by page; the hits fill a sortable list with check boxes. A double click shows
// the hit's folder in the owner view; the download button hands the checked files to the
// splitter, which downloads them. The window draws its own frame and caption.
//
// Created with new and Create; it deletes itself when its window is gone, after telling the
// owner with WM_SEARCHDLG_CLOSED. Runs on the thread that creates it.
#pragma once
#include "Dialog.h"
#include "Gdi.h"
#include "ProtoRecords.h"
#include "ToviButton.h"
#include "ToviHeaderCtrl.h"
#include "ToviInterfaceApi.h"
#include "ToviListCtrl.h"
#include <atomic>
#include <string>

class CToviProto;
class CWinThread;
class CSearchMenuDlg;

#define WM_SEARCH_THREAD_STOP   (WM_USER + 25)

// What the main window lends the search download: whether its local pane is in use, and the
// folder selected in its local folder tree.
class ISearchDownloadHost {
public:
    virtual bool IsLocalPaneShown() = 0;
    // Empty when nothing usable is selected.
    virtual CString SelectedLocalFolder() = 0;

protected:
    ~ISearchDownloadHost() = default;
};

class TOVIINTERFACE_API CSearchDlg : public CDialog {
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
    ISearchDownloadHost* m_pDownloadHost = nullptr;   // null: no local pane, the user chooses
    char m_szHost[128] = {};
    int m_nPort = -1;
    char m_szCode[16] = {};
    char m_szUserId[33] = {};
    void CopySession(const CToviProto* session);

    // Reads the panel's conditions, opens the search's session when it has none, and starts
    // the worker. False when the session could not be opened (the user was told).
    bool GetSearch();

    // The date condition as the server reads it: "yyyy-mm-dd" whatever the user's locale.
    static std::string WireDate(const SYSTEMTIME& date);
    // The list's order (column << 16 | direction) for two hit records.
    static int CALLBACK CompareFunc(LPARAM a, LPARAM b, LPARAM sort);
    // The most pages one search follows: a server that never ends its list must not hold the
    // window (and fill the list) for ever. Tests lower it; 0 restores the default.
    static void SetPageLimit(int pages);

    // Frame arithmetic, callable without a window.
    // The client rectangle inside a window rectangle: the caption goes, a 4-pixel border
    // stays; maximised with a frame metric other than 4, only the caption goes.
    static RECT ClientInFrame(const RECT& window, bool maximized, int frameMetric, int captionHeight);
    // Where a maximised window lies: the work area grown by 4 on every side.
    static RECT MaximizedRect(const RECT& workArea);

    int GetHitCount() const { return m_nHits; }
    bool IsSearching() const { return m_pThread != nullptr; }
    CSearchMenuDlg* GetMenu() const { return m_pMenuDlg; }

    // Where checked files are saved when the main window offers no folder: the user's choice,
    // empty when cancelled. Tests put theirs in place.
    typedef CString (*FolderChooserFn)(HWND owner, const CString& title);
    static FolderChooserFn s_pfnChooseFolder;

    enum : int {
        kCaptionHeight = 27,
        kMenuWidth = 220,
        kListMarginRight = 9,
        kListMarginLeft = 10,
        kBorder = 4,
        kMinWidth = 800,
        kMinHeight = 540,
    };

protected:
    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    void OnOK() override;
    void OnCancel() override;
    void PostNcDestroy() override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    int OnCreate(LPCREATESTRUCT create);
    void OnDestroy();
    void OnCloseButton();
    void OnMaximizeButton();
    void OnMinimizeButton();
    LRESULT OnThreadStop(WPARAM, LPARAM);
    LRESULT OnInvoke(WPARAM, LPARAM);
    // The frame (SearchDlgFrame.cpp).
    void OnSize(UINT nType, int cx, int cy);
    void OnGetMinMaxInfo(MINMAXINFO* info);
    void OnNcCalcSize(BOOL calcValidRects, NCCALCSIZE_PARAMS* params);
    void OnNcPaint();
    BOOL OnNcActivate(BOOL active);
    BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnEnterSizeMove();
    void OnExitSizeMove();
    DECLARE_MESSAGE_MAP()

private:
    static UINT SearchThread(LPVOID param);
    void SearchThreadStop(bool quiet);
    bool DrawFindList();
    int InsertFindListItem(int index, const _PROTO_SEARCH_INFO& hit);
    void CleanAllFindListItems();
    void InitControl();
    void InitListControl();
    void InitMenuDlg();
    void InitSortItems();
    void GoTo();
    void Sort(int column);
    void OnBnClickedBtnDownload();
    bool CheckDownloadPath();
    void CloseWindow();
    // Frame painting and layout (SearchDlgFrame.cpp).
    void LayoutControl();
    void SetVantelRgn(int cx, int cy);
    void DrawBorders();
    void DrawDefaultUI(HDC dc, const RECT& window, const RECT& client);
    void DrawBG(HDC dc, const RECT& client);
    bool FrameMouse(const MSG& msg);
    bool InSizeGrip(POINT client) const;

    CToviProto* m_pProto = nullptr;
    CWinThread* m_pThread = nullptr;
    std::atomic<bool> m_bThreadStop{false};
    int m_nHits = 0;
    int m_nSortColumn = 0;
    int m_nSortDirection = 0;
    wchar_t m_wszDownloadFolder[260] = {};
    // The worker's texts, read once per search.
    CString m_strUser;
    CString m_strName;

    CSearchMenuDlg* m_pMenuDlg = nullptr;
    CToviListCtrl m_list;
    CToviHeaderCtrl m_header;
    CToviButton m_btnMinimize;
    CToviButton m_btnMaximize;
    CToviButton m_btnClose;
    CToviButton m_btnOk;
    CToviButton m_btnDownload;
    CFont m_fontDlg;
    CFont m_fontTitle;
    HICON m_hIcon = nullptr;
    HIMAGELIST m_hStateImages = nullptr;   // the list shares its image lists: ours to destroy
    bool m_bResizable = true;
    bool m_bClosing = false;
    bool m_bStopping = false;
};
