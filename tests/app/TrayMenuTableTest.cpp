// The tray menu's table row by row: each command at its place with its caption, greyed exactly
// when its own flag is off, the change-password row only while its flag is on.
#include "AppRes.h"
#include "ToviMenu.h"
#include "ToviString.h"
#include "ToviTray.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

BOOL WINAPI NoShell(DWORD, PNOTIFYICONDATAW)
{
    return TRUE;
}

// The menu as ids, separators as 0.
std::vector<UINT> Ids(CToviMenu& menu)
{
    std::vector<UINT> ids;
    const int count = ::GetMenuItemCount(menu.m_hMenu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW info = {sizeof(info)};
        info.fMask = MIIM_ID | MIIM_FTYPE;
        ::GetMenuItemInfoW(menu.m_hMenu, i, TRUE, &info);
        ids.push_back((info.fType & MFT_SEPARATOR) ? 0 : info.wID);
    }
    return ids;
}

std::wstring Caption(CToviMenu& menu, UINT id)
{
    MENUITEMINFOW info = {sizeof(info)};
    info.fMask = MIIM_DATA;
    if (!::GetMenuItemInfoW(menu.m_hMenu, id, FALSE, &info))
        return L"<none>";
    const wchar_t* text = CToviMenu::ItemText(info.dwItemData);
    return text ? text : L"<null>";
}

bool Grayed(CToviMenu& menu, UINT id)
{
    return (::GetMenuState(menu.m_hMenu, id, MF_BYCOMMAND) & MF_GRAYED) != 0;
}

}

TEST(TrayMenuTable, EachRowHasItsPlaceCaptionAndEnablingFlag)
{
    CToviTray::s_pNotify = NoShell;
    struct Row {
        UINT id;
        unsigned caption;
        BOOL CToviTray::*flag;   // null: always enabled
    };
    const Row rows[] = {
        {ID_TRAY_LOGIN, 14030, &CToviTray::m_bMenuLogin},
        {ID_TRAY_LOGOUT, 14037, &CToviTray::m_bMenuLogout},
        {ID_TRAY_CHANGE_PASSWORD, 14063, nullptr},
        {ID_TRAY_CONFIG, 14043, &CToviTray::m_bMenuConfig},
        {ID_TRAY_ABOUT, 14058, nullptr},
        {ID_TRAY_EXIT, 14059, &CToviTray::m_bMenuExit},
    };
    for (BOOL password : {FALSE, TRUE}) {
        CToviTray tray;
        tray.m_bMenuChangePassword = password;
        CToviMenu menu;
        tray.FillMenu(menu);
        const std::vector<UINT> expected =
            password ? std::vector<UINT>{ID_TRAY_LOGIN, ID_TRAY_LOGOUT, 0, ID_TRAY_CHANGE_PASSWORD, 0, ID_TRAY_CONFIG, 0,
                                         ID_TRAY_ABOUT, 0, ID_TRAY_EXIT}
                     : std::vector<UINT>{ID_TRAY_LOGIN, ID_TRAY_LOGOUT, 0, ID_TRAY_CONFIG, 0, ID_TRAY_ABOUT, 0,
                                         ID_TRAY_EXIT};
        EXPECT_EQ(expected, Ids(menu)) << "change password " << password;
    }
    for (const Row& row : rows) {
        SCOPED_TRACE(row.id);
        for (BOOL on : {TRUE, FALSE}) {
            CToviTray tray;
            tray.m_bMenuChangePassword = TRUE;
            if (row.flag)
                tray.*row.flag = on;
            CToviMenu menu;
            tray.FillMenu(menu);
            EXPECT_EQ(std::wstring(CToviString::GetString(row.caption)), Caption(menu, row.id));
            EXPECT_EQ(row.flag && !on, Grayed(menu, row.id)) << (on ? "flag on" : "flag off");
        }
    }
    CToviTray::s_pNotify = ::Shell_NotifyIconW;
}
