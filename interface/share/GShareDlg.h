// CGShareDlg: makes a server folder a group share or changes one: name, sub-share or quota, an
// optional period, automatic deletion, versioning, hiding, the recycle bin, and the members
// (users and groups of a chosen domain) with their permission words. Reads the folder's
// settings (G2) at opening and saves them (G3).
#pragma once
#include "ShareDlg.h"

class TOVIINTERFACE_API CGShareDlg : public CShareDlg {
    DECLARE_DYNAMIC(CGShareDlg)
public:
    explicit CGShareDlg(CWnd* pParent = nullptr);

    bool m_bNewShare = false;
    bool m_bQuotaShown = false;
    bool m_bVersioningAllowed = true;
    bool m_bSubShareEnabled = true;
    // Server option: automatic deletion allowed ('Y'/'N'). Its defaults for a new share (mode
    // and count) come from the session's option block.
    char m_cAutoDeleteAllowed = 'Y';
    // Server options: 'Y' leaves the settings of a group share read-only to anyone but its
    // master; "N" offers no domain choice (the picker shows the session's own organisation).
    char m_cReadOnly = 'N';
    char m_cDomainOption = 'Y';

protected:
    BOOL OnInitDialog() override;
    void OnBnClickedBtnAddUgroup();
    void OnBnClickedBtnSetShare();
    void OnBnClickedCheckShare();
    void OnBnClickedCheckAutoDelete();
    void OnCbnSelendokComboDomain();
    DECLARE_MESSAGE_MAP()

private:
    // The settings half's labels and checks sized to their texts, the controls after them moved along.
    void LayoutSettings();
    void DrawDomainList();
    void LoadRoot();
    void RePositionControl();

    std::vector<_PROTO_UGROUP_INFO> m_vecDomains;
};
