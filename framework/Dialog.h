// CDialog: dialogs from .rc templates, modal (own loop, any UI thread) or modeless.
//
// The template is found through the resource-module search (Resources.h), so a dialog of a
// library loads from that library once it registered its module. A dialog object belongs to
// the thread that shows it.
#pragma once
#include "Wnd.h"

class FW_API CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
public:
    CDialog();
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    explicit CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd = nullptr);

    // Shows the dialog and runs its loop until EndDialog: the owner is disabled meanwhile.
    // Returns the EndDialog value, or -1 when the template is missing or creation failed.
    virtual INT_PTR DoModal();
    // Modeless: creates the window (visible when the template says so). FALSE on failure.
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    BOOL Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
    BOOL CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd = nullptr,
                        HINSTANCE hInstance = nullptr);
    // Ends a modal dialog's loop with nResult; hides a modeless one.
    void EndDialog(int nResult);

    // After the controls exist: the default exchanges data into them (UpdateData(FALSE)).
    // TRUE lets the dialog put the focus on its first control.
    virtual BOOL OnInitDialog();
    // Enter / the IDOK button: UpdateData(TRUE), then EndDialog(IDOK) when it succeeded.
    virtual void OnOK();
    // Esc / the IDCANCEL button / the close box: EndDialog(IDCANCEL).
    virtual void OnCancel();
    // Dialog keys (Tab, Enter, Esc, arrows) for the dialog and its controls.
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

    void GotoDlgCtrl(CWnd* pWndCtrl);
    void NextDlgCtrl() const;
    void PrevDlgCtrl() const;
    void SetDefID(UINT nID);
    DWORD GetDefID() const;
    void MapDialogRect(LPRECT lpRect) const { ::MapDialogRect(m_hWnd, lpRect); }

    LPCTSTR m_lpszTemplateName = nullptr;   // a resource id (MAKEINTRESOURCE) or a name we own
    UINT m_nIDHelp = 0;
    CWnd* m_pParentWnd = nullptr;

protected:
    DECLARE_MESSAGE_MAP()

private:
    bool LoadTemplate(LPCTSTR name, LPCDLGTEMPLATE* ppTemplate, HINSTANCE* phModule) const;
    bool CreateFromTemplate(LPCDLGTEMPLATE lpTemplate, HWND hWndParent, HINSTANCE hInstance);
    HWND ModalOwner() const;
    CString m_strTemplateName;
    bool m_bModal = false;
};
