// CMenuBarDlg: the command bar.
#include "MenuBarDlg.h"
#include <algorithm>
#include "BarIconsRes.h"
#include "CmdUI.h"
#include "Dc.h"
#include "FileUtils.h"
#include "MainFrame.h"
#include "MenuBarRes.h"
#include "MenuBarRules.h"
#include "PaneCommands.h"
#include "SplitterWnd.h"
#include "ToviMessages.h"
#include "ToviProto.h"
#include "ToviRegistry.h"
#include "ToviString.h"
#include "TraceLog.h"
#include "WindowPosBatch.h"
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

IMPLEMENT_DYNAMIC(CMenuBarDlg, CShellBar)

BEGIN_MESSAGE_MAP(CMenuBarDlg, CShellBar)
    ON_WM_SIZE()
    ON_MESSAGE(WM_DO_SEARCH, OnDoSearch)
    ON_BN_CLICKED(IDC_MENU_NEW_FOLDER, OnBnClickedNewFolder)
    ON_BN_CLICKED(IDC_MENU_UPLOAD, OnBnClickedUpload)
    ON_BN_CLICKED(IDC_MENU_DOWNLOAD, OnBnClickedDownload)
    ON_BN_CLICKED(IDC_MENU_SHARE, OnBnClickedShare)
    ON_BN_CLICKED(IDC_MENU_DELETE, OnBnClickedDelete)
    ON_BN_CLICKED(IDC_MENU_COPY, OnBnClickedCopy)
    ON_BN_CLICKED(IDC_MENU_CUT, OnBnClickedCut)
    ON_BN_CLICKED(IDC_MENU_PASTE, OnBnClickedPaste)
    ON_BN_CLICKED(IDC_MENU_LINK, OnBnClickedLink)
    ON_BN_CLICKED(IDC_MENU_DIRECT_EDIT, OnBnClickedBtnDirectEdit)
    ON_BN_CLICKED(IDC_MENU_APPROVAL, OnBnClickedApproval)
    ON_BN_CLICKED(IDC_MENU_BATCH_APPROVAL, OnBnClickedBatchApproval)
    ON_BN_CLICKED(IDC_MENU_LIST_VIEW, OnBnClickedListView)
    ON_BN_CLICKED(IDC_MENU_THUMBNAIL_VIEW, OnBnClickedThumbnailView)
    ON_UPDATE_COMMAND_UI(IDC_MENU_NEW_FOLDER, OnUpdateNewFolder)
    ON_UPDATE_COMMAND_UI(IDC_MENU_UPLOAD, OnUpdateUpload)
    ON_UPDATE_COMMAND_UI(IDC_MENU_DOWNLOAD, OnUpdateDownload)
    ON_UPDATE_COMMAND_UI(IDC_MENU_SHARE, OnUpdateShare)
    ON_UPDATE_COMMAND_UI(IDC_MENU_DELETE, OnUpdateDelete)
    ON_UPDATE_COMMAND_UI(IDC_MENU_COPY, OnUpdateCopy)
    ON_UPDATE_COMMAND_UI(IDC_MENU_CUT, OnUpdateCut)
    ON_UPDATE_COMMAND_UI(IDC_MENU_PASTE, OnUpdatePaste)
    ON_UPDATE_COMMAND_UI(IDC_MENU_LINK, OnUpdateLink)
    ON_UPDATE_COMMAND_UI(IDC_MENU_DIRECT_EDIT, OnUpdateDirectEdit)
    ON_UPDATE_COMMAND_UI(IDC_MENU_APPROVAL, OnUpdateApproval)
    ON_UPDATE_COMMAND_UI(IDC_MENU_BATCH_APPROVAL, OnUpdateBatchApproval)
    ON_UPDATE_COMMAND_UI(IDC_MENU_LIST_VIEW, OnUpdateViewButtons)
    ON_UPDATE_COMMAND_UI(IDC_MENU_THUMBNAIL_VIEW, OnUpdateViewButtons)
END_MESSAGE_MAP()

