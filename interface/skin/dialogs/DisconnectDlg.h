// CDisconnectDlg: asks the drive edition's user whether to disconnect the drive or open the
// explorer instead.
//
// DoModal gives IDOK with m_nResult 1 (disconnect) or 2 (explorer), or IDCANCEL with 0. Runs
// on the thread that shows it.
#pragma once
#include "Static.h"
#include "ToviButton.h"
#include "VantelDialog.h"

class TOVIINTERFACE_API CDisconnectDlg : public CVantelDialog {
    DECLARE_DYNAMIC(CDisconnectDlg)
public:
    explicit CDisconnectDlg(CWnd* pParent = nullptr);

    enum { kResultNone = 0, kResultDisconnect = 1, kResultExplorer = 2 };
    int m_nResult = kResultNone;

    // Smallest room the buttons share beyond their captions, in pixels.
    enum { kMinSpare = 12 };
    // The extra width each button gets for a client width and three caption widths; never
    // below kMinSpare: *grow says how much wider the client must become for that.
    static int ButtonSpare(int clientWidth, int w1, int w2, int w3, int* grow);

    void InitControl();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnEraseBkgnd(CDC* pDC);
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    void OnBnClickedDisconnect();
    void OnBnClickedExplorer();
    void OnBnClickedCancel();
    DECLARE_MESSAGE_MAP()

private:
    CToviButton m_btnDisconnect;
    CToviButton m_btnCancel;
    CToviButton m_btnExplorer;
    CToviButton m_btnClose;
    CFont m_fontBold;
};
