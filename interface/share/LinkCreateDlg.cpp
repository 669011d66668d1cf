// CLinkCreateDlg: link password, expiry and download count under the server's rules.
#include "LinkCreateDlg.h"
#include "DialogKit.h"
#include "ShareRes.h"
#include "SkinRes.h"
#include "ToviMsg.h"
#include "ToviRegistry.h"
#include "ToviString.h"
#include <cstdlib>
#include <cstring>

IMPLEMENT_DYNAMIC(CLinkCreateDlg, CSharePanelDlg)

BEGIN_MESSAGE_MAP(CLinkCreateDlg, CSharePanelDlg)
    ON_WM_CREATE()
    ON_BN_CLICKED(IDC_LINK_EXPIRE_ON, OnBnClickedCheckExpireDate)
    ON_BN_CLICKED(IDC_LINK_LIMIT_ON, OnBnClickedCheckPassword2)
    ON_BN_CLICKED(IDOK, OnBnClickedOk)
    ON_BN_CLICKED(IDC_LINK_PASSWORD_ON, OnBnClickedCheckPassword)
    ON_EN_CHANGE(IDC_LINK_PASSWORD, OnEnChangeEditPassword)
    ON_EN_CHANGE(IDC_LINK_LIMIT, OnEnChangeEditLimit)
END_MESSAGE_MAP()

namespace {

const wchar_t kPasswordMask[] = L"**********";

}

using share::CopyText;

CLinkCreateDlg::CLinkCreateDlg(CWnd* pParent)
    : CSharePanelDlg(IDD_LINK_CREATE, pParent, {IDC_SHARE_FRAME_LEFT, IDC_SHARE_FRAME_RIGHT},
                     {IDC_LINK_LINE1, IDC_LINK_LINE2})
{
}

CString CLinkCreateDlg::NameText(const std::vector<_PROTO_FOLDER_INFO>& files)
{
    CString text;
    if (files.empty())
        return text;
    const wchar_t* name = files.front().Name;
    const int others = static_cast<int>(files.size()) - 1;
    if (others == 0)
        text.Format(L"%.40s", name);
    else if (wcslen(name) < 27)
        text.Format(L"%.26s 외 %d개", name, others);
    else
        text.Format(L"%.26s... 외 %d개", name, others);
    return text;
}

int CLinkCreateDlg::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CVantelDialog::OnCreate(lpCreateStruct) == -1)
        return -1;
    // Nothing to link: the dialog does not open.
    if (m_vecFiles.empty())
        return -1;
    m_strName = NameText(m_vecFiles);
    return 0;
}

LinkRules LinkRules::Of(const _OPTION_INFO& options)
{
    return {options.Attr67[0], options.Attr194, options.Attr68[0], options.Attr13,
            options.Attr14,    options.Attr69[0], options.Attr195, options.LinkDownloadLimit};
}

long long CLinkCreateDlg::LargestCount() const
{
    return _strtoi64(LinkRules::Of(m_pProto->OptionInfo).largestCount, nullptr, 10);
}

void CLinkCreateDlg::ShowMask()
{
    SetDlgItemText(IDC_LINK_PASSWORD, kPasswordMask);
    m_bPasswordEdited = false;
}