namespace {

const int kSearchWidth = 160;
// The narrowest the search box becomes in a narrow bar.
const int kMinSearchWidth = 100;
const int kSearchHeight = 25;
const int kButtonHeight = 38;

// The eleven buttons that EnableMenuButtons sets, with their flags.
const struct {
    UINT id;
    CMenuBarDlg::Flag flag;
} kCommandButtons[] = {
    {IDC_MENU_NEW_FOLDER, CMenuBarDlg::kNewFolder}, {IDC_MENU_UPLOAD, CMenuBarDlg::kUpload},
    {IDC_MENU_DOWNLOAD, CMenuBarDlg::kDownload},    {IDC_MENU_SHARE, CMenuBarDlg::kShare},
    {IDC_MENU_DELETE, CMenuBarDlg::kDelete},        {IDC_MENU_COPY, CMenuBarDlg::kCopy},
    {IDC_MENU_CUT, CMenuBarDlg::kCut},              {IDC_MENU_PASTE, CMenuBarDlg::kPaste},
    {IDC_MENU_LINK, CMenuBarDlg::kLink},            {IDC_MENU_DIRECT_EDIT, CMenuBarDlg::kDirectEdit},
    {IDC_MENU_APPROVAL, CMenuBarDlg::kApproval},
};

const auto kNone = [](auto*) {};

HTREEITEM CaretItem(HWND tree)
{
    return tree ? reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0)) : nullptr;
}

int FirstSelectedRow(HWND list)
{
    return list ? static_cast<int>(::SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)) : -1;
}

const _PROTO_FOLDER_INFO* TreeRecord(HWND tree, HTREEITEM item)
{
    if (tree == nullptr || item == nullptr)
        return nullptr;
    TVITEMW tv = {};
    tv.mask = TVIF_PARAM | TVIF_HANDLE;
    tv.hItem = item;
    if (!::SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv)))
        return nullptr;
    return reinterpret_cast<const _PROTO_FOLDER_INFO*>(tv.lParam);
}

const _PROTO_FOLDER_INFO* ListRecord(HWND list, int row)
{
    if (list == nullptr || row < 0)
        return nullptr;
    LVITEMW lv = {};
    lv.mask = LVIF_PARAM;
    lv.iItem = row;
    if (!::SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&lv)))
        return nullptr;
    return reinterpret_cast<const _PROTO_FOLDER_INFO*>(lv.lParam);
}

// The text of a record's fixed-width 8-bit member, without reading past it.
CString FieldText(const char* field, size_t width)
{
    return CString(std::string(field, strnlen(field, width)).c_str());
}

int FieldNumber(const char* field, size_t width)
{
    return std::atoi(std::string(field, strnlen(field, width)).c_str());
}

BOOL CALLBACK SetFontOnChild(HWND child, LPARAM font)
{
    ::SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
    return TRUE;
}

void FillRows(HDC dc, int left, int right, int top, int bottom, COLORREF colour)
{
    if (bottom <= top)
        return;
    RECT rows = {left, top, right, bottom};
    HBRUSH brush = ::CreateSolidBrush(colour);
    ::FillRect(dc, &rows, brush);
    ::DeleteObject(brush);
}

}

CMenuBarDlg::CMenuBarDlg() : CShellBar(41, RGB(248, 248, 248), RGB(238, 238, 238)) {}

CMenuBarDlg::~CMenuBarDlg() = default;

BOOL CMenuBarDlg::Create(CWnd* pParentWnd, UINT nIDTemplate, UINT nStyle, UINT nID)
{
    if (!CShellBar::Create(pParentWnd, nIDTemplate, nStyle, nID))
        return FALSE;
    const struct {
        CToviButton* button;
        UINT id;
        UINT icon;
    } commands[] = {
        {&m_btnNewFolder, IDC_MENU_NEW_FOLDER, IDI_CMD_NEW_FOLDER}, {&m_btnApproval, IDC_MENU_APPROVAL, IDI_CMD_APPROVAL},
        {&m_btnUpload, IDC_MENU_UPLOAD, IDI_CMD_UPLOAD},             {&m_btnDownload, IDC_MENU_DOWNLOAD, IDI_CMD_DOWNLOAD},
        {&m_btnShare, IDC_MENU_SHARE, IDI_CMD_SHARE},                {&m_btnDelete, IDC_MENU_DELETE, IDI_CMD_DELETE},
        {&m_btnCopy, IDC_MENU_COPY, IDI_CMD_COPY},                   {&m_btnCut, IDC_MENU_CUT, IDI_CMD_CUT},
        {&m_btnPaste, IDC_MENU_PASTE, IDI_CMD_PASTE},                {&m_btnLink, IDC_MENU_LINK, IDI_CMD_LINK},
        {&m_btnDirectEdit, IDC_MENU_DIRECT_EDIT, IDI_CMD_APPROVAL},
        {&m_btnBatchApproval, IDC_MENU_BATCH_APPROVAL, IDI_CMD_COPY},
    };
    for (const auto& c : commands) {
        if (!c.button->SubclassDlgItem(c.id, this))
            return FALSE;
        c.button->SetBtnStyle(10);
        c.button->SetIcon(c.icon);
    }
    if (!m_btnListView.SubclassDlgItem(IDC_MENU_LIST_VIEW, this) ||
        !m_btnThumbnailView.SubclassDlgItem(IDC_MENU_THUMBNAIL_VIEW, this) ||
        !m_editSearch.SubclassDlgItem(IDC_MENU_SEARCH, this))
        return FALSE;
    m_btnListView.SetBtnStyle(CToviButton::kStyleListToggle);
    m_btnListView.SetSkin(IDB_VIEW_LIST, IDB_VIEW_LIST_ON, IDB_VIEW_LIST, IDB_VIEW_LIST, IDB_VIEW_LIST,
                          IDB_VIEW_LIST_MASK, 0);
    m_btnThumbnailView.SetBtnStyle(CToviButton::kStyleListToggle);
    m_btnThumbnailView.SetSkin(IDB_VIEW_THUMBNAIL, IDB_VIEW_THUMBNAIL_ON, IDB_VIEW_THUMBNAIL, IDB_VIEW_THUMBNAIL,
                               IDB_VIEW_THUMBNAIL, IDB_VIEW_THUMBNAIL_MASK, 0);
    LayoutButtons();
    return TRUE;
}

