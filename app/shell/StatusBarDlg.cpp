// CStatusBarDlg: the status bar.
#include "StatusBarDlg.h"
#include "AppRes.h"
#include "Dc.h"
#include "FileUtils.h"
#include "FormParam.h"
#include "InstallerTrust.h"
#include "MainFrame.h"
#include "PopupDlg.h"
#include "SkinRes.h"
#include "ToviColorRef.h"
#include "ToviConv.h"
#include "ToviCrypto.h"
#include "ToviExec.h"
#include "ToviHtmlView.h"
#include "ToviProto.h"
#include "ToviRegistry.h"
#include "ToviString.h"
#include "ToviUpdate.h"
#include "TraceLog.h"
#include <shlobj.h>
#include <cstring>

IMPLEMENT_DYNAMIC(CStatusBarDlg, CShellBar)

BEGIN_MESSAGE_MAP(CStatusBarDlg, CShellBar)
    ON_WM_SETCURSOR()
    ON_BN_CLICKED(IDC_STATUS_MANUAL, OnBnClickedManual)
    ON_BN_CLICKED(IDC_STATUS_HELP, OnBnClickedHelp)
    ON_BN_CLICKED(IDC_STATUS_WEB, OnBnClickedWeb)
    ON_BN_CLICKED(IDC_STATUS_DRIVE, OnBnClickedDrive)
    ON_BN_CLICKED(IDC_STATUS_BACKUP, OnBnClickedBackup)
END_MESSAGE_MAP()

namespace {

const unsigned kCaption[CStatusBarDlg::kButtons] = {14238, 14210, 14056, 14057, 14246};
const UINT kIcon[CStatusBarDlg::kButtons] = {0, 0, IDI_IXO_MAIN, IDI_IXO_MAIN_DRIVE, IDI_IXO_MAIN_BACKUP};
const int kButtonMargin = 24;
const int kButtonGap = 4;
const int kButtonHeight = 24;
// The pass phrase of the product family's enciphered files (stored credentials, updates,
// installers).
const char kInstallerPassPhrase[] = "tivrepolusak4827";
const wchar_t kCaptionText[] = L"CorvaneIXO";

BOOL NavigateFrame(CMainFrame* frame, const CString& url, const CString& body)
{
    return frame ? frame->NavigateWebView(url, body) : FALSE;
}

bool HttpDown(HWND window, const CString& url, const CString& file)
{
    CToviUpdate update;
    return update.HTTPDown(window, url, file);
}

int ShellStart(HWND window, const wchar_t* verb, const wchar_t* file, const wchar_t* folder)
{
    return CToviExec().MyShellExec(window, verb, file, L"", folder);
}

CString DocumentsFolder()
{
    wchar_t path[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, 0, path)))
        return CString();
    return path;
}

bool FileExists(const CString& path)
{
    WIN32_FIND_DATAW found = {};
    HANDLE find = ::FindFirstFileW(path, &found);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    ::FindClose(find);
    return true;
}

}

const UINT CStatusBarDlg::kButtonIds[kButtons] = {IDC_STATUS_MANUAL, IDC_STATUS_HELP, IDC_STATUS_WEB,
                                                  IDC_STATUS_DRIVE, IDC_STATUS_BACKUP};
const CStatusBarDlg::AddOn CStatusBarDlg::kDriveAddOn = {3, L"IXODrive.exe", L"/control/app/ixo_drive_setup.exe",
                                                        L"\\ixo_drive_setup.exe.enc", L"\\ixo_drive_setup.exe"};
const CStatusBarDlg::AddOn CStatusBarDlg::kBackupAddOn = {2, L"IXOBackup.exe", L"/control/app/ixo_backup_setup.exe",
                                                         L"\\ixo_backup_setup.exe.enc", L"\\ixo_backup_setup.exe"};