BOOL CLinkCreateDlg::OnInitDialog()
{
    CVantelDialog::OnInitDialog();
    if (m_strName.IsEmpty())
        m_strName = NameText(m_vecFiles);
    const char mode = m_szMode[0];
    const CString title = CToviString::GetString(mode == 'M' ? 14124 : mode == 'L' ? 14024 : 14053);
    SetWindowText(title);
    SetTitleBar(title);
    share::SetTexts(this, {{IDC_LINK_HEAD_FILES, 14118}, {IDC_LINK_HEAD_SETTINGS, 14125},
                           {IDC_LINK_PASSWORD_ON, 14034}, {IDC_LINK_EXPIRE_ON, 14120}, {IDC_LINK_LIMIT_ON, 14122}});
    for (const auto& [id, text] : {std::pair<int, unsigned>{IDC_LINK_PASSWORD_LABEL, 14034},
                                   {IDC_LINK_EXPIRE_LABEL, 14121}, {IDC_LINK_LIMIT_LABEL, 14123}})
        SetDlgItemText(id, CToviString::GetString(text) + L" : ");
    dialogkit::SkinButton(m_btnOk, this, IDOK, 13, CToviString::GetString(14061), 530);
    dialogkit::SkinButton(m_btnCancel, this, IDCANCEL, 14, CToviString::GetString(14064), 528);
    dialogkit::SkinButton(m_btnClose, this, IDC_SYSBTN_CLOSE, CToviButton::kStyleCaptionClose, CString(), 0);
    dialogkit::PlaceCloseButton(this, &m_btnClose);
    SetDlgItemText(IDC_LINK_NAME, m_strName);

    const LinkRules rules = LinkRules::Of(m_pProto->OptionInfo);
    const char passwordRule = rules.passwordRule;
    const char expireRule = rules.expiryRule;
    const char countRule = rules.countRule;
    Check(IDC_LINK_PASSWORD_ON, false);
    Check(IDC_LINK_EXPIRE_ON, false);
    Check(IDC_LINK_LIMIT_ON, false);
    EnableItem(IDC_LINK_PASSWORD, false);
    EnableItem(IDC_LINK_EXPIRE, false);
    SetDlgItemText(IDC_LINK_EXPIRE_NOTE, CToviMsg::GetString(12118));
    ::SendDlgItemMessageW(m_hWnd, IDC_LINK_LIMIT, EM_LIMITTEXT, 10, 0);
    EnableItem(IDC_LINK_LIMIT, false);
    SetDlgItemText(IDC_LINK_LIMIT_NOTE, CToviMsg::GetString(12120));

    if (expireRule == '2' || expireRule == '3') {
        Check(IDC_LINK_EXPIRE_ON, true);
        EnableItem(IDC_LINK_EXPIRE_ON, expireRule == '2');
        EnableItem(IDC_LINK_EXPIRE, true);
    } else if (expireRule == '4') {
        Check(IDC_LINK_EXPIRE_ON, true);
        EnableItem(IDC_LINK_EXPIRE_ON, false);
        EnableItem(IDC_LINK_EXPIRE, false);
    }
    HWND picker = ::GetDlgItem(m_hWnd, IDC_LINK_EXPIRE);
    SYSTEMTIME range[2] = {};
    GetLocalTime(&range[0]);
    DateTime_SetRange(picker, GDTR_MIN, range);
    unsigned short language = 18;
    CToviRegistry::GetLanguage(0, &language);
    if (language == 9)
        DateTime_SetFormat(picker, L"dd/MM/yyyy");

    auto applyPasswordRule = [&] {
        if (passwordRule == '2') {
            Check(IDC_LINK_PASSWORD_ON, true);
            EnableItem(IDC_LINK_PASSWORD, true);
        } else if (passwordRule == '3') {
            Check(IDC_LINK_PASSWORD_ON, true);
            EnableItem(IDC_LINK_PASSWORD_ON, false);
            EnableItem(IDC_LINK_PASSWORD, true);
        } else if (passwordRule == '4') {
            Check(IDC_LINK_PASSWORD_ON, true);
            EnableItem(IDC_LINK_PASSWORD_ON, false);
            EnableItem(IDC_LINK_PASSWORD, false);
            if (strcmp(rules.fixedPassword, "**") == 0) {
                ShowMask();
                m_bFixedPassword = true;
            }
        }
    };
    if (mode == 'M') {
        if (wcscmp(m_chosenLink.wszPassword, L"*") == 0) {
            Check(IDC_LINK_PASSWORD_ON, true);
            EnableItem(IDC_LINK_PASSWORD, true);
            ShowMask();
        }
        if (passwordRule == '3' || passwordRule == '4')
            applyPasswordRule();
    } else {
        applyPasswordRule();
    }

    SYSTEMTIME day = {};
    const bool hasDefault = share::ParseDate(rules.defaultDay, &day);
    SYSTEMTIME linkDay = {};
    if (mode == 'M' && share::ParseDate(m_chosenLink.szExpire, &linkDay)) {
        Check(IDC_LINK_EXPIRE_ON, true);
        DateTime_SetSystemtime(picker, GDT_VALID, &linkDay);
        EnableItem(IDC_LINK_EXPIRE, true);
    } else if (hasDefault) {
        DateTime_SetSystemtime(picker, GDT_VALID, &day);
    }
    if (expireRule == '4') {
        if (mode == 'M' && hasDefault)
            DateTime_SetSystemtime(picker, GDT_VALID, &day);
    } else if (share::ParseDate(rules.latestDay, &range[1])) {
        DateTime_SetRange(picker, GDTR_MIN | GDTR_MAX, range);
        CString note;
        note.Format(CToviMsg::GetString(12117).GetString(), CString(rules.latestDay).GetString());
        SetDlgItemText(IDC_LINK_EXPIRE_NOTE, note);
    }

    const long long defaultCount = _strtoi64(rules.defaultCount, nullptr, 10);
    CString number;
    if (mode == 'M' && _strtoi64(m_chosenLink.szLimit, nullptr, 10) > 0) {
        Check(IDC_LINK_LIMIT_ON, true);
        SetDlgItemText(IDC_LINK_LIMIT, CString(m_chosenLink.szLimit));
        EnableItem(IDC_LINK_LIMIT, true);
    } else if (defaultCount > 0) {
        number.Format(L"%I64d", defaultCount);
        SetDlgItemText(IDC_LINK_LIMIT, number);
    }
    if (countRule == '2' && mode != 'M') {
        Check(IDC_LINK_LIMIT_ON, true);
        EnableItem(IDC_LINK_LIMIT, true);
    } else if (countRule == '3') {
        Check(IDC_LINK_LIMIT_ON, true);
        EnableItem(IDC_LINK_LIMIT_ON, false);
        EnableItem(IDC_LINK_LIMIT, true);
    } else if (countRule == '4') {
        Check(IDC_LINK_LIMIT_ON, true);
        EnableItem(IDC_LINK_LIMIT_ON, false);
        EnableItem(IDC_LINK_LIMIT, false);
    }
    if (countRule != '4' && LargestCount() > 0) {
        CString note;
        note.Format(CToviMsg::GetString(12119).GetString(), LargestCount());
        SetDlgItemText(IDC_LINK_LIMIT_NOTE, note);
    }
    m_bInitialized = true;
    return TRUE;
}