// ---- where the bar finds the panes ----

CSplitterWnd* CMenuBarDlg::Splitter()
{
    if (m_pSite)
        return m_pSite->GetSplitter();
    CMainFrame* frame = DYNAMIC_DOWNCAST(CMainFrame, GetParentFrame());
    return frame && frame->m_wndSplitter.GetSafeHwnd() ? &frame->m_wndSplitter : nullptr;
}

const _OPTION_INFO* CMenuBarDlg::Options()
{
    if (m_pSite)
        return m_pSite->GetOptions();
    CMainFrame* frame = DYNAMIC_DOWNCAST(CMainFrame, GetParentFrame());
    return frame && frame->m_pProto ? &frame->m_pProto->OptionInfo : nullptr;
}

bool CMenuBarDlg::ActivePane(int* row, int* col)
{
    *row = *col = -1;
    CSplitterWnd* splitter = Splitter();
    return splitter && splitter->GetActivePane(row, col) != nullptr && *row >= 0 && *col >= 0;
}

template <class T>
T* CMenuBarDlg::PaneAs(int row, int col)
{
    CSplitterWnd* splitter = Splitter();
    return splitter ? dynamic_cast<T*>(splitter->GetPane(row, col)) : nullptr;
}

CToviButton* CMenuBarDlg::ButtonOf(UINT id)
{
    CToviButton* buttons[] = {&m_btnNewFolder, &m_btnUpload, &m_btnDownload, &m_btnShare, &m_btnDelete,
                              &m_btnCopy, &m_btnCut, &m_btnPaste, &m_btnLink, &m_btnDirectEdit,
                              &m_btnApproval, &m_btnBatchApproval};
    for (CToviButton* b : buttons) {
        if (b->GetSafeHwnd() && static_cast<UINT>(b->GetDlgCtrlID()) == id)
            return b;
    }
    return nullptr;
}

// ---- layout ----

void CMenuBarDlg::ApplyFont()
{
    HFONT base = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    LOGFONTW lf = {};
    if (base == nullptr || !::GetObjectW(base, sizeof lf, &lf))
        ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    const CString face = CFileUtils::GetFont(0);
    if (!face.IsEmpty())
        wcsncpy_s(lf.lfFaceName, face, _TRUNCATE);
    lf.lfQuality = CLEARTYPE_QUALITY;
    // The children take the new font before the old one goes.
    HFONT font = ::CreateFontIndirectW(&lf);
    if (font == nullptr)
        return;
    ::EnumChildWindows(m_hWnd, SetFontOnChild, reinterpret_cast<LPARAM>(font));
    m_font.DeleteObject();
    m_font.Attach(font);
}

