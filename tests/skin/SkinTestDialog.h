// A skinned dialog for the window tests: every control of the toolkit on one template, the
// look chosen by the test, and counters of what reached the dialog; and the tests' shared helpers.
#pragma once
#include "ToviButton.h"
#include "ToviProgressCtrl.h"
#include "ToviSearchEdit.h"
#include "UiThread.h"
#include "VantelDialog.h"
#include <gtest/gtest.h>
#include <memory>

class CSkinTestDialog : public CVantelDialog {
public:
    CSkinTestDialog(UINT templateId, int uiType, int productType = 0);

    CToviButton m_btnMinimize;
    CToviButton m_btnMiddle;
    CToviButton m_btnClose;
    CToviButton m_btnMenu[3];
    CToviButton m_btnCheck;
    CToviButton m_btnRadioA;
    CToviButton m_btnRadioB;
    CToviButton m_btnFlat;
    CToviButton m_btnOk;
    CToviButton m_btnCancel;
    CToviProgressCtrl m_progress;
    CToviProgressCtrl m_progress2;
    CToviSearchEdit m_search;

    // Counters read by the tests.
    int m_nSysClicks[3] = {};
    int m_nCaptionDrags = 0;
    int m_nSearches = 0;
    bool m_bSkinControls = true;
    // The check box and radio buttons stay system controls (their picture shows the look).
    bool m_bSystemChecks = false;

    void SetActiveLook(bool active) { m_bActive = active; }
    HBRUSH CurrentCtlBrush() const { return (HBRUSH)m_brushCtl.GetSafeHandle(); }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnMinimize();
    void OnMiddle();
    void OnClose();
    LRESULT OnDoSearch(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()
};

// The sample dialog in the default look, open on a UI thread for each test.
class SkinSampleTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    uitest::UiThread ui;
    std::unique_ptr<CSkinTestDialog> dlg;
};

// Each colour component within tolerance.
bool Near(COLORREF a, COLORREF b, int tolerance);
// Puts the cursor at pt (client coordinates of window) and waits until the display reports it there.
void PlaceCursor(HWND window, POINT pt);
