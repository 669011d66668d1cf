// CDialogBar: a control bar made from a dialog template (any style: it is made a child
// without caption or frame), as tall (or wide) as the template, stretched along its edge.
//
// Idle updates: each control with an ON_UPDATE_COMMAND_UI handler, in the bar's own map or
// in the frame's command route, is updated by it. Buttons without an update handler keep the
// state the bar gave them, unless nobody handles their command at all: then they are greyed
// (when the frame asks for it), so that a button never looks usable and does nothing.
#pragma once
#include "ControlBar.h"

class FW_API CDialogBar : public CControlBar {
    DECLARE_DYNAMIC(CDialogBar)
public:
    CDialogBar();
    ~CDialogBar() override;

    // nStyle: the bar style (CBRS_xxx); the window is created visible with id nID. FALSE when
    // the template is missing or the window cannot be created.
    virtual BOOL Create(CWnd* pParentWnd, UINT nIDTemplate, UINT nStyle, UINT nID);
    virtual BOOL Create(CWnd* pParentWnd, LPCTSTR lpszTemplateName, UINT nStyle, UINT nID);

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

protected:
    DECLARE_MESSAGE_MAP()
};