void CMenuBarDlg::SetCaptions(const _OPTION_INFO* options)
{
    const struct {
        CToviButton* button;
        int text;
    } captions[] = {
        {&m_btnNewFolder, 14004}, {&m_btnUpload, 14046}, {&m_btnDownload, 14047}, {&m_btnShare, 14048},
        {&m_btnDelete, 14159},    {&m_btnCopy, 14050},   {&m_btnCut, 14051},      {&m_btnPaste, 14052},
        {&m_btnLink, 14053},      {&m_btnDirectEdit, 14252},
    };
    for (const auto& c : captions)
        c.button->SetWindowText(CToviString::GetString(c.text));
    m_btnBatchApproval.SetWindowText(L"일괄결재요청");
    // Without a stored language the program speaks Korean.
    unsigned short language = LANG_KOREAN;
    CToviRegistry::GetLanguage(0, &language);
    // A server that sends no caption still gets a labelled button, as in the list's menu.
    CString approval = options ? menubar::ApprovalCaption(*options, language) : CString();
    m_btnApproval.SetWindowText(approval.IsEmpty() ? CString(CToviString::GetString(14213)) : approval);
}

void CMenuBarDlg::LayoutButtons()
{
    if (m_hWnd == nullptr || m_editSearch.GetSafeHwnd() == nullptr)
        return;
    ApplyFont();
    const _OPTION_INFO* options = Options();
    SetCaptions(options);
    const bool approval = menubar::ApprovalShown(options);
    int x = 0;
    for (UINT id : menubar::ButtonRow(approval)) {
        CToviButton* button = ButtonOf(id);
        const int width = button->GetButtonWidth(24);
        button->SetWindowPos(nullptr, x, 0, width, kButtonHeight, SWP_NOZORDER | SWP_NOACTIVATE);
        x += width - 1;
    }
    m_nButtonsWidth = x + 1;
    // The options are known only after a log-in: the two optional buttons follow them here.
    m_btnApproval.ShowWindow(approval ? SW_SHOW : SW_HIDE);
    m_btnDirectEdit.ShowWindow(menubar::DirectEditShown(options) ? SW_SHOW : SW_HIDE);
    m_nButtonsWidth = OccupiedWidth();

    m_editSearch.SetWidnowArea(kSearchWidth, kSearchHeight);
    m_editSearch.ShowWindow(SW_HIDE);
    CRect client;
    GetClientRect(&client);
    if (client.Width() > 0)
        PlaceRightControls();
    Invalidate();
}

int CMenuBarDlg::OccupiedWidth()
{
    // Hidden buttons at the row's end hold no place: at the smallest window the view buttons
    // and the search box still fit beside the buttons shown. A hidden button between shown
    // ones keeps its place.
    int right = 0;
    for (UINT id : menubar::ButtonRow(menubar::ApprovalShown(Options()))) {
        HWND button = ::GetDlgItem(m_hWnd, static_cast<int>(id));
        if (!button || !(::GetWindowLongW(button, GWL_STYLE) & WS_VISIBLE))
            continue;
        RECT rect = {};
        ::GetWindowRect(button, &rect);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
        right = rect.right > right ? rect.right : right;
    }
    return right;
}

void CMenuBarDlg::OnSize(UINT nType, int cx, int cy)
{
    CShellBar::OnSize(nType, cx, cy);
    if (m_editSearch.GetSafeHwnd())
        PlaceRightControls();
}

void CMenuBarDlg::PlaceRightControls()
{
    CRect client, list, thumbnail, search;
    GetClientRect(&client);
    m_btnListView.GetWindowRect(&list);
    m_btnThumbnailView.GetWindowRect(&thumbnail);
    m_editSearch.GetWindowRect(&search);
    const int viewWidth = list.Width();
    const int x1 = menubar::ViewButtonsLeft(client.right, kSearchWidth, viewWidth, m_nButtonsWidth);
    const int x2 = x1 + viewWidth - 1;
    const int x3 = x2 + viewWidth + 10;
    // A bar too narrow for the whole search box narrows the box rather than cutting it.
    const int searchWidth = std::max(kMinSearchWidth, std::min(kSearchWidth, static_cast<int>(client.right) - x3));
    if (searchWidth != search.Width()) {
        m_editSearch.SetWidnowArea(searchWidth, kSearchHeight);
        search.right = search.left + searchWidth;
    }
    const UINT flags = SWP_NOZORDER | SWP_SHOWWINDOW;
    CWindowPosBatch batch(3);
    batch.Move(m_btnListView.m_hWnd, nullptr, x1, (client.Height() - list.Height()) / 2, list.Width(), list.Height(),
               flags);
    batch.Move(m_btnThumbnailView.m_hWnd, nullptr, x2, (client.Height() - thumbnail.Height()) / 2, thumbnail.Width(),
               thumbnail.Height(), flags);
    batch.Move(m_editSearch.m_hWnd, nullptr, x3, (client.Height() - search.Height()) / 2, search.Width(),
               search.Height(), flags);
    batch.End();
    Invalidate();
}

