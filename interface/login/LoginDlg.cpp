// CLoginDlg: set-up, lists, language, and the log-in itself.
#include "LoginDlg.h"
#include "LoginExchange.h"
#include "DataExchange.h"
#include "FileUtils.h"
#include "LoginRes.h"
#include "LoginRules.h"
#include "ProgressDlg.h"
#include "SkinRes.h"
#include "ToviConv.h"
#include "ToviMessages.h"
#include "ToviMsg.h"
#include "ToviProto.h"
#include "ToviRegistry.h"
#include "ToviString.h"
#include "TraceLog.h"
#include <gdiplus.h>
#include <shlobj.h>
#include <cstring>

IMPLEMENT_DYNAMIC(CLoginDlg, CVantelDialog)

BEGIN_MESSAGE_MAP(CLoginDlg, CVantelDialog)
    ON_WM_CREATE()
    ON_WM_ERASEBKGND()
    ON_WM_DESTROY()
    ON_WM_ACTIVATE()
    ON_WM_WINDOWPOSCHANGING()
    ON_WM_CLOSE()
    ON_WM_CTLCOLOR()
    ON_BN_CLICKED(IDC_LOGIN_BUTTON, OnBnClickedLogin)
    ON_BN_CLICKED(IDC_LOGIN_AUTO_LOGIN, OnBnClickedAutoLogin)
    ON_BN_CLICKED(IDC_SYSBTN_MINIMIZE, OnBnClickedMinimize)
    ON_BN_CLICKED(IDC_SYSBTN_CLOSE, OnBnClickedExit)
    ON_CBN_SELCHANGE(IDC_LOGIN_LANGUAGE, OnCbnSelchangeLanguage)
    ON_CBN_SELCHANGE(IDC_LOGIN_DOMAIN, OnCbnSelchangeDomain)
    ON_MESSAGE(WM_AUTO_LOGIN, OnAutoLogin)
END_MESSAGE_MAP()

namespace {

const wchar_t kCaption[] = L"CorvaneIXO";
// Rows of the shortened backup layout.
const int kBackupShift = 190;

bool SameCode(const CString& code, const wchar_t* name)
{
    return code.CompareNoCase(name) == 0;
}

void CopyText(char* dest, size_t size, const char* src)
{
    std::memset(dest, 0, size);
    if (src)
        std::strncpy(dest, src, size - 1);
}

void CopyWide(wchar_t* dest, size_t size, const wchar_t* src)
{
    std::memset(dest, 0, size * sizeof(wchar_t));
    if (src)
        wcsncpy(dest, src, size - 1);
}

}

DomainRecord MakeDomainRecord(const DomainEntry& entry, const char* host, int port)
{
    DomainRecord record = {};
    CopyText(record.DIdx, sizeof record.DIdx, entry.DomainIndex);
    CopyWide(record.DName, 61, entry.DomainLabel);
    CopyText(record.DAddr, sizeof record.DAddr, entry.DomainAddress);
    CopyWide(record.MainTitle, 128, entry.DomainMainTitle);
    CopyWide(record.MessageTitle, 128, entry.DomainMessageTitle);
    if (entry.ServerHost[0]) {
        CopyText(record.ServerHost, sizeof record.ServerHost, entry.ServerHost);
        record.ServerPort = entry.ServerPort;
    } else {
        CopyText(record.ServerHost, sizeof record.ServerHost, host);
        record.ServerPort = port;
    }
    return record;
}

namespace {

int CALLBACK CollectFont(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM param)
{
    auto* fonts = reinterpret_cast<std::vector<CString>*>(param);
    fonts->push_back(CString(font->lfFaceName));
    return 1;
}

}

CLoginDlg::CLoginDlg(CWnd* pParent) : CVantelDialog(IDD_LOGIN_DIALOG, pParent)
{
    m_nUIType = kUITypeLogin;
}

CLoginDlg::~CLoginDlg()
{
    delete m_pBackground;
}

