// CMainBarDlg: the caption bar that stands in for the frame's system caption: title strip in
// the server's colour with icon, title and logo; dragging and maximising the frame by it; the
// minimise, maximise and close buttons; and the buttons that switch between the explorer and
// the server's pages in the frame's web view.
#pragma once
#include "Gdi.h"
#include "ShellBar.h"
#include "ToviButton.h"

namespace Gdiplus {
class Image;
class Graphics;
}

class CMainBarDlg : public CShellBar {
    DECLARE_DYNAMIC(CMainBarDlg)
public:
    CMainBarDlg();
    ~CMainBarDlg() override;

    BOOL Create(CWnd* pParentWnd, UINT nIDTemplate, UINT nStyle, UINT nID) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // Captions for the thread's language; the caption buttons measured into their row.
    void SetTexts();
    void LoadLogo();
    // Lays the buttons out again (after the web-button options changed).
    void RelayoutButtons();
    // Shows the web buttons by the option texts of the log-in (see the frame).
    void ShowWebButtons(bool record, bool config, bool board, bool explorer, bool extLink);
    void ResetWebButtons();
    void MaximizeToggle();

    // The last page request (address and form body), kept for the trace and for tests.
    CString m_strLastUrl;
    CString m_strLastBody;

    CToviButton m_btnMin, m_btnMax, m_btnExit;
    CToviButton m_btnExplorer, m_btnRecord, m_btnConfig, m_btnBoard, m_btnExtLink;

protected:
    void PaintBackground(CDC* pDC, const CRect& rect) override;
    void OnSize(UINT nType, int cx, int cy);
    void OnBnClickedMin();
    void OnBnClickedMax();
    void OnBnClickedSysExit();
    void OnBnClickedExplorer();
    void OnBnClickedRecord();
    void OnBnClickedConfig();
    void OnBnClickedBoard();
    void OnBnClickedExtServer();
    DECLARE_MESSAGE_MAP()

private:
    // Opens the page "link=<page>" of the server in the frame's web view.
    void OpenPage(const wchar_t* page, const wchar_t* traceName);
    CRect CaptionArea() const;
    // The product text where no logo image is: right-aligned in box.
    void DrawProductText(HDC dc, Gdiplus::Graphics& graphics, const CRect& box);

    CFont m_font;
    Gdiplus::Image* m_pLogo = nullptr;
    HICON m_hMainIcon = nullptr;
    bool m_bExtLinkInUse = false;
};