// ---- background and the permission box ----

void CMenuBarDlg::PaintBackground(CDC* pDC, const CRect& rect)
{
    HDC dc = pDC->m_hDC;
    const int h = rect.Height();
    FillRows(dc, rect.left, rect.right, 0, 1, RGB(0xD2, 0xD2, 0xD2));
    FillRows(dc, rect.left, rect.right, 1, 2, RGB(0xFD, 0xFD, 0xFD));
    const int gradientEnd = m_bBottomLine ? h - 4 : h - 1;
    if (gradientEnd > 2)
        FillVerticalGradient(dc, CRect(rect.left, 2, rect.right, gradientEnd), m_clrTop, m_clrBottom);
    FillRows(dc, rect.left, rect.right, gradientEnd, gradientEnd + 1, RGB(0xD2, 0xD2, 0xD2));
    if (m_bBottomLine)
        FillRows(dc, rect.left, rect.right, gradientEnd + 1, h, RGB(0xFF, 0xFF, 0xFF));
    PaintPermissionBox(dc, rect);
}

void CMenuBarDlg::PaintPermissionBox(HDC dc, const CRect& client)
{
    if (m_nButtonsWidth <= 0 || m_hPermIcon[0] == nullptr)
        return;
    CRect list, search;
    m_btnListView.GetWindowRect(&list);
    m_editSearch.GetWindowRect(&search);
    m_rcPermBox = menubar::PermissionBox(client.right, client.Height(), search.Width(), list.Width(), m_nButtonsWidth);
    HPEN pen = ::CreatePen(PS_SOLID, 1, RGB(0xD2, 0xD2, 0xD2));
    HGDIOBJ oldPen = ::SelectObject(dc, pen);
    HGDIOBJ oldBrush = ::SelectObject(dc, ::GetStockObject(NULL_BRUSH));
    ::RoundRect(dc, m_rcPermBox.left, m_rcPermBox.top, m_rcPermBox.right, m_rcPermBox.bottom, 6, 6);
    ::SelectObject(dc, oldBrush);
    ::SelectObject(dc, oldPen);
    ::DeleteObject(pen);
    int x = m_rcPermBox.left + 4;
    for (HICON icon : m_hPermIcon) {
        if (icon == nullptr)
            continue;
        ::DrawIconEx(dc, x, m_rcPermBox.top + 1, icon, 16, 16, 0, nullptr, DI_NORMAL);
        x += 18;
    }
}

void CMenuBarDlg::LoadPermIcons(const char* state)
{
    const menubar::PermissionIcons icons = menubar::PermissionIconsFor(state);
    for (int i = 0; i < 4; ++i)
        m_hPermIcon[i] = icons.ids[i] ? CFileUtils::ToviLoadImage(icons.ids[i], 16, 16) : nullptr;
    if (m_hWnd && !m_rcPermBox.IsRectEmpty())
        InvalidateRect(&m_rcPermBox, TRUE);
    else if (m_hWnd)
        Invalidate();
}

// ---- the state the panes push ----

void CMenuBarDlg::SetMenuButtonState(const char* state, const BOOL* flags, int count)
{
    if (state && state[0])
        LoadPermIcons(state);
    for (int i = 0; i < kFlagCount; ++i)
        m_bFlag[i] = (flags && i < count) ? flags[i] : FALSE;
    if (m_hWnd == nullptr)
        return;
    m_btnBatchApproval.EnableWindow(m_bFlag[kBatchApproval]);
    m_btnBatchApproval.ShowWindow(m_bFlag[kBatchApproval] ? SW_SHOW : SW_HIDE);
    const _OPTION_INFO* options = Options();
    if (!menubar::DirectEditShown(options))
        m_btnDirectEdit.ShowWindow(SW_HIDE);
    if (!menubar::ApprovalShown(options))
        m_btnApproval.ShowWindow(SW_HIDE);
    const int occupied = OccupiedWidth();
    if (m_nButtonsWidth > 0 && occupied != m_nButtonsWidth && m_editSearch.GetSafeHwnd()) {
        m_nButtonsWidth = occupied;
        PlaceRightControls();
    }
    UpdateWindow();
}