CStatusBarDlg::PageNavigator CStatusBarDlg::s_pNavigate = NavigateFrame;
CStatusBarDlg::Downloader CStatusBarDlg::s_pDownload = HttpDown;
CStatusBarDlg::Launcher CStatusBarDlg::s_pLaunch = ShellStart;
CString (*CStatusBarDlg::s_pDocuments)() = DocumentsFolder;

CStatusBarDlg::CStatusBarDlg() : CShellBar(33, RGB(239, 239, 239), RGB(227, 227, 227)) 
{
    m_bOwnButtonStates = true;   // every button stays usable
}

CStatusBarDlg::~CStatusBarDlg() = default;

BOOL CStatusBarDlg::Create(CWnd* pParentWnd, UINT nIDTemplate, UINT nStyle, UINT nID)
{
    if (!CShellBar::Create(pParentWnd, nIDTemplate, nStyle, nID))
        return FALSE;
    for (int i = 0; i < kButtons; ++i) {
        if (!m_btn[i].SubclassDlgItem(kButtonIds[i], this))
            return FALSE;
        if (kIcon[i])
            m_btn[i].SetIcon(kIcon[i]);
        m_btn[i].SetBtnStyle(14);
    }
    SetTexts();
    return TRUE;
}

CMainFrame* CStatusBarDlg::Frame() const
{
    return DYNAMIC_DOWNCAST(CMainFrame, GetParent());
}

void CStatusBarDlg::SetTexts()
{
    if (m_hWnd == nullptr)
        return;
    if (m_font.m_hObject == nullptr) {
        const CString face = CFileUtils::GetFont(0);
        LOGFONTW lf = {};
        lf.lfHeight = -12;
        lf.lfWeight = FW_NORMAL;
        lf.lfCharSet = DEFAULT_CHARSET;
        lf.lfQuality = CLEARTYPE_QUALITY;
        lstrcpynW(lf.lfFaceName, face.IsEmpty() ? L"Tahoma" : (LPCWSTR)face, LF_FACESIZE);
        m_font.CreateFontIndirect(&lf);
        for (CWnd* child = GetWindow(GW_CHILD); child != nullptr; child = child->GetWindow(GW_HWNDNEXT))
            child->SetFont(&m_font, FALSE);
    }
    m_strLabel1 = CToviString::GetString(14054);
    m_strLabel2 = CToviString::GetString(14261);
    m_strLabel3 = CToviString::GetString(14055);
    m_nButtonsWidth = 0;
    for (int i = 0; i < kButtons; ++i) {
        if (!m_bShown[i])
            continue;
        const CString caption = CToviString::GetString(kCaption[i]);
        CString current;
        m_btn[i].GetWindowText(current);
        if (current != caption)
            m_btn[i].SetWindowText(caption);
        m_nButtonsWidth += m_btn[i].GetButtonWidth(kButtonMargin) + kButtonGap;
    }
    Layout();
}

