// CLinkCreateDlg: creates or changes download links of server files: an optional password,
// expiry day and download count, each as the server's link rules allow. Mode "C" creates,
// "M" changes the chosen link, "L" is the server list's own link command (which reads
// m_linkInfo afterwards). One request per file, on the caller's protocol object.
#pragma once
#include "ShareCommon.h"
#include "ToviButton.h"
#include "ToviProto.h"
#include "SharePanelDlg.h"
#include <vector>

// The server's link rules as the session's option block carries them. Each rule is one digit:
// '1' free, '2' on by default, '3' required, '4' fixed by the server. The fields come in the
// block's order: password rule (67), fixed-password marker (194, "**" when the server holds a
// password), expiry rule (68), default expiry day (13), latest expiry day (14), count rule (69),
// default count (195), largest count (162).
struct LinkRules {
    char passwordRule;
    const char* fixedPassword;
    char expiryRule;
    const char* defaultDay;
    const char* latestDay;
    char countRule;
    const char* defaultCount;
    const char* largestCount;

    static LinkRules Of(const _OPTION_INFO& options);
};

class TOVIINTERFACE_API CLinkCreateDlg : public CSharePanelDlg {
    DECLARE_DYNAMIC(CLinkCreateDlg)
public:
    explicit CLinkCreateDlg(CWnd* pParent = nullptr);

    CToviProto* m_pProto = nullptr;
    char m_szMode[2] = "C";
    // The files the links are for, in the server list's order (its selected rows).
    std::vector<_PROTO_FOLDER_INFO> m_vecFiles;
    // Mode "M": the link being changed.
    _PROTO_LINK_INFO m_chosenLink = {};
    char m_szFolderId[10] = {};
    char m_szItemId[10] = {};
    // The record last sent (read by the caller in mode "L").
    _PROTO_LINK_INFO m_linkInfo = {};

    // The name text of the files: one name, or the first with the count of the others.
    static CString NameText(const std::vector<_PROTO_FOLDER_INFO>& files);

protected:
    BOOL OnInitDialog() override;
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnBnClickedCheckPassword();
    void OnBnClickedCheckExpireDate();
    void OnBnClickedCheckPassword2();
    void OnEnChangeEditPassword();
    void OnEnChangeEditLimit();
    void OnBnClickedOk();
    DECLARE_MESSAGE_MAP()

private:
    void ShowMask();
    long long LargestCount() const;

    CString m_strName;
    bool m_bInitialized = false;
    bool m_bPasswordEdited = false;
    bool m_bFixedPassword = false;
    CToviButton m_btnOk;
    CToviButton m_btnCancel;
    CToviButton m_btnClose;
};