void CMenuBarDlg::SetMenuButtonState(const ServerMenuState& s)
{
    const BOOL flags[kFlagCount] = {s.newFolder, s.upload, s.download,          s.share,      s.remove,   s.copy,
                                    s.cut,       s.paste,  s.link, s.approvalAfterGoTo, s.directEdit, s.approval};
    // The state text is four digits; anything else is no state.
    char state[5] = {};
    for (int i = 0; i < 4 && i < s.vrwd.GetLength(); ++i)
        state[i] = s.vrwd[i] < 0x80 ? static_cast<char>(s.vrwd[i]) : '?';
    SetMenuButtonState(state, flags, kFlagCount);
}

void CMenuBarDlg::EnableMenuButtons()
{
    for (const auto& b : kCommandButtons) {
        if (CToviButton* button = ButtonOf(b.id))
            button->EnableWindow(m_bFlag[b.flag]);
    }
}

void CMenuBarDlg::SetViewButtonsEnabled(bool enabled)
{
    m_bViewFlag = enabled ? TRUE : FALSE;
    if (m_btnListView.GetSafeHwnd()) {
        m_btnListView.EnableWindow(m_bViewFlag);
        m_btnThumbnailView.EnableWindow(m_bViewFlag);
    }
}

void CMenuBarDlg::EnableSearchBox(bool enabled)
{
    if (m_editSearch.GetSafeHwnd())
        m_editSearch.EnableWindow(enabled ? TRUE : FALSE);
}

// ---- command-UI updates ----

void CMenuBarDlg::OnUpdateNewFolder(CCmdUI* pCmdUI) { pCmdUI->Enable(m_bFlag[kNewFolder]); }
void CMenuBarDlg::OnUpdateUpload(CCmdUI* pCmdUI) { pCmdUI->Enable(m_bFlag[kUpload]); }
void CMenuBarDlg::OnUpdateDownload(CCmdUI* pCmdUI) { pCmdUI->Enable(m_bFlag[kDownload]); }
void CMenuBarDlg::OnUpdateShare(CCmdUI* pCmdUI) { pCmdUI->Enable(m_bFlag[kShare]); }
void CMenuBarDlg::OnUpdateDelete(CCmdUI* pCmdUI) { pCmdUI->Enable(m_bFlag[kDelete]); }
void CMenuBarDlg::OnUpdateCopy(CCmdUI* pCmdUI) { pCmdUI->Enable(m_bFlag[kCopy]); }
void CMenuBarDlg::OnUpdateCut(CCmdUI* pCmdUI) { pCmdUI->Enable(m_bFlag[kCut]); }
void CMenuBarDlg::OnUpdatePaste(CCmdUI* pCmdUI) { pCmdUI->Enable(m_bFlag[kPaste]); }
void CMenuBarDlg::OnUpdateLink(CCmdUI* pCmdUI) { pCmdUI->Enable(m_bFlag[kLink]); }
void CMenuBarDlg::OnUpdateDirectEdit(CCmdUI* pCmdUI) { pCmdUI->Enable(m_bFlag[kDirectEdit]); }
void CMenuBarDlg::OnUpdateApproval(CCmdUI* pCmdUI) { pCmdUI->Enable(m_bFlag[kApproval]); }
void CMenuBarDlg::OnUpdateBatchApproval(CCmdUI* pCmdUI) { pCmdUI->Enable(m_bFlag[kBatchApproval]); }
void CMenuBarDlg::OnUpdateViewButtons(CCmdUI* pCmdUI) { pCmdUI->Enable(m_bViewFlag); }

// ---- commands ----

template <class ServerTree, class ServerList, class LocalTree, class LocalList>
void CMenuBarDlg::Forward(ServerTree serverTree, ServerList serverList, LocalTree localTree, LocalList localList)
{
    int row, col;
    if (!ActivePane(&row, &col))
        return;
    if (row == 0 && col == 0) {
        if (auto* pane = PaneAs<IServerTreeCommands>(0, 0))
            serverTree(pane);
    } else if (row == 0 && col == 1) {
        if (auto* pane = PaneAs<IServerListCommands>(0, 1))
            serverList(pane);
    } else if (row == 1 && col == 0) {
        if (auto* pane = PaneAs<ILocalTreeCommands>(1, 0))
            localTree(pane);
    } else if (row == 1 && col == 1) {
        if (auto* pane = PaneAs<ILocalListCommands>(1, 1))
            localList(pane);
    }
}

