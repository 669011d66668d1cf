// CFileDuplicateDlg: asks what to do with an item that exists at the target already: overwrite,
// skip or cancel, with a box to apply the answer to the rest of the run. Transfer and paste
// workers run it modally on their own threads; windows that end a transfer find it by its
// window text kFindTitle and close it.
#pragma once
#include "ToviButton.h"
#include "VantelDialog.h"

class TOVIINTERFACE_API CFileDuplicateDlg : public CVantelDialog {
    DECLARE_DYNAMIC(CFileDuplicateDlg)
public:
    // DoModal's results.
    enum { kOverwrite = 1, kSkip = 2, kCancel = 3 };
    // The window text, the same in every language.
    static const wchar_t kFindTitle[];

    explicit CFileDuplicateDlg(CWnd* pParent = nullptr);

    // Closes an open prompt of this process (WM_CLOSE), if any.
    static void CloseOpenPrompt();

    CString m_strName;          // shown as it is
    char m_szKind[2] = {'F', 0}; // "F" a file, else a folder
    BYTE m_bApplyAll = 0;       // out: 1 when the box was ticked with Overwrite or Skip

protected:
    BOOL OnInitDialog() override;
    void OnCancel() override;
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnOverwrite();
    void OnSkip();
    void OnCloseButton();
    DECLARE_MESSAGE_MAP()

private:
    bool ApplyAllTicked() const;

    CToviButton m_btnOverwrite;
    CToviButton m_btnSkip;
    CToviButton m_btnCancel;
    CToviButton m_btnClose;
};
