// Menus: menu bars and pop-up menus, including menus whose items the program draws.
#pragma once
#include "FrameworkApi.h"
#include "Object.h"
#include "Strings.h"

class CWnd;
template <class TObject, class THandle> class CTempHandleMap;

// Owns its HMENU: the destructor destroys it unless it was detached. While a CMenu holds a
// menu (created, loaded or attached), the menu's owner-drawn items are measured and drawn by
// this object's MeasureItem and DrawItem: the owner window's WM_MEASUREITEM and WM_DRAWITEM
// for menus reach it through RouteOwnerDraw. FromHandle returns that object when there is
// one, else a per-thread temporary that owns nothing.
class FW_API CMenu : public CObject {
    DECLARE_DYNAMIC(CMenu)
public:
    CMenu() = default;
    ~CMenu() override;

    static CMenu* FromHandle(HMENU handle);
    static void DeleteTempMap();

    // For an owner window's WM_MEASUREITEM and WM_DRAWITEM: when the message is about a menu
    // item of a menu held by a CMenu, calls its MeasureItem or DrawItem and returns true.
    // Call on the thread that shows the menu.
    static bool RouteOwnerDraw(UINT message, WPARAM wParam, LPARAM lParam);

    HMENU GetSafeHmenu() const { return m_hMenu; }
    operator HMENU() const { return m_hMenu; }
    BOOL Attach(HMENU handle);
    HMENU Detach();
    BOOL CreateMenu();
    BOOL CreatePopupMenu();
    // From the registered resource modules (see Resources.h).
    BOOL LoadMenu(UINT id) { return LoadMenu(MAKEINTRESOURCEW(id)); }
    BOOL LoadMenu(LPCWSTR name);
    BOOL DestroyMenu();

    BOOL AppendMenu(UINT flags, UINT_PTR id = 0, LPCWSTR item = nullptr) { return ::AppendMenuW(m_hMenu, flags, id, item); }
    BOOL InsertMenu(UINT position, UINT flags, UINT_PTR id = 0, LPCWSTR item = nullptr)
    {
        return ::InsertMenuW(m_hMenu, position, flags, id, item);
    }
    BOOL ModifyMenu(UINT position, UINT flags, UINT_PTR id = 0, LPCWSTR item = nullptr)
    {
        return ::ModifyMenuW(m_hMenu, position, flags, id, item);
    }
    BOOL RemoveMenu(UINT position, UINT flags) { return ::RemoveMenu(m_hMenu, position, flags); }
    BOOL DeleteMenu(UINT position, UINT flags) { return ::DeleteMenu(m_hMenu, position, flags); }

    // The pop-up at that position, or null.
    CMenu* GetSubMenu(int position) const;
    int GetMenuItemCount() const { return ::GetMenuItemCount(m_hMenu); }
    // 0xFFFFFFFF for a pop-up, 0 for a separator.
    UINT GetMenuItemID(int position) const { return ::GetMenuItemID(m_hMenu, position); }
    UINT GetMenuState(UINT id, UINT flags) const { return ::GetMenuState(m_hMenu, id, flags); }
    int GetMenuString(UINT id, LPWSTR text, int maxCount, UINT flags) const
    {
        return ::GetMenuStringW(m_hMenu, id, text, maxCount, flags);
    }
    int GetMenuString(UINT id, CString& text, UINT flags) const;
    // Return the previous state, or -1 (0xFFFFFFFF) when there is no such item.
    UINT EnableMenuItem(UINT id, UINT enable) { return ::EnableMenuItem(m_hMenu, id, enable); }
    UINT CheckMenuItem(UINT id, UINT check) { return ::CheckMenuItem(m_hMenu, id, check); }
    BOOL CheckMenuRadioItem(UINT first, UINT last, UINT item, UINT flags)
    {
        return ::CheckMenuRadioItem(m_hMenu, first, last, item, flags);
    }
    BOOL SetDefaultItem(UINT item, BOOL byPosition = FALSE) { return ::SetMenuDefaultItem(m_hMenu, item, byPosition); }
    BOOL GetMenuItemInfo(UINT item, LPMENUITEMINFOW info, BOOL byPosition = FALSE) const
    {
        return ::GetMenuItemInfoW(m_hMenu, item, byPosition, info);
    }
    BOOL SetMenuItemInfo(UINT item, LPMENUITEMINFOW info, BOOL byPosition = FALSE)
    {
        return ::SetMenuItemInfoW(m_hMenu, item, byPosition, info);
    }

    // Shows the pop-up and returns when it closes. With TPM_RETURNCMD the result is the chosen
    // command (0: none); without it the result tells success and the owner receives WM_COMMAND.
    BOOL TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, LPCRECT excludeRect = nullptr);
    BOOL TrackPopupMenu(UINT flags, int x, int y, HWND owner, LPCRECT excludeRect = nullptr);

    // Owner-drawn items: called on the thread that shows the menu.
    virtual void DrawItem(LPDRAWITEMSTRUCT drawItem);
    virtual void MeasureItem(LPMEASUREITEMSTRUCT measureItem);

    HMENU m_hMenu = nullptr;

protected:
    template <class TObject, class THandle> friend class CTempHandleMap;
    void AttachTemporary(HMENU handle) { m_hMenu = handle; }
    void DetachTemporary() { m_hMenu = nullptr; }
};