void CMenuBarDlg::OnBnClickedNewFolder()
{
    // From the local side a new folder is always made in the local list's folder.
    auto local = [this](auto*) {
        if (CSplitterWnd* splitter = Splitter())
            splitter->SetActivePane(1, 1);
        if (auto* list = PaneAs<ILocalListCommands>(1, 1))
            list->OnNewFolder();
    };
    Forward([](IServerTreeCommands* p) { p->OnNewFolder(CaretItem(p->GetTreeWindow())); },
            [](IServerListCommands* p) { p->OnNewFolder(); }, local, local);
}

void CMenuBarDlg::OnBnClickedUpload()
{
    Forward(kNone, kNone, [](ILocalTreeCommands* p) { p->OnUpload(CaretItem(p->GetTreeWindow())); },
            [](ILocalListCommands* p) { p->OnUpload(); });
}

void CMenuBarDlg::OnBnClickedDownload()
{
    Forward([](IServerTreeCommands* p) { p->OnDownload(CaretItem(p->GetTreeWindow())); },
            [](IServerListCommands* p) { p->OnDownload(); }, kNone, kNone);
}

void CMenuBarDlg::OnBnClickedShare()
{
    Forward([](IServerTreeCommands* p) { p->OnShare(CaretItem(p->GetTreeWindow())); },
            [](IServerListCommands* p) { p->OnShare(FirstSelectedRow(p->GetListWindow())); }, kNone, kNone);
}

void CMenuBarDlg::OnBnClickedDelete()
{
    // The local panes delete without undo when the local tree's folder is marked.
    auto localMode = [this]() {
        ILocalTreeCommands* tree = PaneAs<ILocalTreeCommands>(1, 0);
        return tree && tree->IsItemMarked(CaretItem(tree->GetTreeWindow())) ? 0 : 1;
    };
    Forward(
        [](IServerTreeCommands* p) {
            const HTREEITEM item = CaretItem(p->GetTreeWindow());
            menubar::DeleteCommand command;
            if (const _PROTO_FOLDER_INFO* record = TreeRecord(p->GetTreeWindow(), item))
                command = menubar::DeleteCommandFor(*record);
            if (command.recycleBin)
                p->OnRecyclebinDelete(item);
            else
                p->OnDelete(item, command.mode);
        },
        [](IServerListCommands* p) {
            const _PROTO_FOLDER_INFO* record = ListRecord(p->GetListWindow(), FirstSelectedRow(p->GetListWindow()));
            if (record == nullptr)
                return;
            const menubar::DeleteCommand command = menubar::DeleteCommandFor(*record);
            if (command.recycleBin)
                p->OnRecyclebinDelete();
            else
                p->OnDelete(command.mode);
        },
        [&](ILocalTreeCommands* p) { p->OnDelete(CaretItem(p->GetTreeWindow()), localMode()); },
        [&](ILocalListCommands* p) { p->OnDelete(localMode()); });
}

void CMenuBarDlg::OnBnClickedCopy()
{
    Forward([](IServerTreeCommands* p) { p->OnCopy(CaretItem(p->GetTreeWindow())); },
            [](IServerListCommands* p) { p->OnCopy(); },
            [](ILocalTreeCommands* p) { p->OnCopy(CaretItem(p->GetTreeWindow())); },
            [](ILocalListCommands* p) { p->OnCopy(); });
}

void CMenuBarDlg::OnBnClickedCut()
{
    Forward([](IServerTreeCommands* p) { p->OnCut(CaretItem(p->GetTreeWindow())); },
            [](IServerListCommands* p) { p->OnCut(); },
            [](ILocalTreeCommands* p) { p->OnCut(CaretItem(p->GetTreeWindow())); },
            [](ILocalListCommands* p) { p->OnCut(); });
}

void CMenuBarDlg::OnBnClickedPaste()
{
    Forward([](IServerTreeCommands* p) { p->OnPaste(CaretItem(p->GetTreeWindow())); },
            [](IServerListCommands* p) { p->OnPaste(); },
            [](ILocalTreeCommands* p) { p->OnPaste(CaretItem(p->GetTreeWindow())); },
            [](ILocalListCommands* p) { p->OnPaste(); });
}

void CMenuBarDlg::OnBnClickedLink()
{
    Forward(kNone, [](IServerListCommands* p) { p->OnLink(FirstSelectedRow(p->GetListWindow())); }, kNone, kNone);
}

