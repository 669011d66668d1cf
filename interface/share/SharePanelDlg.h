// CSharePanelDlg: the skinned dialog of the sharing windows: white rounded panels where the
// template's hidden frames lie, labels and checks drawn on them, the caption close button that
// cancels, and one-line helpers for checks and enabling.
#pragma once
#include "ToviInterfaceApi.h"
#include "VantelDialog.h"
#include <initializer_list>
#include <vector>

class TOVIINTERFACE_API CSharePanelDlg : public CVantelDialog {
    DECLARE_DYNAMIC(CSharePanelDlg)
protected:
    // frames: the ids of the hidden frames painted as panels; lines: of the hidden separators
    // painted as lines.
    CSharePanelDlg(UINT templateId, CWnd* pParent, std::initializer_list<int> frames,
                   std::initializer_list<int> lines = {});

    BOOL OnEraseBkgnd(CDC* pDC);
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    void OnBnClickedBtnSysExit();
    DECLARE_MESSAGE_MAP()

    bool Checked(int id) const;
    void Check(int id, bool on);
    void EnableItem(int id, bool enable);

private:
    std::vector<int> m_frames;
    std::vector<int> m_lines;
};
