// CMainBarDlg: the caption bar.
#include "MainBarDlg.h"
#include "Dc.h"
#include "AppRes.h"
#include "FileUtils.h"
#include "FormParam.h"
#include "MainFrame.h"
#include "ToviColorRef.h"
#include "ToviConv.h"
#include "ToviHtmlView.h"
#include "ToviMsg.h"
#include "ToviProto.h"
#include "ToviRegistry.h"
#include "ToviString.h"
#include "TraceLog.h"
#include <gdiplus.h>
#include <shlobj.h>

IMPLEMENT_DYNAMIC(CMainBarDlg, CShellBar)

BEGIN_MESSAGE_MAP(CMainBarDlg, CShellBar)
    ON_WM_SIZE()
    ON_BN_CLICKED(IDC_BTN_SYS_MIN, OnBnClickedMin)
    ON_BN_CLICKED(IDC_BTN_SYS_MAX, OnBnClickedMax)
    ON_BN_CLICKED(IDC_BTN_SYS_EXIT, OnBnClickedSysExit)
    ON_BN_CLICKED(IDC_BTN_EXPLORER, OnBnClickedExplorer)
    ON_BN_CLICKED(IDC_BTN_RECORD, OnBnClickedRecord)
    ON_BN_CLICKED(IDC_BTN_CONFIG, OnBnClickedConfig)
    ON_BN_CLICKED(IDC_BTN_BOARD, OnBnClickedBoard)
    ON_BN_CLICKED(IDC_BTN_EXTLINK, OnBnClickedExtServer)
END_MESSAGE_MAP()

namespace {

const wchar_t kFormHeader[] = L"Content-Type: application/x-www-form-urlencoded\r\n";

CString MainTitle(const wchar_t* fallback)
{
    CString title;
    if (!CToviRegistry::GetMainTitle(0, title) || title.IsEmpty())
        title = fallback;
    return title;
}

}

CMainBarDlg::CMainBarDlg() : CShellBar(60, RGB(0x2F, 0x5D, 0x9E), RGB(0x1D, 0x3F, 0x73)) 
{
    m_bOwnButtonStates = true;   // every button stays usable
}

CMainBarDlg::~CMainBarDlg()
{
    delete m_pLogo;
    if (m_hMainIcon)
        ::DestroyIcon(m_hMainIcon);
}

BOOL CMainBarDlg::Create(CWnd* pParentWnd, UINT nIDTemplate, UINT nStyle, UINT nID)
{
    if (!CShellBar::Create(pParentWnd, nIDTemplate, nStyle, nID))
        return FALSE;
    struct Button {
        CToviButton* button;
        UINT id;
        int style;
    } buttons[] = {
        {&m_btnMin, IDC_BTN_SYS_MIN, 5},        {&m_btnMax, IDC_BTN_SYS_MAX, 6},
        {&m_btnExit, IDC_BTN_SYS_EXIT, 7},      {&m_btnExplorer, IDC_BTN_EXPLORER, 1},
        {&m_btnRecord, IDC_BTN_RECORD, 1},      {&m_btnConfig, IDC_BTN_CONFIG, 1},
        {&m_btnBoard, IDC_BTN_BOARD, 1},        {&m_btnExtLink, IDC_BTN_EXTLINK, 19},
    };
    for (const Button& b : buttons) {
        if (!b.button->SubclassDlgItem(b.id, this))
            return FALSE;
        b.button->SetBtnStyle(b.style);
        if (b.style == 1) {
            b.button->SetFontSize(10, 600);
            b.button->SetTextColor(RGB(255, 255, 255), RGB(255, 255, 255), RGB(0x66, 0x88, 0xAE), RGB(255, 255, 255));
        } else if (b.style == 19) {
            b.button->SetFontSize(9, 600);
        }
    }
    LoadLogo();
    SetTexts();
    return TRUE;
}

void CMainBarDlg::SetTexts()
{
    if (m_font.m_hObject == nullptr) {
        const CString face = CFileUtils::GetDlgFont(0);
        m_font.CreatePointFont(110, face.IsEmpty() ? L"Tahoma" : (LPCWSTR)face);
    }
    m_btnExplorer.SetWindowText(CToviString::GetString(14041));
    m_btnRecord.SetWindowText(CToviString::GetString(14042));
    m_btnConfig.SetWindowText(CToviString::GetString(14043));
    m_btnBoard.SetWindowText(CToviString::GetString(14044));
    m_btnExtLink.SetWindowText(CToviString::GetString(14221));
    RelayoutButtons();
}