void CMenuBarDlg::OnBnClickedBtnDirectEdit()
{
    TraceLog(1, L"[  CMenuBarDlg::OnBnClickedBtnDirectEdit() START! ]\n");
    int row, col;
    if (ActivePane(&row, &col)) {
        // A second click while the add-on starts would start it twice.
        m_btnDirectEdit.EnableWindow(FALSE);
        if (row == 0 && col == 1) {
            if (auto* list = PaneAs<IServerListCommands>(0, 1))
                list->OnDirectEdit(FirstSelectedRow(list->GetListWindow()));
        }
        m_btnDirectEdit.EnableWindow(TRUE);
    }
    TraceLog(1, L"[  CMenuBarDlg::OnBnClickedBtnDirectEdit() END! ]\n");
}

void CMenuBarDlg::OnBnClickedApproval()
{
    if (auto* list = PaneAs<IServerListCommands>(0, 1))
        list->OnApproval();
}

void CMenuBarDlg::OnBnClickedBatchApproval()
{
    IServerTreeCommands* tree = PaneAs<IServerTreeCommands>(0, 0);
    IServerListCommands* list = PaneAs<IServerListCommands>(0, 1);
    if (tree == nullptr || list == nullptr)
        return;
    const HWND treeWindow = tree->GetTreeWindow();
    const _PROTO_FOLDER_INFO* folder = nullptr;
    HTREEITEM root = treeWindow ? reinterpret_cast<HTREEITEM>(::SendMessageW(treeWindow, TVM_GETNEXTITEM, TVGN_ROOT, 0))
                                : nullptr;
    for (; root != nullptr && folder == nullptr;
         root = reinterpret_cast<HTREEITEM>(::SendMessageW(treeWindow, TVM_GETNEXTITEM, TVGN_NEXT,
                                                           reinterpret_cast<LPARAM>(root)))) {
        const _PROTO_FOLDER_INFO* record = TreeRecord(treeWindow, root);
        if (record && std::strcmp(record->Attr27, "A") == 0)
            folder = record;
    }
    if (folder == nullptr)
        return;
    // The approval folder is a top-level folder: its path from the top level is its name. The
    // tree pane owns the record and its strings once it has it.
    _SEARCH_GOTO_FOLDER* record = new _SEARCH_GOTO_FOLDER();
    record->IsFile = 0;
    record->Id1 = FieldNumber(folder->IDX, sizeof folder->IDX);
    record->Id2 = FieldNumber(folder->Attr178, sizeof folder->Attr178);
    record->ShortCode = static_cast<uint16_t>(FieldNumber(folder->DIDX, sizeof folder->DIDX));
    record->LocationPath = new CString(folder->Name);
    record->SecondPath = new CString(FieldText(folder->IDX, sizeof folder->IDX));
    CWnd* treeView = Splitter()->GetPane(0, 0);
    treeView->SendMessage(WM_SEARCH_GOTO_FOLDER, reinterpret_cast<WPARAM>(record), 0);

    list->WaitListThreadExit();
    Splitter()->SetActivePane(0, 1);
    int row, col;
    if (ActivePane(&row, &col) && row == 0) {
        const HWND listWindow = list->GetListWindow();
        const int count = listWindow ? static_cast<int>(::SendMessageW(listWindow, LVM_GETITEMCOUNT, 0, 0)) : 0;
        for (int i = 0; i < count; ++i) {
            if (::SendMessageW(listWindow, LVM_GETITEMSTATE, i, LVIS_SELECTED) & LVIS_SELECTED)
                continue;
            LVITEMW state = {};
            state.stateMask = LVIS_SELECTED;
            state.state = LVIS_SELECTED;
            ::SendMessageW(listWindow, LVM_SETITEMSTATE, i, reinterpret_cast<LPARAM>(&state));
        }
    }
    list->OnApproval();
}

void CMenuBarDlg::OnBnClickedListView()
{
    if (auto* list = PaneAs<IServerListCommands>(0, 1))
        list->SetThumbnailView(0, 1);
}

void CMenuBarDlg::OnBnClickedThumbnailView()
{
    if (auto* list = PaneAs<IServerListCommands>(0, 1))
        list->SetThumbnailView(1, 1);
}

LRESULT CMenuBarDlg::OnDoSearch(WPARAM, LPARAM)
{
    CString text;
    m_editSearch.GetWindowText(text);
    if (text.IsEmpty())
        return 1;
    IServerTreeCommands* tree = PaneAs<IServerTreeCommands>(0, 0);
    const HTREEITEM caret = tree ? CaretItem(tree->GetTreeWindow()) : nullptr;
    if (caret == nullptr)
        return 0;
    tree->OnSearch(caret, text, 0);
    return 1;
}
