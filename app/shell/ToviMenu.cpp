// CToviMenu: the owner-drawn tray menu.
#include "ToviMenu.h"
#include "WinApp.h"
#include "Wnd.h"
#include <cwchar>

CToviMenu::CToviMenu()
{
    CreatePopupMenu();
}

CToviMenu::~CToviMenu()
{
    m_entries.clear();
    m_images.DeleteImageList();
    DestroyMenu();
}

void CToviMenu::Initialise()
{
    m_entries.clear();
    m_images.DeleteImageList();
    m_images.Create(16, 16, ILC_COLOR32 | ILC_MASK, 0, 3);
}

BOOL CToviMenu::AppendItem(UINT id, const wchar_t* text, HICON icon, UINT flags)
{
    const size_t length = text ? std::wcslen(text) : 0;
    std::unique_ptr<wchar_t[]> copy(new wchar_t[length + 1]);
    if (length)
        std::wmemcpy(copy.get(), text, length);
    copy[length] = 0;
    const wchar_t* item = copy.get();
    m_texts.push_back(std::move(copy));
    if (icon != nullptr && m_images.GetSafeHandle() != nullptr) {
        const int image = ImageList_AddIcon(m_images, icon);
        if (image >= 0)
            m_entries.push_back({id, image});
    }
    return ::AppendMenuW(m_hMenu, MF_OWNERDRAW | flags, id, reinterpret_cast<LPCWSTR>(item));
}

BOOL CToviMenu::AppendSeparator()
{
    return ::AppendMenuW(m_hMenu, MF_SEPARATOR | MF_OWNERDRAW, 0, nullptr);
}

int CToviMenu::ImageOf(UINT id) const
{
    for (const Entry& entry : m_entries) {
        if (entry.id == id)
            return entry.image;
    }
    return -1;
}

void CToviMenu::MeasureItem(LPMEASUREITEMSTRUCT measure)
{
    if (measure == nullptr || measure->CtlType != ODT_MENU)
        return;
    const wchar_t* text = ItemText(measure->itemData);
    if (text == nullptr) {
        measure->itemHeight = static_cast<UINT>(::GetSystemMetrics(SM_CYMENU) / 2);
        return;
    }
    if (*text == 0)
        return;
    CWnd* main = AfxGetMainWnd();
    HWND wnd = main ? main->m_hWnd : nullptr;
    HDC dc = ::GetDC(wnd);
    HFONT font = wnd ? reinterpret_cast<HFONT>(::SendMessageW(wnd, WM_GETFONT, 0, 0)) : nullptr;
    if (font == nullptr)
        font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    HGDIOBJ old = ::SelectObject(dc, font);
    SIZE size = {};
    ::GetTextExtentPoint32W(dc, text, static_cast<int>(std::wcslen(text)), &size);
    ::SelectObject(dc, old);
    ::ReleaseDC(wnd, dc);
    measure->itemWidth = static_cast<UINT>(size.cx + 30);
    measure->itemHeight = 20;
}

void CToviMenu::DrawItem(LPDRAWITEMSTRUCT draw)
{
    if (draw == nullptr || draw->CtlType != ODT_MENU)
        return;
    HDC dc = draw->hDC;
    const RECT item = draw->rcItem;
    const bool selected = (draw->itemState & ODS_SELECTED) != 0;
    const bool grayed = (draw->itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
    const bool hot = (draw->itemState & ODS_HOTLIGHT) != 0;
    const wchar_t* text = ItemText(draw->itemData);

    if (selected || (hot && !grayed)) {
        HPEN pen = ::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_HIGHLIGHT));
        HBRUSH brush = ::CreateSolidBrush(RGB(0xCC, 0xD4, 0xE1));
        HGDIOBJ oldPen = ::SelectObject(dc, pen), oldBrush = ::SelectObject(dc, brush);
        ::Rectangle(dc, item.left, item.top, item.right, item.bottom);
        ::SelectObject(dc, oldPen);
        ::SelectObject(dc, oldBrush);
        ::DeleteObject(pen);
        ::DeleteObject(brush);
    } else {
        RECT column = item, rest = item;
        column.right = item.left + 22;
        rest.left = column.right;
        HBRUSH columnBrush = ::CreateSolidBrush(RGB(0xEF, 0xEC, 0xDE));
        HBRUSH restBrush = ::CreateSolidBrush(RGB(0xF9, 0xF8, 0xF4));
        ::FillRect(dc, &column, columnBrush);
        ::FillRect(dc, &rest, restBrush);
        ::DeleteObject(columnBrush);
        ::DeleteObject(restBrush);
    }
    if (text == nullptr) {
        HPEN pen = ::CreatePen(PS_SOLID, 1, RGB(0xD0, 0xC9, 0xA1));
        HGDIOBJ old = ::SelectObject(dc, pen);
        const int y = (item.top + item.bottom) / 2;
        ::MoveToEx(dc, item.left + 30, y, nullptr);
        ::LineTo(dc, item.right - 1, y);
        ::SelectObject(dc, old);
        ::DeleteObject(pen);
        return;
    }
    COLORREF color = ::GetSysColor(COLOR_MENUTEXT);
    if (draw->itemState & ODS_INACTIVE)
        color = ::GetSysColor(COLOR_BTNSHADOW);
    else if (grayed)
        color = RGB(0xD0, 0xC9, 0xA1);
    ::SetTextColor(dc, color);
    ::SetBkMode(dc, TRANSPARENT);
    UINT format = DT_SINGLELINE | DT_VCENTER;
    BOOL cues = TRUE;
    ::SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &cues, 0);
    if ((draw->itemState & ODS_NOACCEL) && !cues)
        format |= DT_HIDEPREFIX;
    RECT textRect = item;
    textRect.left = item.left + 30;
    const wchar_t* tab = std::wcschr(text, L'\t');
    const int labelLength = tab ? static_cast<int>(tab - text) : static_cast<int>(std::wcslen(text));
    ::DrawTextW(dc, text, labelLength, &textRect, format);
    if (tab) {
        RECT shortcut = textRect;
        shortcut.right -= 12;
        ::DrawTextW(dc, tab + 1, -1, &shortcut, format | DT_RIGHT);
    }
    const int image = ImageOf(draw->itemID);
    if (image >= 0) {
        HICON icon = ImageList_GetIcon(m_images, image, ILD_NORMAL);
        const int x = item.left + 3, y = item.top + (item.bottom - item.top - 16) / 2;
        if (grayed) {
            HBRUSH brush = ::CreateSolidBrush(RGB(0xC3, 0xB9, 0x84));
            ::DrawStateW(dc, brush, nullptr, reinterpret_cast<LPARAM>(icon), 0, x, y, 16, 16, DST_ICON | DSS_MONO);
            ::DeleteObject(brush);
        } else {
            ::DrawIconEx(dc, x, y, icon, 16, 16, 0, nullptr, DI_NORMAL);
        }
        ::DestroyIcon(icon);
    }
}