void CStatusBarDlg::Layout()
{
    CRect client;
    GetClientRect(&client);
    CMainFrame* frame = Frame();
    const bool grip = frame == nullptr || frame->m_bShowGrip;
    int x = client.right - m_nButtonsWidth - (grip ? 20 : 0);
    if (x < m_nTextRight + 10)
        x = m_nTextRight + 10;
    const int y = (client.Height() - kButtonHeight) / 2 + 1 + (m_bBottomLine ? 3 : 0);
    HDWP batch = ::BeginDeferWindowPos(kButtons);
    for (int i = 0; i < kButtons && batch; ++i) {
        if (!m_bShown[i])
            continue;
        const int width = m_btn[i].GetButtonWidth(kButtonMargin);
        CRect now;
        m_btn[i].GetWindowRect(&now);
        ScreenToClient(&now);
        if (now.left != x || now.top != y || now.Width() != width || !m_btn[i].IsWindowVisible())
            batch = ::DeferWindowPos(batch, m_btn[i].m_hWnd, nullptr, x, y, width, kButtonHeight,
                                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        x += width + kButtonGap;
    }
    if (batch)
        ::EndDeferWindowPos(batch);
}

CString CStatusBarDlg::LastLoginText(const char* text, size_t capacity)
{
    char copy[64] = {};
    std::memcpy(copy, text, strnlen(text, capacity < sizeof copy - 1 ? capacity : sizeof copy - 1));
    CString shown(copy);
    shown.Replace(L"-", L".");
    shown.TrimRight();
    return shown;
}

void CStatusBarDlg::SetStatusInfo(CToviProto* proto)
{
    m_pProto = proto;
    if (proto == nullptr)
        return;
    m_strLastLogin = LastLoginText(proto->LoginInfo.LastLogin, sizeof proto->LoginInfo.LastLogin);
    char address[sizeof proto->LoginInfo.LastLoginIp + 1] = {};
    std::memcpy(address, proto->LoginInfo.LastLoginIp, sizeof proto->LoginInfo.LastLoginIp);
    m_strLastAddress = CString(address);
    const _OPTION_INFO& option = proto->OptionInfo;
    m_bShown[0] = option.ManualUrl[0] != L'\0';
    // Help, web storage and the two add-ons: "Y" shows, "N" hides, anything else keeps.
    const char* const flags[] = {option.UseOnlineHelp, option.WebStorage, option.DriveAddOn, option.BackupAddOn};
    for (int i = 0; i < 4; ++i) {
        if (std::strcmp(flags[i], "Y") == 0)
            m_bShown[i + 1] = true;
        else if (std::strcmp(flags[i], "N") == 0)
            m_bShown[i + 1] = false;
    }
    if (m_hWnd == nullptr)
        return;
    for (int i = 0; i < kButtons; ++i)
        if (!m_bShown[i])
            m_btn[i].ShowWindow(SW_HIDE);
    SetTexts();
    Invalidate();
}

CRect CStatusBarDlg::GripArea(const CRect& clientOnScreen, bool bottomLine)
{
    CRect grip = clientOnScreen;
    grip.top = grip.bottom - 5;
    grip.left = grip.right - (bottomLine ? 5 : 10);
    return grip;
}

CRect CStatusBarDlg::GripOnScreen() const
{
    CRect client;
    GetClientRect(&client);
    ClientToScreen(&client);
    return GripArea(client, m_bBottomLine != FALSE);
}

BOOL CStatusBarDlg::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_LBUTTONDOWN && pMsg->hwnd == m_hWnd) {
        POINT point = {static_cast<short>(LOWORD(pMsg->lParam)), static_cast<short>(HIWORD(pMsg->lParam))};
        ::ClientToScreen(m_hWnd, &point);
        CWnd* frame = GetParent();
        if (frame && GripOnScreen().PtInRect(point)) {
            ::ReleaseCapture();
            frame->PostMessage(WM_NCLBUTTONDOWN, HTBOTTOMRIGHT, MAKELPARAM(point.x, point.y));
            return TRUE;
        }
    }
    return CShellBar::PreTranslateMessage(pMsg);
}

BOOL CStatusBarDlg::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    CWnd* frame = GetParent();
    POINT cursor = {};
    ::GetCursorPos(&cursor);
    if (frame && !frame->IsZoomed() && !frame->IsIconic() && GripOnScreen().PtInRect(cursor)) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_SIZENWSE));
        return TRUE;
    }
    return CShellBar::OnSetCursor(pWnd, nHitTest, message);
}

void CStatusBarDlg::OnBnClickedManual()
{
    if (m_pProto == nullptr)
        return;
    m_strLastUrl = m_pProto->OptionInfo.ManualUrl;
    m_strLastBody.Empty();
    s_pNavigate(Frame(), m_strLastUrl, m_strLastBody);
}

