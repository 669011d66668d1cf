// Menus: menu bars and pop-up menus, including menus whose items the program draws.
#include "Menu.h"
#include "Resources.h"
#include "TempHandleMap.h"
#include "Wnd.h"
#include <mutex>
#include <unordered_map>
#include <vector>

IMPLEMENT_DYNAMIC(CMenu, CObject)

namespace {

// Menus held by CMenu objects, for every thread: a menu may be built on one thread and shown
// on another.
class MenuRegistry {
public:
    void Add(HMENU handle, CMenu* menu)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_menus[handle] = menu;
    }
    void Remove(HMENU handle, CMenu* menu)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        auto found = m_menus.find(handle);
        if (found != m_menus.end() && found->second == menu)
            m_menus.erase(found);
    }
    CMenu* Find(HMENU handle)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        auto found = m_menus.find(handle);
        return found == m_menus.end() ? nullptr : found->second;
    }
    std::vector<HMENU> Handles()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        std::vector<HMENU> handles;
        handles.reserve(m_menus.size());
        for (auto& entry : m_menus)
            handles.push_back(entry.first);
        return handles;
    }

private:
    std::mutex m_lock;
    std::unordered_map<HMENU, CMenu*> m_menus;
};

MenuRegistry& Registry()
{
    static MenuRegistry registry;
    return registry;
}

// The pop-ups this thread is tracking, innermost last. WM_MEASUREITEM does not say which menu
// it is about, so the tracked menus are searched first.
std::vector<HMENU>& TrackedMenus()
{
    thread_local std::vector<HMENU> menus;
    return menus;
}

class TrackingScope {
public:
    explicit TrackingScope(HMENU menu) { TrackedMenus().push_back(menu); }
    ~TrackingScope() { TrackedMenus().pop_back(); }
    TrackingScope(const TrackingScope&) = delete;
    TrackingScope& operator=(const TrackingScope&) = delete;
};

void AddWithSubMenus(HMENU menu, std::vector<HMENU>& out, int depth = 0)
{
    // Menus cannot nest without bound, but a corrupt or cyclic structure must not hang us.
    if (menu == nullptr || depth > 16)
        return;
    out.push_back(menu);
    int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i)
        AddWithSubMenus(::GetSubMenu(menu, i), out, depth + 1);
}

// Whether menu holds, directly, the owner-drawn item that a WM_MEASUREITEM describes.
bool HoldsOwnerDrawItem(HMENU menu, UINT id, ULONG_PTR data)
{
    int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_ID | MIIM_DATA | MIIM_FTYPE;
        if (!::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info))
            continue;
        if ((info.fType & MFT_OWNERDRAW) && info.wID == id && info.dwItemData == data)
            return true;
    }
    return false;
}

CMenu* FindMeasuredMenu(const MEASUREITEMSTRUCT& measure)
{
    std::vector<HMENU> candidates;
    const auto& tracked = TrackedMenus();
    for (auto it = tracked.rbegin(); it != tracked.rend(); ++it)
        AddWithSubMenus(*it, candidates);
    for (HMENU handle : Registry().Handles())
        candidates.push_back(handle);
    for (HMENU handle : candidates) {
        CMenu* menu = Registry().Find(handle);
        if (menu && HoldsOwnerDrawItem(handle, measure.itemID, measure.itemData))
            return menu;
    }
    return nullptr;
}

} // namespace

CMenu::~CMenu()
{
    DestroyMenu();
}

CMenu* CMenu::FromHandle(HMENU handle)
{
    if (CMenu* menu = Registry().Find(handle))
        return menu;
    return CTempHandleMap<CMenu, HMENU>::Get(handle);
}

void CMenu::DeleteTempMap()
{
    CTempHandleMap<CMenu, HMENU>::Clear();
}

bool CMenu::RouteOwnerDraw(UINT message, WPARAM, LPARAM lParam)
{
    if (lParam == 0)
        return false;
    if (message == WM_DRAWITEM) {
        auto* draw = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam);
        if (draw->CtlType != ODT_MENU)
            return false;
        CMenu* menu = Registry().Find(reinterpret_cast<HMENU>(draw->hwndItem));
        if (menu == nullptr)
            return false;
        menu->DrawItem(draw);
        return true;
    }
    if (message == WM_MEASUREITEM) {
        auto* measure = reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam);
        if (measure->CtlType != ODT_MENU)
            return false;
        CMenu* menu = FindMeasuredMenu(*measure);
        if (menu == nullptr)
            return false;
        menu->MeasureItem(measure);
        return true;
    }
    return false;
}

BOOL CMenu::Attach(HMENU handle)
{
    if (handle == nullptr || m_hMenu != nullptr)
        return FALSE;
    m_hMenu = handle;
    Registry().Add(handle, this);
    return TRUE;
}

HMENU CMenu::Detach()
{
    HMENU handle = m_hMenu;
    if (handle)
        Registry().Remove(handle, this);
    m_hMenu = nullptr;
    return handle;
}

BOOL CMenu::CreateMenu()
{
    return Attach(::CreateMenu());
}

BOOL CMenu::CreatePopupMenu()
{
    return Attach(::CreatePopupMenu());
}

BOOL CMenu::LoadMenu(LPCWSTR name)
{
    HINSTANCE module = AfxFindResourceHandle(name, RT_MENU);
    return Attach(::LoadMenuW(module, name));
}

BOOL CMenu::DestroyMenu()
{
    if (m_hMenu == nullptr)
        return FALSE;
    return ::DestroyMenu(Detach());
}

CMenu* CMenu::GetSubMenu(int position) const
{
    return FromHandle(::GetSubMenu(m_hMenu, position));
}

int CMenu::GetMenuString(UINT id, CString& text, UINT flags) const
{
    int length = ::GetMenuStringW(m_hMenu, id, nullptr, 0, flags);
    if (length <= 0) {
        text.Empty();
        return 0;
    }
    length = ::GetMenuStringW(m_hMenu, id, text.GetBuffer(length + 1), length + 1, flags);
    text.ReleaseBuffer(length > 0 ? length : 0);
    return length;
}

BOOL CMenu::TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, LPCRECT excludeRect)
{
    return TrackPopupMenu(flags, x, y, owner ? owner->GetSafeHwnd() : nullptr, excludeRect);
}

BOOL CMenu::TrackPopupMenu(UINT flags, int x, int y, HWND owner, LPCRECT excludeRect)
{
    TrackingScope scope(m_hMenu);
    return ::TrackPopupMenu(m_hMenu, flags, x, y, 0, owner, excludeRect);
}

void CMenu::DrawItem(LPDRAWITEMSTRUCT)
{
}

void CMenu::MeasureItem(LPMEASUREITEMSTRUCT)
{
}
