// The window tests' skinned dialog.
#include "SkinTestDialog.h"
#include "DataExchange.h"
#include "Framework.h"
#include "Library.h"
#include "SkinRes.h"
#include "SkinTestRes.h"
#include "WindowDriver.h"
#include <cstdlib>

BEGIN_MESSAGE_MAP(CSkinTestDialog, CVantelDialog)
    ON_WM_ERASEBKGND()
    ON_BN_CLICKED(IDC_SYSBTN_MINIMIZE, OnMinimize)
    ON_BN_CLICKED(IDC_SYSBTN_MIDDLE, OnMiddle)
    ON_BN_CLICKED(IDC_SYSBTN_CLOSE, OnClose)
    ON_MESSAGE(WM_DO_SEARCH, OnDoSearch)
END_MESSAGE_MAP()

CSkinTestDialog::CSkinTestDialog(UINT templateId, int uiType, int productType) : CVantelDialog(templateId)
{
    m_nUIType = uiType;
    m_nProductType = productType;
}

void CSkinTestDialog::DoDataExchange(CDataExchange* pDX)
{
    CVantelDialog::DoDataExchange(pDX);
    if (!m_bSkinControls)
        return;
    DDX_Control(pDX, IDC_SYSBTN_CLOSE, m_btnClose);
    if (GetDlgItem(IDC_SYSBTN_MINIMIZE)->GetSafeHwnd() == nullptr)
        return;
    DDX_Control(pDX, IDC_SYSBTN_MINIMIZE, m_btnMinimize);
    DDX_Control(pDX, IDC_SYSBTN_MIDDLE, m_btnMiddle);
    DDX_Control(pDX, IDC_SKIN_MENU_A, m_btnMenu[0]);
    DDX_Control(pDX, IDC_SKIN_MENU_B, m_btnMenu[1]);
    DDX_Control(pDX, IDC_SKIN_MENU_C, m_btnMenu[2]);
    if (!m_bSystemChecks) {
        DDX_Control(pDX, IDC_SKIN_CHECK, m_btnCheck);
        DDX_Control(pDX, IDC_SKIN_RADIO_A, m_btnRadioA);
        DDX_Control(pDX, IDC_SKIN_RADIO_B, m_btnRadioB);
    }
    DDX_Control(pDX, IDC_SKIN_FLAT, m_btnFlat);
    DDX_Control(pDX, IDOK, m_btnOk);
    DDX_Control(pDX, IDCANCEL, m_btnCancel);
    DDX_Control(pDX, IDC_SKIN_PROGRESS, m_progress);
    DDX_Control(pDX, IDC_SKIN_PROGRESS2, m_progress2);
}

BOOL CSkinTestDialog::OnInitDialog()
{
    CVantelDialog::OnInitDialog();
    if (!m_bSkinControls)
        return TRUE;
    m_btnClose.SetBtnStyle(CToviButton::kStyleCaptionClose);
    if (m_btnMinimize.m_hWnd == nullptr)
        return TRUE;
    m_btnMinimize.SetBtnStyle(CToviButton::kStyleCaptionMinimize);
    m_btnMiddle.SetBtnStyle(CToviButton::kStyleCaptionMiddle);
    for (CToviButton& b : m_btnMenu)
        b.SetBtnStyle(CToviButton::kStyleMainMenu);
    if (!m_bSystemChecks) {
        m_btnCheck.SetBtnStyle(10);
        m_btnRadioA.SetBtnStyle(10);
        m_btnRadioB.SetBtnStyle(10);
    }
    m_btnFlat.SetBtnStyle(19);
    m_btnOk.SetBtnStyle(13);
    m_btnCancel.SetBtnStyle(9);
    m_progress.SetRange32(0, 100);
    m_progress.SetPos(42);
    m_progress2.SetColorType(1);
    m_progress2.SetRange32(0, 100);
    m_progress2.SetPos(70);
    // The search box takes its area at the top left of its parent; then it goes in place.
    HWND placeholder = ::GetDlgItem(m_hWnd, IDC_SKIN_SEARCH_HOST);
    CRect host;
    ::GetWindowRect(placeholder, &host);
    ScreenToClient(&host);
    ::DestroyWindow(placeholder);
    m_search.CreateEx(0, WC_EDITW, nullptr, WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | ES_MULTILINE, CRect(0, 0, 10, 10),
                      this, IDC_SKIN_SEARCH_HOST);
    m_search.SetFont(GetFont());
    m_search.SetWidnowArea(host.Width(), 24);
    m_search.SetWindowPos(nullptr, host.left, host.top - 4, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

LRESULT CSkinTestDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // Counted instead of run: the move loop would hold the test's UI thread.
    if (message == WM_NCLBUTTONDOWN && wParam == HTCAPTION) {
        ++m_nCaptionDrags;
        return 0;
    }
    return CVantelDialog::WindowProc(message, wParam, lParam);
}

BOOL CSkinTestDialog::OnEraseBkgnd(CDC* pDC)
{
    CRect rc;
    GetClientRect(&rc);
    return DrawBkgnd(pDC, rc);
}

void CSkinTestDialog::OnMinimize()
{
    ++m_nSysClicks[0];
}

void CSkinTestDialog::OnMiddle()
{
    ++m_nSysClicks[1];
}

void CSkinTestDialog::OnClose()
{
    ++m_nSysClicks[2];
}

LRESULT CSkinTestDialog::OnDoSearch(WPARAM, LPARAM)
{
    ++m_nSearches;
    return 0;
}

void SkinSampleTest::SetUp()
{
    ASSERT_TRUE(ToviInterfaceInit());
    ui.SetPreTranslate(&AfxPreTranslateMessage);
    ui.Run([&] {
        dlg = std::make_unique<CSkinTestDialog>(IDD_SKIN_SAMPLE, CVantelDialog::kUITypeDefault);
        dlg->Create(IDD_SKIN_SAMPLE);
        dlg->ShowWindow(SW_SHOW);
        dlg->UpdateWindow();
    });
    ASSERT_TRUE(dlg && dlg->m_hWnd);
}

void SkinSampleTest::TearDown()
{
    ui.Run([&] {
        dlg->DestroyWindow();
        dlg.reset();
    });
    ToviInterfaceTerm();
}

bool Near(COLORREF a, COLORREF b, int tolerance)
{
    return abs(GetRValue(a) - GetRValue(b)) <= tolerance && abs(GetGValue(a) - GetGValue(b)) <= tolerance
           && abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

void PlaceCursor(HWND window, POINT pt)
{
    POINT screen = pt;
    ::ClientToScreen(window, &screen);
    ::SetCursorPos(screen.x, screen.y);
    // The display reports the new position a moment later; buttons read it.
    uitest::WaitUntil([&] {
        POINT now;
        ::GetCursorPos(&now);
        return now.x == screen.x && now.y == screen.y;
    }, 2000);
}