void CMainBarDlg::LoadLogo()
{
    delete m_pLogo;
    m_pLogo = nullptr;
    wchar_t documents[MAX_PATH] = {};
    CString path;
    if (SUCCEEDED(::SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, 0, documents)))
        path = CString(documents) + L"\\VariruDAD\\Image\\logo.png";
    if (path.IsEmpty() || ::GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES)
        path = CToviRegistry::GetInstallDir(0) + L"\\logo.png";
    if (::GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES) {
        Gdiplus::Image* image = Gdiplus::Image::FromFile(path);
        if (image && image->GetLastStatus() == Gdiplus::Ok)
            m_pLogo = image;
        else
            delete image;
    }
    if (m_hMainIcon == nullptr)
        m_hMainIcon = CFileUtils::GetMainIcon(0);
}

void CMainBarDlg::RelayoutButtons()
{
    if (m_hWnd == nullptr)
        return;
    CRect client;
    GetClientRect(&client);
    // The three system buttons stand in a row at the top right.
    CRect minRect;
    m_btnMin.GetWindowRect(&minRect);
    const int width = minRect.Width() > 0 ? minRect.Width() : 22;
    const int height = minRect.Height() > 0 ? minRect.Height() : 20;
    int x = client.right - 70 - (m_bBottomLine ? 0 : 3);
    for (CToviButton* b : {&m_btnMin, &m_btnMax, &m_btnExit}) {
        b->SetWindowPos(nullptr, x, 1, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
        x += width;
    }
    if (m_bExtLinkInUse) {
        const int linkWidth = m_btnExtLink.GetButtonWidth(16);
        m_btnExtLink.SetWindowPos(nullptr, client.right - 70 - 4 - linkWidth, 1, linkWidth, height,
                                  SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // The page buttons follow the title in one row at the bottom of the strip.
    int left = 190;
    const int top = client.Height() - 28;
    for (CToviButton* b : {&m_btnExplorer, &m_btnRecord, &m_btnConfig, &m_btnBoard}) {
        if (!(b->GetStyle() & WS_VISIBLE))
            continue;
        const int w = b->GetButtonWidth(24);
        b->SetWindowPos(nullptr, left, top, w, 24, SWP_NOZORDER | SWP_NOACTIVATE);
        left += w + 4;
    }
    Invalidate();
}

void CMainBarDlg::ShowWebButtons(bool record, bool config, bool board, bool explorer, bool extLink)
{
    m_btnRecord.ShowWindow(record ? SW_SHOW : SW_HIDE);
    m_btnConfig.ShowWindow(config ? SW_SHOW : SW_HIDE);
    m_btnBoard.ShowWindow(board ? SW_SHOW : SW_HIDE);
    m_btnExplorer.ShowWindow(explorer ? SW_SHOW : SW_HIDE);
    m_bExtLinkInUse = extLink;
    m_btnExtLink.ShowWindow(extLink ? SW_SHOW : SW_HIDE);
    RelayoutButtons();
}

void CMainBarDlg::ResetWebButtons()
{
    ShowWebButtons(false, false, false, false, false);
}

void CMainBarDlg::OnSize(UINT nType, int cx, int cy)
{
    CShellBar::OnSize(nType, cx, cy);
    RelayoutButtons();
}

CRect CMainBarDlg::CaptionArea() const
{
    CRect area;
    GetWindowRect(&area);
    if (area.Height() > 80)
        area.bottom = area.top + 80;
    return area;
}

BOOL CMainBarDlg::PreTranslateMessage(MSG* pMsg)
{
    CWnd* frame = GetParent();
    if (frame != nullptr && pMsg->hwnd == m_hWnd) {
        POINT point = {static_cast<short>(LOWORD(pMsg->lParam)), static_cast<short>(HIWORD(pMsg->lParam))};
        ::ClientToScreen(m_hWnd, &point);
        const bool inCaption = CaptionArea().PtInRect(point) != FALSE;
        if (pMsg->message == WM_LBUTTONDOWN && inCaption && !frame->IsZoomed() && !frame->IsIconic()) {
            ::ReleaseCapture();
            frame->PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
            return TRUE;
        }
        if (pMsg->message == WM_LBUTTONDBLCLK && inCaption) {
            MaximizeToggle();
            return TRUE;
        }
    }
    return CShellBar::PreTranslateMessage(pMsg);
}

void CMainBarDlg::MaximizeToggle()
{
    CMainFrame* frame = DYNAMIC_DOWNCAST(CMainFrame, GetParent());
    if (frame == nullptr)
        return;
    frame->m_wndSplitter.KeepRowProportion();
    if (frame->IsZoomed()) {
        frame->m_bMaximized = false;
        frame->ShowWindow(SW_RESTORE);
    } else {
        frame->m_bMaximized = true;
        frame->ShowWindow(SW_MAXIMIZE);
    }
}

void CMainBarDlg::OnBnClickedMin()
{
    if (GetParent())
        GetParent()->ShowWindow(SW_MINIMIZE);
}

void CMainBarDlg::OnBnClickedMax()
{
    MaximizeToggle();
}

void CMainBarDlg::OnBnClickedSysExit()
{
    TraceLog(1, L" [ CMainBarDlg::OnBnClickedBtnSysExit ] START! \n");
    CMainFrame* frame = DYNAMIC_DOWNCAST(CMainFrame, GetParent());
    if (frame == nullptr)
        return;
    const CString customer = frame->m_pProto ? frame->m_pProto->CustomerCode : CString();
    if (customer.CompareNoCase(L"DIDIREVIRU") == 0 || customer.CompareNoCase(L"VRESEC") == 0) {
        frame->m_bHiddenByBar = true;
        frame->ShowWindow(SW_HIDE);
        TraceLog(1, L" [ CMainBarDlg::OnBnClickedBtnSysExit ] END! \n");
        return;
    }
    CString question;
    question.Format(CToviMsg::GetString(12092), (LPCWSTR)MainTitle(L"Corvane"));
    TraceLog(1, L"%s\n", (LPCWSTR)question);
    frame->BeginModal();
    const int answer = CFileUtils::ToviMessageBox(frame, question, L"CorvaneIXO", MB_YESNO | MB_ICONQUESTION);
    frame->EndModal();
    if (answer != IDYES)
        return;
    TraceLog(1, L" [ CMainBarDlg::OnBnClickedBtnSysExit ] END! \n");
    frame->PostMessage(WM_CLOSE);
}

void CMainBarDlg::OnBnClickedExplorer()
{
    CMainFrame* frame = DYNAMIC_DOWNCAST(CMainFrame, GetParent());
    if (frame)
        frame->SwitchView(0xE90A);
}

void CMainBarDlg::OpenPage(const wchar_t* page, const wchar_t* traceName)
{
    CMainFrame* frame = DYNAMIC_DOWNCAST(CMainFrame, GetParent());
    if (frame == nullptr || frame->m_pProto == nullptr)
        return;
    CToviProto* proto = frame->m_pProto;
    if (proto->ServerAddress.WebServerAddress.IsEmpty()) {
        if (wcscmp(page, L"bbs") == 0)
            TraceLog(1, L" [ CMainBarDlg::OnBnClickedBtnBoard ] Domain Address Is Empty! \n");
        return;
    }
    m_strLastUrl = proto->ServerAddress.WebServerAddress + frame->m_strWebPath;
    m_strLastBody = mainframe::CaptionPageBody(page, proto->LoginInfo.UserId, CString(proto->LoginInfo.SessionId));
    TraceLog(1, L"\t[ %s ]\nURL : %s\nPARAM : %s", traceName, (LPCWSTR)m_strLastUrl, (LPCWSTR)m_strLastBody);
    frame->SwitchView(0xE914);
    if (frame->m_pWebView) {
        // The encoded body is plain ASCII.
        std::string body;
        for (int i = 0; i < m_strLastBody.GetLength(); ++i)
            body += static_cast<char>(m_strLastBody[i]);
        frame->m_pWebView->Navigate2(m_strLastUrl, 0, nullptr, kFormHeader, const_cast<char*>(body.data()),
                                     static_cast<DWORD>(body.size()));
    }
}

void CMainBarDlg::OnBnClickedRecord()
{
    OpenPage(L"log", L"OnBnClickedBtnRecord");
}

void CMainBarDlg::OnBnClickedConfig()
{
    OpenPage(L"env", L"OnBnClickedBtnConfig");
}

void CMainBarDlg::OnBnClickedBoard()
{
    OpenPage(L"bbs", L"OnBnClickedBtnBoard");
}

void CMainBarDlg::OnBnClickedExtServer()
{
    CMainFrame* frame = DYNAMIC_DOWNCAST(CMainFrame, GetParent());
    if (frame == nullptr || frame->m_pProto == nullptr)
        return;
    CToviProto* proto = frame->m_pProto;
    m_strLastUrl = proto->ServerAddress.WebServerAddress + frame->m_strWebPath;
    m_strLastBody = CFormParam::Build({{L"link", L"extlink"},
                                       {L"type", L"0"},
                                       {L"uid", CString(proto->LoginInfo.UserId).Left(32)},
                                       {L"sess", CString(proto->LoginInfo.SessionId).Left(32)}});
    TraceLog(1, L"\t[ OnBnClickedBtnExtServer ]\nURL : %s\nPARAM : %s", (LPCWSTR)m_strLastUrl, (LPCWSTR)m_strLastBody);
    frame->NavigateWebView(m_strLastUrl, m_strLastBody);
}

void CMainBarDlg::PaintBackground(CDC* pDC, const CRect& rect)
{
    HDC dc = pDC->m_hDC;
    CToviColorRef colors;
    CMainFrame* frame = DYNAMIC_DOWNCAST(CMainFrame, GetParent());
    COLORREF top = m_clrTop, bottom = m_clrBottom;
    if (frame && frame->m_pProto && frame->m_pProto->TitlebarColor[0] == '#') {
        CString hex(frame->m_pProto->TitlebarColor);
        COLORREF server = static_cast<COLORREF>(CToviConv::ConvertHextoRGB(hex.GetBuffer()));
        hex.ReleaseBuffer();
        top = server;
        bottom = RGB(GetRValue(server) * 3 / 4, GetGValue(server) * 3 / 4, GetBValue(server) * 3 / 4);
    }
    CRect upper = rect, lower = rect;
    upper.bottom = rect.top + rect.Height() / 2;
    lower.top = upper.bottom;
    FillVerticalGradient(dc, upper, top, bottom);
    FillVerticalGradient(dc, lower, bottom, top);
    HPEN pen = ::CreatePen(PS_SOLID, 1, RGB(0xFF, 0xFF, 0xFF));
    HGDIOBJ oldPen = ::SelectObject(dc, pen);
    ::MoveToEx(dc, rect.left, rect.top, nullptr);
    ::LineTo(dc, rect.right, rect.top);
    ::SelectObject(dc, oldPen);
    ::DeleteObject(pen);

    int x = rect.left + 10;
    if (m_hMainIcon) {
        ::DrawIconEx(dc, x, rect.top + 8, m_hMainIcon, 20, 20, 0, nullptr, DI_NORMAL);
        x += 26;
    }
    const CString title = MainTitle(L"CORVANE IXO");
    HFONT font = reinterpret_cast<HFONT>(m_font.m_hObject);
    HGDIOBJ oldFont = font ? ::SelectObject(dc, font) : nullptr;
    ::SetBkMode(dc, TRANSPARENT);
    RECT text = {x + 1, rect.top + 9, rect.right - 200, rect.top + 29};
    ::SetTextColor(dc, RGB(0x10, 0x20, 0x40));
    ::DrawTextW(dc, title, title.GetLength(), &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    ::OffsetRect(&text, -1, -1);
    ::SetTextColor(dc, RGB(0xFF, 0xFF, 0xFF));
    ::DrawTextW(dc, title, title.GetLength(), &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (oldFont)
        ::SelectObject(dc, oldFont);

    if (m_bExtLinkInUse)
        return;
    Gdiplus::Graphics graphics(dc);
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    if (m_pLogo) {
        const int maxHeight = rect.Height() - 6;
        const UINT w = m_pLogo->GetWidth(), h = m_pLogo->GetHeight();
        if (w > 0 && h > 0) {
            int drawH = static_cast<int>(h) > maxHeight ? maxHeight : static_cast<int>(h);
            int drawW = static_cast<int>(w * drawH / h);
            graphics.DrawImage(m_pLogo, rect.right - 10 - drawW, rect.top + (rect.Height() - drawH + 25) / 2, drawW,
                               drawH);
        }
        return;
    }
    DrawProductText(dc, graphics, CRect(rect.right - 130, rect.top + 30, rect.right - 10, rect.top + 54));
}

void CMainBarDlg::DrawProductText(HDC dc, Gdiplus::Graphics& graphics, const CRect& box)
{
    static const wchar_t kText[] = L"CorVANE IXO";
    // GDI+ finds installed families only, never the font mapper's substitutes: a system without
    // Tahoma has the text drawn in the face GDI maps Tahoma to.
    HFONT mapped = ::CreateFontW(-14, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Tahoma");
    HGDIOBJ old = ::SelectObject(dc, mapped);
    wchar_t face[LF_FACESIZE] = {};
    ::GetTextFaceW(dc, LF_FACESIZE, face);
    Gdiplus::FontFamily family(face[0] ? face : L"Tahoma");
    if (family.GetLastStatus() == Gdiplus::Ok) {
        ::SelectObject(dc, old);
        graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
        Gdiplus::Font logoFont(&family, 14, Gdiplus::FontStyleBold, Gdiplus::UnitPixel);
        Gdiplus::SolidBrush brush(Gdiplus::Color(0xFF93C5FF));
        Gdiplus::RectF area(static_cast<Gdiplus::REAL>(box.left), static_cast<Gdiplus::REAL>(box.top),
                            static_cast<Gdiplus::REAL>(box.Width()), static_cast<Gdiplus::REAL>(box.Height()));
        Gdiplus::StringFormat format;
        format.SetAlignment(Gdiplus::StringAlignmentFar);
        graphics.DrawString(kText, -1, &logoFont, area, &format, &brush);
    } else {
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, RGB(0x93, 0xC5, 0xFF));
        RECT area = box;
        ::DrawTextW(dc, kText, -1, &area, DT_RIGHT | DT_SINGLELINE | DT_NOPREFIX);
        ::SelectObject(dc, old);
    }
    ::DeleteObject(mapped);
}
