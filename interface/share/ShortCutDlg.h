// CShortCutDlg: the user's shortcuts to server folders as a checked list: opening one sends its
// path to the main window's server tree, and the checked ones can be deleted on the server.
#pragma once
#include "ToviButton.h"
#include "ToviProto.h"
#include "VantelDialog.h"
#include <vector>

class TOVIINTERFACE_API CShortCutDlg : public CVantelDialog {
    DECLARE_DYNAMIC(CShortCutDlg)
public:
    explicit CShortCutDlg(CWnd* pParent = nullptr);

    // Takes the list over (the caller's vector is left empty); call before DoModal.
    void SetShortcutList(std::vector<_SHORTCUT_LIST> list);

    // The main window's session; the main window and its server tree view, which receive the
    // alert refresh and the opened path (null: the application's main window for both).
    CToviProto* m_pProto = nullptr;
    HWND m_hMainWnd = nullptr;
    HWND m_hTreeView = nullptr;

protected:
    BOOL OnInitDialog() override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnDestroy();
    void OnBnClickedBtnScClose();
    void OnBnClickedBtnScDelete();
    void OnBnClickedBtnSysExit();
    DECLARE_MESSAGE_MAP()

private:
    void DrawList();
    void OpenShortcutPath(const CString& path);
    HWND MainWindow() const;
    const _SHORTCUT_LIST* Entry(int row) const;

    std::vector<_SHORTCUT_LIST> m_vecShortcuts;
    CToviButton m_btnOpen;
    CToviButton m_btnDelete;
    CToviButton m_btnClose;
};