void CLinkCreateDlg::OnBnClickedCheckPassword()
{
    if (Checked(IDC_LINK_PASSWORD_ON)) {
        EnableItem(IDC_LINK_PASSWORD, true);
        ::SetFocus(::GetDlgItem(m_hWnd, IDC_LINK_PASSWORD));
    } else {
        EnableItem(IDC_LINK_PASSWORD, false);
    }
}

void CLinkCreateDlg::OnBnClickedCheckExpireDate()
{
    EnableItem(IDC_LINK_EXPIRE, Checked(IDC_LINK_EXPIRE_ON));
}

void CLinkCreateDlg::OnBnClickedCheckPassword2()
{
    if (Checked(IDC_LINK_LIMIT_ON)) {
        EnableItem(IDC_LINK_LIMIT, true);
        ::SetFocus(::GetDlgItem(m_hWnd, IDC_LINK_LIMIT));
    } else {
        EnableItem(IDC_LINK_LIMIT, false);
    }
}

void CLinkCreateDlg::OnEnChangeEditPassword()
{
    m_bPasswordEdited = true;
}

void CLinkCreateDlg::OnEnChangeEditLimit()
{
    if (!m_bInitialized || LargestCount() <= 0)
        return;
    CString typed;
    GetDlgItemText(IDC_LINK_LIMIT, typed);
    if (!typed.IsEmpty() && _wcstoi64(typed.GetString(), nullptr, 10) > LargestCount())
        share::Refuse(this, 12121, IDC_LINK_LIMIT, true);
}

void CLinkCreateDlg::OnBnClickedOk()
{
    _PROTO_LINK_INFO info = {};
    if (m_szMode[0] == 'M')
        CopyText(info.szLinkId, m_chosenLink.szLinkId);
    if (Checked(IDC_LINK_PASSWORD_ON)) {
        CString typed;
        GetDlgItemText(IDC_LINK_PASSWORD, typed);
        if (typed.IsEmpty()) {
            share::Refuse(this, 12000, IDC_LINK_PASSWORD);
            return;
        }
        if (m_bPasswordEdited) {
            // Cutting it would leave the link with a password nobody typed.
            if (typed.GetLength() > LINK_PASSWORD_MAX) {
                share::Refuse(this, 12140, IDC_LINK_PASSWORD);
                return;
            }
            wcsncpy(info.wszPassword, typed.GetString(), LINK_PASSWORD_MAX);
        } else {
            wcscpy(info.wszPassword, m_bFixedPassword ? L"**" : L"*");
        }
    }
    if (Checked(IDC_LINK_EXPIRE_ON)) {
        SYSTEMTIME day = {};
        DateTime_GetSystemtime(::GetDlgItem(m_hWnd, IDC_LINK_EXPIRE), &day);
        char text[11];
        share::FormatDate(day, text);
        CopyText(info.szExpire, text);
    }
    if (Checked(IDC_LINK_LIMIT_ON)) {
        CString typed;
        GetDlgItemText(IDC_LINK_LIMIT, typed);
        const long long count = _wcstoi64(typed.GetString(), nullptr, 10);
        if (LargestCount() > 0 && count > LargestCount()) {
            share::Refuse(this, 12121, IDC_LINK_LIMIT, true);
            return;
        }
        if (typed.IsEmpty()) {
            share::Refuse(this, 12048, IDC_LINK_LIMIT);
            return;
        }
        CopyText(info.szLimit, CStringA(typed).GetString());
        if (count <= 0) {
            share::Refuse(this, 12111, IDC_LINK_LIMIT);
            return;
        }
    }
    m_linkInfo = info;
    for (_PROTO_FOLDER_INFO& file : m_vecFiles) {
        if (m_pProto->SetLinkInfo(file.IDX, file.DIDX, m_szMode, &m_linkInfo) != 0) {
            m_pProto->LinkInfo.clear();
            dialogkit::MessageBox(m_hWnd, m_pProto->ResultInfo.wszMessage, MB_ICONHAND);
            break;
        }
    }
    EndDialog(IDOK);
}