void CLoginDlg::DoDataExchange(CDataExchange* pDX)
{
    CVantelDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_LOGIN_DOMAIN, m_cbDomain);
    DDX_Control(pDX, IDC_LOGIN_LANGUAGE, m_cbLanguage);
    DDX_Control(pDX, IDC_LOGIN_USERID, m_edUserId);
    DDX_Control(pDX, IDC_LOGIN_PASSWORD, m_edPassword);
    DDX_Control(pDX, IDC_LOGIN_SAVE_ID, m_chkSaveId);
    DDX_Control(pDX, IDC_LOGIN_AUTO_LOGIN, m_chkAutoLogin);
    DDX_Control(pDX, IDC_LOGIN_BUTTON, m_btnLogin);
    DDX_Control(pDX, IDC_SYSBTN_MINIMIZE, m_btnMinimize);
    DDX_Control(pDX, IDC_SYSBTN_MIDDLE, m_btnMiddle);
    DDX_Control(pDX, IDC_SYSBTN_CLOSE, m_btnExit);
    DDX_Control(pDX, IDC_LOGIN_DOMAIN_LABEL, m_stDomain);
    DDX_Control(pDX, IDC_LOGIN_LANGUAGE_LABEL, m_stLanguage);
    DDX_Control(pDX, IDC_LOGIN_USERID_LABEL, m_stUserId);
    DDX_Control(pDX, IDC_LOGIN_PASSWORD_LABEL, m_stPassword);
}

int CLoginDlg::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CVantelDialog::OnCreate(lpCreateStruct) == -1)
        return -1;
    m_hIcon = CFileUtils::GetMainIcon(LoginProduct);
    return 0;
}

bool CLoginDlg::TwoServerSite() const
{
    if (m_pProto == nullptr)
        return false;
    return (SameCode(m_pProto->CustomerCode, L"TQX_IN") || SameCode(m_pProto->CustomerCode, L"TQX_OUT")) &&
           m_pProto->ServerIn[0] && m_pProto->ServerOut[0];
}

BOOL CLoginDlg::OnInitDialog()
{
    CVantelDialog::OnInitDialog();
    if (m_hIcon) {
        SetIcon(m_hIcon, TRUE);
        SetIcon(m_hIcon, FALSE);
    }
    if (m_pProto && m_pProto->TitlebarColor[0]) {
        CString color(m_pProto->TitlebarColor);
        SetTitleBarColor(CToviConv::ConvertHextoRGB(const_cast<wchar_t*>(color.GetString())));
    }

    // Caption buttons side by side at the right end of the caption band.
    m_btnMinimize.SetBtnStyle(5);
    m_btnMiddle.SetBtnStyle(6);
    m_btnMiddle.EnableWindow(FALSE);
    m_btnExit.SetBtnStyle(7);
    CRect client, button;
    GetClientRect(&client);
    m_btnMinimize.GetWindowRect(&button);
    const int width = button.Width();
    CToviButton* captionButtons[] = {&m_btnMinimize, &m_btnMiddle, &m_btnExit};
    for (int i = 0; i < 3; ++i)
        captionButtons[i]->SetWindowPos(nullptr, client.Width() - 72 + i * width, 0, width, button.Height(),
                                        SWP_NOZORDER | SWP_NOACTIVATE);
    for (CVantelStatic* label : {&m_stDomain, &m_stLanguage, &m_stUserId, &m_stPassword}) {
        label->SetBackColor(CVantelStatic::kTransparent);
        label->UpdateCtrl();
    }
    m_btnLogin.SetBtnStyle(11);
    m_btnLogin.SetIcon(IDI_BTN_LOGIN);

    if (LoginProduct == 0)
        LoadBackground();
    GetFontLists();
    ResetLanguageList();
    if (TwoServerSite())
        ResetDomainList();

    if (LoginProduct == 2)
        ShortenForBackup();

    int save = 0, autoOn = 0, runExplorer = 0;
    CString savedId, savedPassword, savedDomain;
    CToviRegistry::GetUserInfo(LoginProduct, &save, &autoOn, &runExplorer, savedId, savedPassword, savedDomain);

    FillDomains(savedDomain);
    ApplyLoginOption();

    const CString code = m_pProto ? m_pProto->CustomerCode : CString();
    const wchar_t* noAutoSites[] = {L"TOLVAN_IN", L"TOLVAN_OUT", L"PERIDAN", L"PERIDAN_OUT", L"DUVUDOVA_DI",
                                    L"PERIDANE_OUT"};
    bool noAuto = false;
    for (const wchar_t* site : noAutoSites)
        noAuto = noAuto || SameCode(code, site);
    if (noAuto) {
        m_chkAutoLogin.SetCheck(BST_UNCHECKED);
        m_chkAutoLogin.EnableWindow(FALSE);
        autoOn = 0;
    } else if (SameCode(code, L"VQD") && m_pProto) {
        m_pProto->m_bCallerFlag3 = 0;
        m_chkSaveId.ShowWindow(SW_HIDE);
    }
    if (m_pProto && m_pProto->m_bCallerFlag2 == 0) {
        m_chkSaveId.SetCheck(BST_UNCHECKED);
        m_chkSaveId.ShowWindow(SW_HIDE);
        save = 0;
    }
    if (m_pProto && m_pProto->m_bCallerFlag3 == 0) {
        m_chkAutoLogin.SetCheck(BST_UNCHECKED);
        m_chkAutoLogin.ShowWindow(SW_HIDE);
        GotoDlgCtrl(&m_edUserId);
    }

    if (save == 1 && !savedId.IsEmpty()) {
        m_chkSaveId.SetCheck(BST_CHECKED);
        m_edUserId.SetWindowText(savedId);
        GotoDlgCtrl(&m_edPassword);
        return FALSE;
    }
    CString id = savedId, password = savedPassword;
    if (GetInfoSSO(id, password) == 1) {
        const bool directory = m_pProto && loginrules::OptionOn(m_pProto->LoginOption, sizeof m_pProto->LoginOption, 8);
        bool start;
        if (SameCode(code, L"TALVERON"))
            start = autoOn == 1;
        else if (directory)
            start = true;
        else
            start = autoOn == 1 && !id.IsEmpty() && !password.IsEmpty();
        if (start) {
            m_chkSaveId.SetCheck(BST_UNCHECKED);
            m_chkSaveId.EnableWindow(FALSE);
            m_chkAutoLogin.SetCheck(BST_CHECKED);
            m_edUserId.SetWindowText(id);
            m_edPassword.SetWindowText(password);
            PostMessage(WM_AUTO_LOGIN, 0, 0);
        }
    }
    FocusFirstEmpty();
    return FALSE;
}

