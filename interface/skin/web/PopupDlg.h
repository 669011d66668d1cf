// CPopupDlg: the borderless, skinned window that shows one of the service's web pages in a
// CPopupView (alarm, share, approval, document viewer, links...).
//
// Mode 1: a modal dialog on the caller's stack that posts its form itself. Mode 2 (default):
// created on the heap with Create(IDD, parent), navigated by its creator (SetNavigateData) or
// by its page's resize request, shown by the creator; it deletes itself after its window is
// gone and posts WM_POPUP_CLOSED (lParam = kind) to its owner. A mode-2 pop-up whose Create
// fails has deleted itself already.
//
// What it needs of the main window comes through IPopupHost (PopupHost.h). UI thread only.
#pragma once
#include "Dialog.h"
#include "Gdi.h"
#include "ToviButton.h"
#include "ToviDocument.h"
#include "ToviInterfaceApi.h"

class CPopupView;
class CToviProto;
class IPopupHost;

class TOVIINTERFACE_API CPopupDlg : public CDialog {
    DECLARE_DYNAMIC(CPopupDlg)
public:
    enum { IDD = 1032 };
    enum { kModeModal = 1, kModeModeless = 2 };
    // What the window adds to the browser area in mode 1, and the caption band's height.
    enum { kExtraWidth = 8, kExtraHeight = 44, kBandHeight = 26 };

    explicit CPopupDlg(CWnd* pParent = nullptr);
    ~CPopupDlg() override;

    // Posts the form body to the URL in the kind's target frame (kinds 6, 8, 9, 10, 12, 13,
    // 14, 15; nothing for the others, or when URL or body is empty).
    void SetNavigateData();
    // The hosted view, or null when it could not be created or is gone.
    CPopupView* GetView() const;

    int m_nOpenMode = kModeModeless;
    int m_nPopupKind = 0;
    CString m_strUrl;
    // The form body ("link=...&uid=...&sess=..."): build it with CFormParam.
    CString m_strParam;
    CString m_strSiteCode;
    // The main window's services; null: the thread's main window, when it offers them.
    IPopupHost* m_pHost = nullptr;

    // ---- Decisions, callable without a window ----
    // The browser area of a mode-1 pop-up of that kind (0 x 0 for modeless kinds).
    static CSize PageSizeOfKind(int kind);
    // The target frame SetNavigateData posts to, or null when the kind posts nothing there.
    static const wchar_t* TargetFrameOfKind(int kind);
    // The window title of a kind.
    static CString TitleOfKind(int kind, const CString& siteCode, bool approvalOption);
    // Where a page's size request puts the window: centred on the parent, kept on the screen.
    static CRect ResizeRect(const CRect& parent, int pageWidth, int pageHeight, int kind, CSize screen);
    // The log package's address on the web server; empty without a server address.
    static CString LogPackageUrl(const CString& webServer);
    // Opens the log package (url) in the browser: the shell's "open" by default.
    typedef void (*UrlOpener)(const CString& url);
    static UrlOpener s_pfnOpenUrl;

protected:
    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    void PostNcDestroy() override;
    void OnOK() override;
    void OnCancel() override;

    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnSize(UINT nType, int cx, int cy);
    BOOL OnNcActivate(BOOL bActive);
    void OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp);
    void OnNcPaint();
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnClose();
    void OnMinimize();
    void OnCloseButton();
    LRESULT OnResizeDialog(WPARAM wParam, LPARAM lParam);
    LRESULT OnShowApproval(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetDelTime(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    IPopupHost* Host() const;
    CToviProto* Session() const;
    bool ApprovalOption() const;
    bool PostForm(const wchar_t* target);
    void DownloadLogPackage();
    void SetVantelRgn(int width, int height);
    void LayoutControls();
    void DrawBorders();
    void PaintBackground(HDC hdc, const CRect& rc);

    HWND m_hView = nullptr;
    CToviButton m_btnMinimize;
    CToviButton m_btnMaximize;
    CToviButton m_btnClose;
    CRgn m_rgn;
    CFont m_font;
    CFont m_fontTitle;
    int m_nFrameWidth;
    COLORREF m_clrCorner = 0xC0C0C0;
    HWND m_hOwner = nullptr;
    HICON m_hIcon = nullptr;
    int m_nPageWidth = 0;
    int m_nPageHeight = 0;
    int m_nExtraWidth = kExtraWidth;
    int m_nExtraHeight = kExtraHeight;
    bool m_bFormPosted = false;
    CToviDocument m_document;
};
