// CSendFileDlg: sends server files to users and groups of the organisation, with an optional
// expiry day, and can delete the source files afterwards when the server allows it.
#pragma once
#include "ToviButton.h"
#include "UGroupPicker.h"
#include "SharePanelDlg.h"
#include <vector>

class CToviProto;

// Asked by the dialog of itself once the first tree level is being loaded.
#define WM_GET_USER_N_GROUP (WM_USER + 44)

class TOVIINTERFACE_API CSendFileDlg : public CSharePanelDlg {
    DECLARE_DYNAMIC(CSendFileDlg)
public:
    explicit CSendFileDlg(CWnd* pParent = nullptr);

    CToviProto* m_pProto = nullptr;
    std::vector<_SEND_FILES> m_vecFiles;
    char m_szRootDomain[10] = {};
    char m_szDeleteArg[10] = {};
    char m_szSearchType[3] = {'Y', 'Y', 'N'};
    // Server options: delete-source option 'Y'/'N' and its mode 'Y' on, 'N' off, 'D' always;
    // expiry mode 'Y' on, 'N' off, 'R' required; default and latest expiry days (may be empty).
    char m_cDeleteOption = 'N';
    char m_cDeleteMode = 'N';
    char m_cExpireMode = 'N';
    char m_szDefaultExpire[11] = {};
    char m_szLatestExpire[11] = {};
    // Out: at least one source file was deleted.
    bool m_bFilesDeleted = false;

    CUGroupPicker& Picker() { return m_picker; }

protected:
    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    void OnCancel() override;
    void OnDestroy();
    void OnBnClickedBtnSearchUgroup();
    void OnBnClickedBtnRemoveUgroup();
    void OnBnClickedBtnSetUgroup();
    void OnBnClickedBtnSendFile();
    void OnBnClickedCheckExpireDate();
    LRESULT GetUserNGroup(WPARAM wParam, LPARAM lParam);
    LRESULT OnPickerStep(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void InitControl();
    // The list buttons skinned and sized to their texts, the checks and search row to theirs.
    void LayoutControls();
    void DrawSendFiles();
    void DeleteSources();

    CUGroupPicker m_picker;
    std::vector<_RECEIVER_LIST> m_vecReceivers;
    CToviButton m_btnClose;
    CToviButton m_btnRemove;
    CToviButton m_btnCopy;
};