void CLoginDlg::LoadBackground()
{
    wchar_t documents[MAX_PATH] = {};
    CString path;
    if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, 0, documents)))
        path = CString(documents) + L"\\VariruDAD\\Image\\login.png";
    if (path.IsEmpty() || !CFileUtils::IsExistFile(path)) {
        const CString dir = CToviRegistry::GetInstallDir(LoginProduct);
        path = dir.IsEmpty() ? CString() : dir + L"\\login.png";
    }
    if (path.IsEmpty() || !CFileUtils::IsExistFile(path))
        return;
    auto* image = new Gdiplus::Image(path.GetString());
    if (image->GetLastStatus() != Gdiplus::Ok) {
        delete image;
        return;
    }
    m_pBackground = image;
}

void CLoginDlg::ShortenForBackup()
{
    CRect window;
    GetWindowRect(&window);
    SetWindowPos(nullptr, 0, 0, window.Width(), window.Height() - kBackupShift, SWP_NOMOVE | SWP_NOZORDER);
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const int id = ::GetDlgCtrlID(child);
        if (id == IDC_SYSBTN_MINIMIZE || id == IDC_SYSBTN_MIDDLE || id == IDC_SYSBTN_CLOSE)
            continue;
        RECT rc;
        ::GetWindowRect(child, &rc);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
        ::SetWindowPos(child, nullptr, rc.left, rc.top - kBackupShift, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void CLoginDlg::FillDomains(const CString& savedDomain)
{
    if (m_pProto && !m_pProto->DomainInfo.empty()) {
        m_domains.clear();
        for (const DomainEntry& entry : m_pProto->DomainInfo)
            m_domains.push_back(MakeDomainRecord(entry, m_pProto->ServerAddress.szHost, m_pProto->ServerAddress.nPort));
        m_pProto->ReleaseDomainInfo();
    }
    if (!TwoServerSite()) {
        m_cbDomain.ResetContent();
        for (const DomainRecord& record : m_domains)
            m_cbDomain.AddString(record.DName);
    }
    int selected = -1;
    if (!savedDomain.IsEmpty()) {
        for (size_t i = 0; i < m_domains.size() && selected < 0; ++i)
            if (savedDomain == DisplayText(m_domains[i]) || savedDomain == m_domains[i].DName)
                selected = static_cast<int>(i);
    }
    if (selected < 0 && m_pProto && m_pProto->ServerAddress.szHost[0]) {
        for (size_t i = 0; i < m_domains.size() && selected < 0; ++i)
            if (std::strstr(m_domains[i].DAddr, m_pProto->ServerAddress.szHost) != nullptr)
                selected = static_cast<int>(i);
    }
    if (m_cbDomain.GetCount() > 0)
        m_cbDomain.SetCurSel(selected < 0 ? 0 : selected);
}

void CLoginDlg::ApplyLoginOption()
{
    if (m_pProto == nullptr)
        return;
    struct Field {
        int position;
        int label;
        int control;
        const wchar_t* trace;
    };
    const Field fields[] = {
        {0, IDC_LOGIN_DOMAIN_LABEL, IDC_LOGIN_DOMAIN,
         L"[ CLoginDlg::OnInitDialog ] [ LOGIN_DOMAIN_SHOW ] HIDDEN!\n"},
        {1, IDC_LOGIN_LANGUAGE_LABEL, IDC_LOGIN_LANGUAGE,
         L"[ CLoginDlg::OnInitDialog ] [ LOGIN_LANG_SHOW ] HIDDEN!\n"},
        {2, IDC_LOGIN_USERID_LABEL, IDC_LOGIN_USERID,
         L"[ CLoginDlg::OnInitDialog ] [ LOGIN_ID_INPUT_SHOW ] HIDDEN!\n"},
        {3, IDC_LOGIN_PASSWORD_LABEL, IDC_LOGIN_PASSWORD,
         L"[ CLoginDlg::OnInitDialog ] [ LOGIN_PW_INPUT_SHOW ] HIDDEN!\n"},
    };
    for (const Field& field : fields) {
        if (loginrules::FieldShown(m_pProto->LoginOption, sizeof m_pProto->LoginOption, field.position))
            continue;
        GetDlgItem(field.label)->ShowWindow(SW_HIDE);
        GetDlgItem(field.control)->ShowWindow(SW_HIDE);
        TraceLog(1, field.trace);
    }
}

int CLoginDlg::GetInfoSSO(CString& userId, CString& password)
{
    m_bSSO = false;
    if (m_pProto == nullptr)
        return 1;
    const CString code = m_pProto->CustomerCode;
    const wchar_t* env = L"Volatile Environment";
    const CString dnsDomain = CToviRegistry::GetADInfo(env, L"USERDNSDOMAIN");
    const CString userName = CToviRegistry::GetADInfo(env, L"USERNAME");
    auto refuse = [this]() {
        m_bHidden = true;
        MessageText(L"\xB85C\xADF8\xC778 \xC2DC\xB3C4\xD55C ID\xAC00 \xD5C8\xAC00 \xBC1B\xC9C0 \xC54A\xC740 "
                    L"ID\xC785\xB2C8\xB2E4. \xAD00\xB9AC\xC790\xC5D0\xAC8C \xBB38\xC758 \xD558\xC2DC\xAE30 "
                    L"\xBC14\xB78D\xB2C8\xB2E4.",
                    MB_ICONSTOP);
        if (m_hOwner && ::IsWindow(m_hOwner))
            ::PostMessageW(m_hOwner, WM_CLOSE, 0, 0);
        return 0;
    };

    if (SameCode(code, L"ZPL") || SameCode(code, L"QMB")) {
        // The directory domain of these two sites; configured here, the sites' own name.
        const wchar_t kSiteDomain[] = L"CORP.ZPL.LOCAL";
        if (dnsDomain.IsEmpty() || dnsDomain != kSiteDomain || userName.IsEmpty())
            return refuse();
        userId = userName;
        password.Empty();
        m_bSSO = true;
    } else if (SameCode(code, L"TALVERON")) {
        CString useSso, ssoId;
        CToviRegistry::GetUseSSO(0, useSso);
        if (useSso == L"Y") {
            CToviRegistry::GetSSOID(0, ssoId);
            userId = ssoId;
        } else {
            userId = userName;
        }
        password.Empty();
        m_bSSO = true;
    }
    if (loginrules::OptionOn(m_pProto->LoginOption, sizeof m_pProto->LoginOption, 8)) {
        const CString adDomain(m_pProto->AdDomain);
        if (!adDomain.IsEmpty()) {
            TraceLog(1, L"[ CLoginDlg::GetInfoSSO ] USER DNS DOMAIN CHECK!\n (regi)%s - %s(svr) ", dnsDomain.GetString(),
                     adDomain.GetString());
            if (dnsDomain.CompareNoCase(adDomain) != 0)
                return refuse();
        }
        TraceLog(1, L"[ CLoginDlg::GetInfoSSO ] USER NAME = %s", userName.GetString());
        if (userName.IsEmpty())
            return refuse();
        TraceLog(1, L"[ AD LOGIN ]\n USER ID = %s\n USER DNS DOMAIN = %s\n", userName.GetString(),
                 dnsDomain.GetString());
        userId = userName;
        password.Empty();
        m_bSSO = true;
    }
    if (m_bSSO) {
        m_edUserId.SetWindowText(userId);
        m_edPassword.SetWindowText(password);
    }
    return 1;
}

void CLoginDlg::GetFontLists()
{
    m_fonts = InstalledFontFamilies(m_hWnd);
}

void CLoginDlg::ResetLanguageList()
{
    unsigned short language = 0x12;
    if (!CToviRegistry::GetLanguage(LoginProduct, &language) || language == 0) {
        language = 0x12;
        CToviRegistry::SetLanguage(LoginProduct, language);
    }
    m_cbLanguage.ResetContent();
    auto add = [this](const wchar_t* name, unsigned short id) {
        const int index = m_cbLanguage.AddString(name);
        if (index >= 0)
            m_cbLanguage.SetItemData(index, id);
    };
    if (m_pProto) {
        for (const CString& code : m_pProto->LanguageInfo) {
            if (code == L"ko")
                add(L"\xD55C\xAD6D\xC5B4", 0x12);
            else if (code == L"en")
                add(L"English", 0x09);
            else if (code == L"jp")
                add(L"\x65E5\x672C\x8A9E", 0x11);
        }
    }
    if (m_cbLanguage.GetCount() == 0) {
        add(L"\xD55C\xAD6D\xC5B4", 0x12);
        add(L"English", 0x09);
    }
    int selected = 0;
    for (int i = 0; i < m_cbLanguage.GetCount(); ++i)
        if (m_cbLanguage.GetItemData(i) == language)
            selected = i;
    m_cbLanguage.SetCurSel(selected);
    InitControl(static_cast<unsigned short>(m_cbLanguage.GetItemData(selected)));
}

CString ApplyLoginLanguage(unsigned short language, const std::vector<CString>& fonts, int product, HWND owner)
{
    auto installed = [&fonts](const wchar_t* face) {
        for (const CString& font : fonts)
            if (font.CompareNoCase(face) == 0)
                return true;
        return false;
    };
    CString face = L"\xAD74\xB9BC";
    if (language == 0x09) {
        face = installed(L"Segoe UI") ? L"Segoe UI" : L"tahoma";
    } else if (language == 0x11) {
        const wchar_t* faces[] = {L"Meiryo UI", L"Meiryo", L"MS UI Gothic", L"MS Mincho"};
        face = L"MS Mincho";
        for (const wchar_t* candidate : faces) {
            if (installed(candidate)) {
                face = candidate;
                break;
            }
        }
    }
    CToviRegistry::SetDialogFont(product, face);

    const LANGID id = MAKELANGID(language, SUBLANG_DEFAULT);
    const int windows = CFileUtils::GetWindowsType();
    if (windows != -1) {
        if (windows < 8) {
            ::SetThreadLocale(MAKELCID(id, SORT_DEFAULT));
        } else {
            typedef LANGID(WINAPI * SetUiLanguage)(LANGID);
            HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
            auto set = kernel ? reinterpret_cast<SetUiLanguage>(::GetProcAddress(kernel, "SetThreadUILanguage"))
                              : nullptr;
            if (set)
                set(id);
        }
    }
    CFileUtils::SetLocaleChange(language);
    if (owner && ::IsWindow(owner))
        ::PostMessageW(owner, WM_LOCALE_CHANGE, language, 0);
    return face;
}

std::vector<CString> InstalledFontFamilies(HWND window)
{
    std::vector<CString> fonts;
    LOGFONTW query = {};
    query.lfCharSet = 0;
    HDC dc = ::GetDC(window);
    ::EnumFontFamiliesExW(dc, &query, CollectFont, reinterpret_cast<LPARAM>(&fonts), 0);
    ::ReleaseDC(window, dc);
    return fonts;
}

void CLoginDlg::InitControl(unsigned short language)
{
    const CString face = ApplyLoginLanguage(language, m_fonts, LoginProduct, m_hOwner);

    LOGFONTW lf = {};
    if (CFont* current = GetFont())
        current->GetLogFont(&lf);
    wcsncpy(lf.lfFaceName, face.GetString(), LF_FACESIZE - 1);
    lf.lfQuality = CLEARTYPE_QUALITY;
    if (language != 0x09)
        lf.lfCharSet = DEFAULT_CHARSET;
    m_font.DeleteObject();
    if (m_font.CreateFontIndirect(&lf))
        SendMessageToDescendants(WM_SETFONT, reinterpret_cast<WPARAM>(m_font.GetSafeHandle()), TRUE);
    // The caption is drawn in the same face, or a Korean title would show in a Latin-only one.
    lf.lfWeight = 600;
    m_fontTitle.DeleteObject();
    m_fontTitle.CreateFontIndirect(&lf);

    const CString title = CToviString::GetString(14030);
    SetWindowText(title);
    SetTitleBar(title);
    m_btnLogin.SetWindowText(title);
    m_stDomain.SetWindowText(CToviString::GetString(14031));
    m_stLanguage.SetWindowText(CToviString::GetString(14032));
    m_stUserId.SetWindowText(CToviString::GetString(14033));
    m_stPassword.SetWindowText(CToviString::GetString(14034));
    m_chkSaveId.SetWindowText(CToviString::GetString(14035));
    m_chkAutoLogin.SetWindowText(CToviString::GetString(14036));
    Invalidate();
    FocusFirstEmpty();
}

void CLoginDlg::FocusFirstEmpty()
{
    if (m_edUserId.GetWindowTextLength() == 0)
        GotoDlgCtrl(&m_edUserId);
    else if (m_edPassword.GetWindowTextLength() == 0)
        GotoDlgCtrl(&m_edPassword);
}

CString CLoginDlg::DisplayText(const DomainRecord& record) const
{
    if (!TwoServerSite())
        return CString(record.DName);
    char internalHost[128] = {};
    CopyText(internalHost, sizeof internalHost, m_pProto->ServerIn);
    if (char* colon = std::strchr(internalHost, ':'))
        *colon = '\0';
    const unsigned label = std::strcmp(record.ServerHost, internalHost) == 0 ? 14249 : 14221;
    CString text;
    text.Format(L"[%s]%s", CToviMsg::GetString(label).GetString(), record.DName);
    return text;
}

void CLoginDlg::ResetDomainList()
{
    const bool twoServers = TwoServerSite();
    int keep = m_cbDomain.GetCurSel();
    if (keep < 0)
        keep = 0;
    m_cbDomain.ResetContent();
    if (m_pProto && !m_pProto->DomainInfo.empty()) {
        m_domains.clear();
        for (const DomainEntry& entry : m_pProto->DomainInfo)
            m_domains.push_back(MakeDomainRecord(entry, m_pProto->ServerAddress.szHost, m_pProto->ServerAddress.nPort));
        m_pProto->ReleaseDomainInfo();
    }
    int selected = -1;
    for (size_t i = 0; i < m_domains.size(); ++i) {
        m_cbDomain.AddString(DisplayText(m_domains[i]));
        if (!twoServers && m_pProto && m_domains[i].DAddr[0] &&
            std::strstr(m_pProto->ServerAddress.szHost, m_domains[i].DAddr) != nullptr)
            selected = static_cast<int>(i);
    }
    if (m_cbDomain.GetCount() == 0)
        return;
    if (twoServers)
        selected = keep < m_cbDomain.GetCount() ? keep : 0;
    m_cbDomain.SetCurSel(selected < 0 ? 0 : selected);
}

const DomainRecord* CLoginDlg::SelectedDomain(CString* display)
{
    const int index = m_cbDomain.GetCurSel();
    if (index < 0)
        return nullptr;
    CString text;
    m_cbDomain.GetLBText(index, text);
    for (const DomainRecord& record : m_domains) {
        if (DisplayText(record) == text) {
            if (display)
                *display = text;
            return &record;
        }
    }
    return nullptr;
}

int CLoginDlg::Message(unsigned id, unsigned type)
{
    return CFileUtils::ToviMessageBox(this, CToviMsg::GetString(id), kCaption, type);
}

int CLoginDlg::MessageText(const wchar_t* text, unsigned type)
{
    return CFileUtils::ToviMessageBox(this, text, kCaption, type);
}

void CLoginDlg::RunProgressUI(bool show)
{
    CProgressDlg::Toggle(m_pProgress, this, show, show ? CToviMsg::GetString(12091) : CString());
}

void CLoginDlg::OnBnClickedLogin()
{
    CString display;
    const DomainRecord* domain = SelectedDomain(&display);
    if (domain == nullptr) {
        Message(12084, MB_ICONEXCLAMATION);
        return;
    }
    const DomainRecord chosen = *domain;
    CToviRegistry::SetMessageBoxTitle(LoginProduct, CString(chosen.MessageTitle));
    CToviRegistry::SetMainTitle(LoginProduct, CString(chosen.MainTitle));
    CString userId, password;
    m_edUserId.GetWindowText(userId);
    m_edPassword.GetWindowText(password);
    if (userId.IsEmpty()) {
        Message(12085, MB_ICONEXCLAMATION);
        GotoDlgCtrl(&m_edUserId);
        return;
    }
    if (m_pProto == nullptr) {
        Message(12070, MB_ICONSTOP);
        return;
    }
    if (SameCode(m_pProto->CustomerCode, L"TALVERON")) {
        CString useSso;
        CToviRegistry::GetUseSSO(0, useSso);
        const CString userName = CToviRegistry::GetADInfo(L"Volatile Environment", L"USERNAME");
        if (userId != userName && useSso != L"Y") {
            m_bSSO = false;
            if (password.IsEmpty()) {
                MessageText(L"\xBE44\xBC00\xBC88\xD638\xB97C \xC785\xB825\xD558\xC5EC \xC8FC\xC2ED\xC2DC\xC624.",
                            MB_ICONEXCLAMATION);
                GotoDlgCtrl(&m_edPassword);
                return;
            }
        }
    }

    m_btnLogin.EnableWindow(FALSE);
    RunProgressUI(true);
    const int languageIndex = m_cbLanguage.GetCurSel();
    const unsigned short language =
        languageIndex >= 0 ? static_cast<unsigned short>(m_cbLanguage.GetItemData(languageIndex)) : 0x12;
    const loginflow::Request request = {CString(chosen.DIdx), userId, password, loginrules::LanguageCode(language),
                                        LoginProduct, m_bSSO};
    int error = 0;
    const loginflow::Outcome outcome =
        loginflow::LogIn(this, m_pProto, request, [this](bool busy) { RunProgressUI(busy); }, &error);
    if (outcome == loginflow::Outcome::NoConnection) {
        TraceLog(2048, L"GetSecureCode Fail\n");
        m_btnLogin.EnableWindow(TRUE);
        if (loginflow::OfferSettings(this, m_pProto)) {
            // A checked server brought its own lists.
            ResetDomainList();
            ResetLanguageList();
        }
        return;
    }
    if (outcome == loginflow::Outcome::Refused) {
        if (loginrules::OptionOn(m_pProto->LoginOption, sizeof m_pProto->LoginOption, 8) &&
            !loginrules::OptionOn(m_pProto->LoginOption, sizeof m_pProto->LoginOption, 12)) {
            TraceLog(1024, L" [ CLoginDlg::OnBnClickedLogin ] LOGIN_AD_LOGINFAIL OPTION ENABLE --> EXIT PROCESS!");
            if (m_hOwner && ::IsWindow(m_hOwner))
                ::PostMessageW(m_hOwner, WM_CLOSE, 0, 0);
        } else {
            m_pProto->CloseSocket();
            m_btnLogin.EnableWindow(TRUE);
            m_bSSO = false;
        }
        return;
    }

    // Logged in on the server.
    CToviRegistry::SetSessionID(0, m_pProto->LoginInfo.SessionId);
    CToviRegistry::SetSSOID(0, CString());
    CToviRegistry::SetUseSSO(0, CString());
    RunProgressUI(false);
    const loginrules::SavedLogin saved =
        loginrules::LoginToSave(m_chkSaveId.GetCheck() == BST_CHECKED, m_chkAutoLogin.GetCheck() == BST_CHECKED,
                                userId, password);
    if (!CToviRegistry::SetUserInfo(LoginProduct, saved.saveUserId, saved.autoLogin, -1, saved.userId,
                                    saved.password, display))
        Message(12086, MB_ICONEXCLAMATION);
    m_pProto->DomainAddressW = CString(chosen.DAddr);
    m_pProto->DomainIndexW = CString(chosen.DIdx);
    CToviRegistry::SetLanguage(LoginProduct, language);
    loginrules::CopyUserId(m_pProto->LoginInfo.UserId, sizeof m_pProto->LoginInfo.UserId / sizeof(wchar_t), userId);
    std::memset(m_pProto->DomainIndex, 0, sizeof m_pProto->DomainIndex);

    CString newPassword;
    if (!loginflow::SettleResetPassword(this, m_pProto, &newPassword)) {
        m_btnLogin.EnableWindow(TRUE);
        return;
    }
    // The next automatic log-in must offer the password the server now holds.
    if (!newPassword.IsEmpty() && saved.autoLogin &&
        !CToviRegistry::SetUserInfo(LoginProduct, saved.saveUserId, saved.autoLogin, -1, saved.userId, newPassword,
                                    display))
        Message(12086, MB_ICONEXCLAMATION);
    m_nLogined = 1;
    CopyText(m_pProto->DomainIndex, sizeof m_pProto->DomainIndex, chosen.DIdx);
    EndDialog(IDOK);
}

void CLoginDlg::OnBnClickedAutoLogin()
{
    const bool on = m_chkAutoLogin.GetCheck() == BST_CHECKED;
    if (on)
        m_chkSaveId.SetCheck(BST_UNCHECKED);
    m_chkSaveId.EnableWindow(!on);
}

void CLoginDlg::OnBnClickedMinimize()
{
    ShowWindow(SW_MINIMIZE);
}

void CLoginDlg::OnBnClickedExit()
{
    if (m_hOwner && ::IsWindow(m_hOwner))
        ::PostMessageW(m_hOwner, WM_CLOSE, 0, 0);
}

void CLoginDlg::OnOK()
{
    // Enter presses the login button, whatever has the focus.
    if (m_btnLogin.IsWindowEnabled())
        OnBnClickedLogin();
}

void CLoginDlg::OnCancel()
{
    // Escape does not close the login window; the owner decides.
}

void CLoginDlg::OnClose()
{
    // The frame's SetRemove, or the frame closing the window.
    RunProgressUI(false);
    EndDialog(IDCANCEL);
}

LRESULT CLoginDlg::OnAutoLogin(WPARAM, LPARAM)
{
    ::Sleep(100);
    OnBnClickedLogin();
    return 0;
}

void CLoginDlg::OnCbnSelchangeLanguage()
{
    const int index = m_cbLanguage.GetCurSel();
    if (index < 0)
        return;
    const unsigned short language = static_cast<unsigned short>(m_cbLanguage.GetItemData(index));
    CFileUtils::SetLocaleChange(language);
    CToviRegistry::SetLanguage(LoginProduct, language);
    InitControl(language);
    CRect client;
    GetClientRect(&client);
    client.bottom = client.top + 22;
    InvalidateRect(&client);
    ResetDomainList();
}

void CLoginDlg::OnCbnSelchangeDomain()
{
    if (!TwoServerSite())
        return;
    const DomainRecord* record = SelectedDomain(nullptr);
    if (record == nullptr)
        return;
    CString host = loginrules::StripScheme(CString(record->ServerHost));
    if (host.IsEmpty()) {
        Message(12007, MB_ICONEXCLAMATION);
        return;
    }
    const int port = record->ServerPort;
    if (host.CompareNoCase(CString(m_pProto->ServerAddress.szHost)) == 0)
        return;
    m_pProto->CloseSocket();
    std::memset(m_pProto->ServerAddress.szHost, 0, sizeof m_pProto->ServerAddress.szHost);
    ::WideCharToMultiByte(CP_ACP, 0, host, host.GetLength(), m_pProto->ServerAddress.szHost,
                          sizeof m_pProto->ServerAddress.szHost - 1, nullptr, nullptr);
    m_pProto->ServerAddress.strCallerText = host;
    m_pProto->ServerAddress.nPort = port;
    CString updateUrl;
    updateUrl.Format(L"http://%s", host.GetString());
    if (m_pProto->GetUpdateCheck(const_cast<char*>("2")) == 0 && m_pProto->UpdatePort[0])
        updateUrl += CString(L":") + m_pProto->UpdatePort;
    CToviRegistry::SetServerAddress(0, host, port, updateUrl);
}

BOOL CLoginDlg::OnEraseBkgnd(CDC* pDC)
{
    CRect rc;
    GetClientRect(&rc);
    if (m_pBackground == nullptr)
        return DrawBkgnd(pDC, rc);
    // Drawn off screen first so the picture never flickers over the plain background.
    CDC memory;
    memory.CreateCompatibleDC(pDC);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(pDC, rc.Width(), rc.Height());
    CBitmap* old = memory.SelectObject(&bitmap);
    DrawBkgnd(&memory, rc);
    {
        Gdiplus::Graphics graphics(memory.GetSafeHdc());
        graphics.DrawImage(m_pBackground, 0, 41, static_cast<INT>(m_pBackground->GetWidth()),
                           static_cast<INT>(m_pBackground->GetHeight()));
    }
    pDC->BitBlt(0, 0, rc.Width(), rc.Height(), &memory, 0, 0, SRCCOPY);
    memory.SelectObject(old);
    return TRUE;
}

HBRUSH CLoginDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    return CVantelDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}

void CLoginDlg::OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized)
{
    CVantelDialog::OnActivate(nState, pWndOther, bMinimized);
    if (nState == WA_INACTIVE)
        return;
    if (m_edUserId.GetWindowTextLength() == 0)
        GotoDlgCtrl(&m_edUserId);
    else if (m_edPassword.GetWindowTextLength() == 0)
        GotoDlgCtrl(&m_edPassword);
    else
        GotoDlgCtrl(&m_btnLogin);
}

void CLoginDlg::OnWindowPosChanging(WINDOWPOS* lpwndpos)
{
    if (m_bHidden)
        lpwndpos->flags &= ~SWP_SHOWWINDOW;
    CVantelDialog::OnWindowPosChanging(lpwndpos);
}

void CLoginDlg::OnDestroy()
{
    RunProgressUI(false);
    // The main icon is a shared one: it stays loaded for the process.
    m_hIcon = nullptr;
    m_domains.clear();
    if (!m_bRemoved && m_hOwner && ::IsWindow(m_hOwner))
        ::PostMessageW(m_hOwner, WM_LOGIN_RESULT, m_nLogined, 0);
    CVantelDialog::OnDestroy();
}
