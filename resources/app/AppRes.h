// Resource ids of the main program: its icons and the templates of the main window's bars.
#pragma once

#define IDR_MAINFRAME                   128
#define IDI_TRAY_MENU_LOGIN             135
#define IDI_TRAY_MENU_LOGOUT            136
#define IDI_TRAY_MENU_EXIT              137

// Bar templates; each bar's control id is its template id.
#define IDD_MAINBAR                     131
#define IDD_MENUBAR                     132
#define IDD_INFOBAR                     133
#define IDD_STATUSBAR                   134

// Caption bar buttons.
#define IDC_BTN_EXPLORER                1000
#define IDC_BTN_CONFIG                  1001
#define IDC_BTN_RECORD                  1002
#define IDC_BTN_BOARD                   1003
#define IDC_BTN_EXTLINK                 1004
#define IDC_BTN_SYS_MIN                 1029
#define IDC_BTN_SYS_MAX                 1030
#define IDC_BTN_SYS_EXIT                1031

// Information bar controls.
#define IDC_INFO_LOGOUT                 1006
#define IDC_INFO_ALARM                  1011
#define IDC_INFO_SHARE                  1018
#define IDC_INFO_QUOTA                  1021
#define IDC_INFO_LINK                   1022
#define IDC_INFO_DRAFT                  1025
#define IDC_INFO_APPROVAL               1027
#define IDC_INFO_USAGE                  1028
#define IDC_INFO_COLLABORATION          1029
#define IDC_INFO_DELETE_SCHEDULE        1033
#define IDC_INFO_SHORTCUT               1034

// Status bar buttons.
#define IDC_STATUS_DRIVE                1014
#define IDC_STATUS_BACKUP               1015
#define IDC_STATUS_WEB                  1016
#define IDC_STATUS_HELP                 1017
#define IDC_STATUS_MANUAL               1019

// Tray menu commands.
#define ID_TRAY_LOGIN                   1001
#define ID_TRAY_LOGOUT                  1002
#define ID_TRAY_CONFIG                  1003
#define ID_TRAY_EXIT                    1004
#define ID_TRAY_ABOUT                   1005
#define ID_TRAY_CHANGE_PASSWORD         1007
