// Resource ids of the log-in windows: the login dialog, the three settings dialogs and the
// folder-password prompt. The system buttons 10123-10125 come from SkinRes.h.
#pragma once

#define IDD_LOGIN_DIALOG                1000
#define IDD_CONFIG_BACKUP_DIALOG        1014
#define IDD_CONFIG_DIALOG               1020
#define IDD_PASSWORD_DIALOG             1022
#define IDD_CONFIG_DRIVE_DIALOG         1029
// The web log-in and the phone certification share one template: caption buttons over a page.
#define IDD_LOGINWEB_DIALOG             1040

// Login dialog.
#define IDC_LOGIN_LANGUAGE_LABEL        10002
#define IDC_LOGIN_DOMAIN_LABEL          10003
#define IDC_LOGIN_USERID_LABEL          10004
#define IDC_LOGIN_PASSWORD_LABEL        10005
#define IDC_LOGIN_USERID                10007
#define IDC_LOGIN_PASSWORD              10009
#define IDC_LOGIN_LANGUAGE              10050
#define IDC_LOGIN_DOMAIN                10054
#define IDC_LOGIN_SAVE_ID               10119
#define IDC_LOGIN_AUTO_LOGIN            10120
#define IDC_LOGIN_BUTTON                10122

// Settings dialogs.
#define IDC_CONFIG_ADDRESS              10028
#define IDC_CONFIG_PORT                 10031
#define IDC_CONFIG_GROUP1               10135
#define IDC_CONFIG_GROUP2               10136
#define IDC_CONFIG_GUIDE1               10160
#define IDC_CONFIG_EXAMPLE              10161
#define IDC_CONFIG_GUIDE2               10163
#define IDC_CONFIG_CLEAR_AUTO           10164
#define IDC_CONFIG_RESET_WINDOW         10166
#define IDC_CONFIG_RUN_EXPLORER         10167
#define IDC_CONFIG_SERVER_TITLE         10168
#define IDC_CONFIG_ADDRESS_LABEL        10169
#define IDC_CONFIG_PORT_LABEL           10170
#define IDC_CONFIG_LOGIN_TITLE          10173
#define IDC_CONFIG_AUTORUN              10221

// Password prompt.
#define IDC_PASSWORD_EDIT               10078
#define IDC_PASSWORD_FRAME              10135
#define IDC_PASSWORD_INFO               10133
#define IDC_PASSWORD_LABEL              10171
#define IDC_PASSWORD_ICON               10172
