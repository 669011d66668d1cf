// CUploadAlertDlg: two lines of advice before an upload.
#include "UploadAlertDlg.h"
#include "DialogKit.h"
#include "SkinRes.h"
#include "ToviString.h"
#include "TransferRes.h"

IMPLEMENT_DYNAMIC(CUploadAlertDlg, CVantelDialog)

BEGIN_MESSAGE_MAP(CUploadAlertDlg, CVantelDialog)
    ON_WM_ERASEBKGND()
    ON_BN_CLICKED(IDC_SYSBTN_CLOSE, OnCloseButton)
END_MESSAGE_MAP()

namespace {

const wchar_t kPreferredFace[] = L"맑은 고딕";

int CALLBACK CollectFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM param)
{
    if (wcsncmp(font->lfFaceName, kPreferredFace, 5) == 0)
        *reinterpret_cast<CString*>(param) = font->lfFaceName;
    return 1;
}

}

CUploadAlertDlg::CUploadAlertDlg(CWnd* pParent) : CVantelDialog(IDD_UPLOAD_ALERT, pParent)
{
    m_strLine1 = L"◎ zip 파일은 \"반디집\" 압축 프로그램을 사용하여 압축/압축해제 하시기 바랍니다.";
    m_strLine2 = L"◎ 폴더 자체를 업로드 하면 압축/압축해제 시간이 단축됩니다.";
}

CString CUploadAlertDlg::ChooseFace()
{
    CString face;
    HDC dc = ::GetDC(nullptr);
    LOGFONTW lf = {};
    lf.lfCharSet = DEFAULT_CHARSET;
    EnumFontFamiliesExW(dc, &lf, CollectFace, reinterpret_cast<LPARAM>(&face), 0);
    ::ReleaseDC(nullptr, dc);
    if (face.IsEmpty())
        face = L"돋움";
    return face;
}

HFONT CUploadAlertDlg::MakeFont(HDC dc) const
{
    LOGFONTW lf = {};
    lf.lfHeight = -MulDiv(m_nFontPoints, GetDeviceCaps(dc, LOGPIXELSY), 72);
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = CLEARTYPE_QUALITY;
    wcsncpy(lf.lfFaceName, m_strFace.GetString(), LF_FACESIZE - 1);
    return CreateFontIndirectW(&lf);
}

BOOL CUploadAlertDlg::OnInitDialog()
{
    CVantelDialog::OnInitDialog();
    if (m_strFace.IsEmpty())
        m_strFace = ChooseFace();
    SetWindowText(L"Corvane IXO Upload Alert");
    SetTitleBar(L"업로드 Tip");
    dialogkit::SkinButton(m_btnOk, this, IDOK, 13, CToviString::GetString(14061), 0);
    dialogkit::SkinButton(m_btnCancel, this, IDCANCEL, 14, CToviString::GetString(14064), 0);
    dialogkit::SkinButton(m_btnClose, this, IDC_SYSBTN_CLOSE, CToviButton::kStyleCaptionClose, CString(), 0);

    HDC dc = ::GetDC(m_hWnd);
    HFONT font = MakeFont(dc);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE one = {}, two = {};
    GetTextExtentPoint32W(dc, m_strLine1.GetString(), m_strLine1.GetLength(), &one);
    GetTextExtentPoint32W(dc, m_strLine2.GetString(), m_strLine2.GetLength(), &two);
    SelectObject(dc, old);
    DeleteObject(font);
    ::ReleaseDC(m_hWnd, dc);
    m_nLineHeight = one.cy > two.cy ? one.cy : two.cy;
    const int width = (one.cx > two.cx ? one.cx : two.cx) + 48;
    const int height = 5 * m_nLineHeight + 86;
    SetWindowPos(nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);

    CRect client, ok;
    GetClientRect(&client);
    m_btnOk.GetWindowRect(&ok);
    const int pair = 2 * ok.Width() + 10;
    const int left = (client.Width() - pair) / 2;
    const int top = client.bottom - 32 - ok.Height();
    m_btnOk.MoveWindow(left, top, ok.Width(), ok.Height());
    m_btnCancel.MoveWindow(left + ok.Width() + 10, top, ok.Width(), ok.Height());
    dialogkit::PlaceCloseButton(this, &m_btnClose);
    CenterWindow();
    return TRUE;
}

BOOL CUploadAlertDlg::OnEraseBkgnd(CDC* pDC)
{
    CRect rect;
    GetClientRect(&rect);
    DrawBkgnd(pDC, rect);
    HDC dc = pDC->GetSafeHdc();
    HFONT font = MakeFont(dc);
    HGDIOBJ old = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    TextOutW(dc, 20, m_nLineHeight + 30, m_strLine1.GetString(), m_strLine1.GetLength());
    TextOutW(dc, 20, 3 * m_nLineHeight + 30, m_strLine2.GetString(), m_strLine2.GetLength());
    SelectObject(dc, old);
    DeleteObject(font);
    return TRUE;
}

void CUploadAlertDlg::OnCloseButton()
{
    OnCancel();
}