void CStatusBarDlg::OnBnClickedHelp()
{
    CMainFrame* frame = Frame();
    if (frame == nullptr)
        return;
    const int slot = mainframe::PopupSlot(7);
    if (slot >= 0 && frame->m_popups[slot] && ::IsWindow(frame->m_popups[slot]->GetSafeHwnd())) {
        frame->m_popups[slot]->ShowWindow(SW_SHOW);
        return;
    }
    if (frame->m_pScriptView && frame->m_pScriptView->GetSafeHwnd()) {
        // The page opens the help window, which the view turns into the help pop-up.
        frame->m_pScriptView->m_nPopupKind = 7;
        frame->m_pScriptView->CallJScript(L"openHelp", {L"3"});
    }
}

void CStatusBarDlg::OnBnClickedWeb()
{
    TraceLog(1, L"[ CStatusBarDlg::OnBnClickedBtnWeb ] Start! \n");
    CMainFrame* frame = Frame();
    if (m_pProto == nullptr || frame == nullptr)
        return;
    m_strLastUrl = m_pProto->ServerAddress.WebServerAddress + frame->m_strWebPath;
    TraceLog(1, L"[ CStatusBarDlg::OnBnClickedBtnWeb ] URL : %s \n", (LPCWSTR)m_strLastUrl);
    CString session(m_pProto->LoginInfo.SessionId);
    if (session.GetLength() > 32)
        session = session.Left(32);
    m_strLastBody = CFormParam::Build({{L"link", L"disk"}, {L"type", L"0"}, {L"uid", m_pProto->LoginInfo.UserId},
                                       {L"sess", session}});
    TraceLog(1, L"[ CStatusBarDlg::OnBnClickedBtnWeb ] PARAM : %s \n", (LPCWSTR)m_strLastBody);
    s_pNavigate(frame, m_strLastUrl, m_strLastBody);
}

void CStatusBarDlg::OnBnClickedDrive()
{
    RunAddOn(kDriveAddOn);
}

void CStatusBarDlg::OnBnClickedBackup()
{
    RunAddOn(kBackupAddOn);
}

bool CStatusBarDlg::RunAddOn(const AddOn& addOn)
{
    const CString installDir = CToviRegistry::GetInstallDir(addOn.product);
    if (!installDir.IsEmpty()) {
        const CString program = installDir + L"\\" + addOn.program;
        if (addOn.product == kBackupAddOn.product)
            TraceLog(1, L" [ CStatusBarDlg::OnBnClickedBtnBackup ] Execute Path = %s \n", (LPCWSTR)program);
        if (FileExists(program))
            return s_pLaunch(m_hWnd, nullptr, addOn.program, installDir) != 0;
        if (addOn.product == kBackupAddOn.product)
            TraceLog(1, L" [ CStatusBarDlg::OnBnClickedBtnBackup ] INVALID_HANDLE_VALUE : %s \n", (LPCWSTR)program);
    }
    if (m_pProto == nullptr || m_pProto->ServerAddress.WebServerAddress.IsEmpty())
        return false;
    const CString documents = s_pDocuments();
    if (documents.IsEmpty())
        return false;
    const CString folder = documents + L"\\VariruDAD\\Update";
    ::CreateDirectoryW(documents + L"\\VariruDAD", nullptr);
    ::CreateDirectoryW(folder, nullptr);
    const CString downloaded = folder + addOn.downloaded;
    const CString setup = folder + addOn.deciphered;
    if (!s_pDownload(m_hWnd, m_pProto->ServerAddress.WebServerAddress + addOn.serverPath, downloaded))
        return false;

    _ENC_CTX ctx = {};
    ctx.algo = ENC_ALG_SEED;
    ctx.mode = ENC_MODE_OFB;
    ctx.keyBits = 128;
    char phrase[sizeof kInstallerPassPhrase];
    std::memcpy(phrase, kInstallerPassPhrase, sizeof phrase);
    if (CToviCrypto::ToviKeySetup(phrase, &ctx) != 0) {
        CFileUtils::ToviMessageBox(this, L"Fail to create crypto context", kCaptionText, MB_ICONERROR);
        return false;
    }
    if (CToviCrypto::ToviFileDecrypt(&ctx, downloaded, setup) != 0) {
        CFileUtils::ToviMessageBox(this, L"Fail to file decryption", kCaptionText, MB_ICONERROR);
        return false;
    }
    ::DeleteFileW(downloaded);
    if (!installer::Accept(this, setup))
        return false;
    CToviExec exec;
    const bool elevate = exec.IsVista() && exec.IsElevated(nullptr) == 1;
    return s_pLaunch(m_hWnd, elevate ? L"runas" : nullptr, addOn.deciphered + 1, folder) != 0;
}

