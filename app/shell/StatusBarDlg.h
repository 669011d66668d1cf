// CStatusBarDlg: the status bar at the bottom of the main window: the last log-in and its
// address, the server's information texts, the size grip of the borderless frame, and the
// manual, help, web storage, drive and backup buttons. An add-on that is not installed is
// downloaded enciphered from the server, deciphered, and started only when Windows vouches for
// its code signature (InstallerTrust.h).
//
// UI thread only.
#pragma once
#include "ShellBar.h"
#include "ToviButton.h"

class CMainFrame;
class CToviProto;

class CStatusBarDlg : public CShellBar {
    DECLARE_DYNAMIC(CStatusBarDlg)
public:
    enum { kButtons = 5 };
    // In their order on the bar: manual, help, web storage, drive add-on, backup add-on.
    static const UINT kButtonIds[kButtons];

    CStatusBarDlg();
    ~CStatusBarDlg() override;

    BOOL Create(CWnd* pParentWnd, UINT nIDTemplate, UINT nStyle, UINT nID) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // Captions, widths and the layout of the visible buttons.
    void SetTexts();
    // At log-in: the last log-in and its address, and the buttons the options allow.
    void SetStatusInfo(CToviProto* proto);

    // One add-on of the product family.
    struct AddOn {
        int product;                 // for the install folder
        const wchar_t* program;      // in the install folder
        const wchar_t* serverPath;   // the enciphered installer on the web server
        const wchar_t* downloaded;   // "\name.enc" in the download folder
        const wchar_t* deciphered;   // "\name" in the download folder
    };
    static const AddOn kDriveAddOn;
    static const AddOn kBackupAddOn;
    // Starts the installed add-on, or downloads, deciphers, checks and starts its installer.
    // True when something was started.
    bool RunAddOn(const AddOn& addOn);

    // ---- Decisions, callable without a window ----
    // The last log-in as shown: "-" become ".", trailing blanks dropped.
    static CString LastLoginText(const char* text, size_t capacity);
    // The grip: the bottom-right corner of the client area (screen coordinates).
    static CRect GripArea(const CRect& clientOnScreen, bool bottomLine);

    // ---- Seams: what tests and Wine cannot give ----
    typedef BOOL (*PageNavigator)(CMainFrame* frame, const CString& url, const CString& body);
    static PageNavigator s_pNavigate;          // the frame's web view by default
    typedef bool (*Downloader)(HWND window, const CString& url, const CString& file);
    static Downloader s_pDownload;             // CToviUpdate::HTTPDown by default
    typedef int (*Launcher)(HWND window, const wchar_t* verb, const wchar_t* file, const wchar_t* folder);
    static Launcher s_pLaunch;                 // CToviExec::MyShellExec by default
    // The documents folder the installers are downloaded under (CSIDL_PERSONAL by default).
    static CString (*s_pDocuments)();

    // Shown state, read by tests on the bar's thread.
    CString m_strLastLogin;
    CString m_strLastAddress;
    bool m_bShown[kButtons] = {};
    CString m_strLastUrl;
    CString m_strLastBody;

protected:
    void PaintBackground(CDC* pDC, const CRect& rect) override;
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    void OnBnClickedManual();
    void OnBnClickedHelp();
    void OnBnClickedWeb();
    void OnBnClickedDrive();
    void OnBnClickedBackup();
    DECLARE_MESSAGE_MAP()

private:
    CMainFrame* Frame() const;
    CRect GripOnScreen() const;
    void Layout();

    CToviButton m_btn[kButtons];
    CFont m_font;
    CString m_strLabel1, m_strLabel2, m_strLabel3;
    int m_nTextRight = 0;
    int m_nButtonsWidth = 0;
    CToviProto* m_pProto = nullptr;
};
