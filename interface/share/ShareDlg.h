// CShareDlg: shares a server folder with users and groups of the organisation: share on or off,
// an optional password and period, and the members with their permission words. The caller
// has fetched the folder's share (G0) into its protocol object; OK saves it (G1).
#pragma once
#include "ToviButton.h"
#include "UGroupPicker.h"
#include "SharePanelDlg.h"
#include <vector>

class CToviProto;

class TOVIINTERFACE_API CShareDlg : public CSharePanelDlg {
    DECLARE_DYNAMIC(CShareDlg)
public:
    explicit CShareDlg(CWnd* pParent = nullptr);

    CToviProto* m_pProto = nullptr;
    char m_szFolderId[10] = {};
    wchar_t m_wszFolderName[512] = {};
    char m_szPermission[5] = "2000";        // preset of the permission checks
    bool m_bViewerDigit = false;
    HWND m_hHelpWnd = nullptr;
    char m_szSearchType[3] = {'Y', 'Y', 'N'};   // search in groups, users, by rank
    // Server options of the session.
    char m_cShareWriteDisabled = 'N';
    char m_cShareDefault = 'N';
    char m_cPasswordRequired = 'N';
    char m_cPickerAtOnce = 'N';
    char m_cDefaultViewer = '0';

    // The permission word of the checks (four digits).
    CStringA PermissionWord() const;
    CUGroupPicker& Picker() { return m_picker; }

protected:
    // For the group share dialog, which shares the picker and the permission checks.
    CShareDlg(UINT templateId, CWnd* pParent);
    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    void OnCancel() override;
    void OnDestroy();
    void OnBnClickedCheckShare();
    void OnBnClickedCheckPassword();
    void OnBnClickedCheckPeriod();
    void OnEnChangeEditPassword();
    void OnBnClickedBtnAddUgroup();
    void OnBnClickedBtnRemoveUgroup();
    void OnBnClickedBtnSetUgroup();
    void OnBnClickedBtnSearchUgroup();
    void OnBnClickedBtnSetShare();
    void OnBnClickedCheckViewPublic();
    void OnBnClickedCheckViewPrivate();
    void OnBnClickedCheckDeletePublic();
    void OnBnClickedCheckDeletePrivate();
    void OnBnClickedBtnSetPerm();
    void OnBnClickedBtnShareHelp();
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    LRESULT OnPickerStep(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    void UpdateNewRowPermission();

    // What both share dialogs do alike: the picker side's texts, the close button and the
    // picker itself; the permission and search checks from the caller's presets; a member row
    // copied from the server (with its domain fields when the dialog has a domain choice); the
    // chosen rows into the protocol object's member list; the window narrowed to its settings
    // half (the picker opened at once when the server says so) and widened again.
    void InitPickerSide(CUGroupPicker::Kind kind);
    void InitPresetChecks();
    void AppendMember(const _PROTO_SHARED_UGROUP& member, bool withDomain);
    void StoreChosenMembers();
    void NarrowWindow(void (CShareDlg::*openPicker)());
    // Widens the window for the picker once; false when it was open already.
    bool ExpandSize();
    // The skinned buttons with their icons and the permission legend beside the checks.
    void InitButtonsAndLegend();
    // The permission rows, the member buttons and the picker's search row sized to their texts.
    void LayoutPermissions();
    void LayoutPickerSide();
    // Opens the user's own group path in the picker (one customer site only).
    void ExpandUserGroup();

    CUGroupPicker m_picker;
    bool m_bPasswordChanged = false;
    bool m_bPickerOpened = false;
    CRect m_rcFull;
    CToviButton m_btnClose;
    CToviButton m_btnSave;
    CToviButton m_btnCancel;
    CToviButton m_btnApply;
    CToviButton m_btnAdd;
    CToviButton m_btnRemove;
    CToviButton m_btnCopy;
    CToviButton m_btnHelp;
    HIMAGELIST m_legend = nullptr;
    std::vector<HICON> m_legendIcons;   // ours: drawn from the image list
};