void CStatusBarDlg::PaintBackground(CDC* pDC, const CRect& rect)
{
    const HDC dc = pDC->m_hDC;
    HPEN white = ::CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
    HPEN grey = ::CreatePen(PS_SOLID, 1, m_bBottomLine ? RGB(0xDD, 0xDD, 0xDD) : RGB(0xD2, 0xD2, 0xD2));
    CRect body = rect;
    HGDIOBJ oldPen = ::SelectObject(dc, white);
    if (m_bBottomLine) {
        for (int i = 0; i < 3; ++i) {
            ::MoveToEx(dc, rect.left, rect.top + i, nullptr);
            ::LineTo(dc, rect.right, rect.top + i);
        }
        ::SelectObject(dc, grey);
        ::MoveToEx(dc, rect.left, rect.top + 3, nullptr);
        ::LineTo(dc, rect.right, rect.top + 3);
        body.top += 4;
    } else {
        ::SelectObject(dc, grey);
        ::MoveToEx(dc, rect.left, rect.top, nullptr);
        ::LineTo(dc, rect.right, rect.top);
        body.top += 1;
    }
    ::SelectObject(dc, oldPen);
    ::DeleteObject(white);
    ::DeleteObject(grey);
    FillVerticalGradient(dc, body, m_clrTop, m_clrBottom);

    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, CToviColorRef::GetCRef(0x4187BB));
    HGDIOBJ oldFont = ::SelectObject(dc, m_font.m_hObject ? m_font.m_hObject : ::GetStockObject(DEFAULT_GUI_FONT));
    int x = m_bBottomLine ? 6 : 9;
    auto draw = [&](const CString& text, int gapAfter) {
        if (text.IsEmpty())
            return;
        SIZE extent = {};
        ::GetTextExtentPoint32W(dc, text, text.GetLength(), &extent);
        RECT area = {x, body.top, x + extent.cx, body.bottom};
        ::DrawTextW(dc, text, text.GetLength(), &area, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        x = area.right + gapAfter;
    };
    if (!m_strLastLogin.IsEmpty()) {
        draw(m_strLabel1, 0);
        draw(m_strLastLogin, 14);
    }
    if (!m_strLastAddress.IsEmpty()) {
        draw(m_strLabel2, 0);
        draw(m_strLastAddress, 14);
    }
    CMainFrame* frame = Frame();
    if (frame && (!frame->m_strServerInfo1.IsEmpty() || !frame->m_strServerInfo2.IsEmpty())) {
        draw(m_strLabel3, 0);
        draw(frame->m_strServerInfo1 + L" " + frame->m_strServerInfo2, 0);
    }
    ::SelectObject(dc, oldFont);
    m_nTextRight = x;

    if (frame == nullptr || frame->m_bShowGrip) {
        // The grip's dots: a triangle of dark pixels, each with a white one below and right.
        for (int row = 0; row < 3; ++row) {
            for (int col = 2 - row; col < 3; ++col) {
                const int px = rect.right - 4 - (2 - col) * 4 - 1;
                const int py = rect.bottom - 4 - (2 - row) * 4 + 0;
                ::SetPixel(dc, px, py, RGB(0xA4, 0xA4, 0xA4));
                ::SetPixel(dc, px + 1, py + 1, RGB(255, 255, 255));
            }
        }
    }
    Layout();
}
