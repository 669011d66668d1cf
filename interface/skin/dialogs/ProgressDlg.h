// CProgressDlg: the modeless "please wait" dialog with one text line.
//
// The caller news it, calls Create and keeps the pointer; StopProgress destroys the window and
// the object deletes itself afterwards. The window may also go with its owner, so a caller that
// may outlive the owner stops it through the static StopProgress, which knows whether the
// dialog still exists. All calls on the thread that created the window.
#pragma once
#include "VantelDialog.h"

class TOVIINTERFACE_API CProgressDlg : public CVantelDialog {
    DECLARE_DYNAMIC(CProgressDlg)
public:
    explicit CProgressDlg(CWnd* pParent = nullptr);

    // Creates the window on the parent given to the constructor.
    BOOL Create();
    void StartProgress(CString text);
    void StopProgress();
    // Stops dlg when it still exists; false (and nothing touched) when it is already gone.
    static bool StopProgress(CProgressDlg* dlg);
    // Whether dlg is a live progress dialog.
    static bool IsAlive(const CProgressDlg* dlg);
    // A window's one progress dialog, held in dlg (null while none runs): show opens it on
    // parent with text unless a live one is there already; !show stops it.
    static void Toggle(CProgressDlg*& dlg, CWnd* parent, bool show, const CString& text);
    // Only for a dialog whose Create failed; a created one deletes itself.
    ~CProgressDlg() override;

protected:
    BOOL OnInitDialog() override;
    void PostNcDestroy() override;
    BOOL OnEraseBkgnd(CDC* pDC);
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    DECLARE_MESSAGE_MAP()
};
