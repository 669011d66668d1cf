// Driving a tree control with the mouse and reading its items.
#include "TreeDriver.h"
#include <cstring>

namespace uitest {

namespace {

void SendMouse(DWORD flags)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    ::SendInput(1, &input, sizeof(input));
}

// A client point on the item's row where the tree's hit test reports part.
bool FindPart(HWND tree, HTREEITEM item, UINT part, POINT& at)
{
    ::SendMessageW(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
    RECT text = {};
    memcpy(&text, &item, sizeof item);   // the message takes the item in the rectangle
    if (!::SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&text)))
        return false;
    const int y = (text.top + text.bottom) / 2;
    for (int x = text.left + 2; x >= 0; --x) {
        TVHITTESTINFO hit = {};
        hit.pt = {x, y};
        HTREEITEM found = reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
        if (found == item && (hit.flags & part)) {
            // The middle of that part: step on while the hit test still says so.
            int left = x;
            while (left > 0) {
                TVHITTESTINFO more = {};
                more.pt = {left - 1, y};
                ::SendMessageW(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&more));
                if (!(more.flags & part))
                    break;
                --left;
            }
            at = {(left + x) / 2, y};
            return true;
        }
    }
    return false;
}

bool ClickPart(HWND tree, HTREEITEM item, UINT part)
{
    POINT at;
    if (!item || !FindPart(tree, item, part, at))
        return false;
    ClickWithMouse(tree, at);
    return true;
}

} // namespace

void DragWithMouse(HWND hwnd, POINT from, POINT to)
{
    ::ClientToScreen(hwnd, &from);
    ::ClientToScreen(hwnd, &to);
    ::SetCursorPos(from.x, from.y);
    SendMouse(MOUSEEVENTF_MOVE);
    ::Sleep(50);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    ::Sleep(50);
    for (int step = 1; step <= 4; ++step) {
        ::SetCursorPos(from.x + (to.x - from.x) * step / 4, from.y + (to.y - from.y) * step / 4);
        SendMouse(MOUSEEVENTF_MOVE);
        ::Sleep(40);
    }
    SendMouse(MOUSEEVENTF_LEFTUP);
    ::Sleep(100);
}

std::wstring TreeItemText(HWND tree, HTREEITEM item)
{
    wchar_t text[520] = {};
    TVITEMW tv = {};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = text;
    tv.cchTextMax = 520;
    if (!::SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv)))
        return std::wstring();
    return text;
}

std::vector<HTREEITEM> TreeChildren(HWND tree, HTREEITEM parent)
{
    std::vector<HTREEITEM> children;
    HTREEITEM child = reinterpret_cast<HTREEITEM>(
        ::SendMessageW(tree, TVM_GETNEXTITEM, parent ? TVGN_CHILD : TVGN_ROOT, reinterpret_cast<LPARAM>(parent)));
    while (child) {
        children.push_back(child);
        child = reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(child)));
    }
    return children;
}

HTREEITEM TreeChild(HWND tree, HTREEITEM parent, const std::wstring& text)
{
    for (HTREEITEM child : TreeChildren(tree, parent))
        if (TreeItemText(tree, child) == text)
            return child;
    return nullptr;
}

HTREEITEM TreeItemByPath(HWND tree, const std::wstring& path)
{
    HTREEITEM item = nullptr;
    size_t start = 0;
    for (;;) {
        const size_t slash = path.find(L'/', start);
        item = TreeChild(tree, item, path.substr(start, slash == std::wstring::npos ? std::wstring::npos : slash - start));
        if (!item || slash == std::wstring::npos)
            return item;
        start = slash + 1;
    }
}

bool TreeIsChecked(HWND tree, HTREEITEM item)
{
    const UINT state = static_cast<UINT>(
        ::SendMessageW(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_STATEIMAGEMASK));
    return (state >> 12) == 2;
}

bool TreeIsExpanded(HWND tree, HTREEITEM item)
{
    return (::SendMessageW(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
}

bool TreeHasChildren(HWND tree, HTREEITEM item)
{
    TVITEMW tv = {};
    tv.mask = TVIF_CHILDREN;
    tv.hItem = item;
    return ::SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv)) && tv.cChildren != 0;
}

bool TreeClickCheckBox(HWND tree, HTREEITEM item)
{
    return ClickPart(tree, item, TVHT_ONITEMSTATEICON);
}

bool TreeClickLabel(HWND tree, HTREEITEM item)
{
    RECT text = {};
    memcpy(&text, &item, sizeof item);   // the message takes the item in the rectangle
    ::SendMessageW(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
    if (!item || !::SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&text)))
        return false;
    ClickWithMouse(tree, {(text.left + text.right) / 2, (text.top + text.bottom) / 2});
    return true;
}

bool TreeClickButton(HWND tree, HTREEITEM item)
{
    return ClickPart(tree, item, TVHT_ONITEMBUTTON);
}

}
