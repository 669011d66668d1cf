// Resource ids of the common dialogs: about, change password, confirmation, disconnect and the
// wait dialog, and the task-bar pop-up with its skin.
#pragma once

#define IDD_CONFIRM_DIALOG              1012
#define IDD_CHANGEPWD_DIALOG            1023
#define IDD_DISCONNECT_DIALOG           1024
#define IDD_ABOUT_DIALOG                1025
#define IDD_PROGRESS_DIALOG             1026
#define IDD_TASKBAR_DIALOG              1030

#define IDB_TASKBAR_SKIN                144

// About box.
#define IDC_ABOUT_SERVER_VERSION        10182
#define IDC_ABOUT_CLIENT_VERSION        10184
#define IDC_ABOUT_HOME_LABEL            10186
#define IDC_ABOUT_HOME_LINK             10189
#define IDC_ABOUT_NOTE                  10188
#define IDC_ABOUT_ICON                  10190

// Change password.
#define IDC_CHANGEPWD_FRAME             10135
#define IDC_CHANGEPWD_NOTICE            10171
#define IDC_CHANGEPWD_CURRENT_LABEL     10005
#define IDC_CHANGEPWD_NEW_LABEL         10006
#define IDC_CHANGEPWD_CONFIRM_LABEL     10008
#define IDC_CHANGEPWD_CURRENT           10009
#define IDC_CHANGEPWD_NEW               10010
#define IDC_CHANGEPWD_CONFIRM           10011

// Confirmation.
#define IDC_CONFIRM_FRAME               10135
#define IDC_CONFIRM_TEXT                10012
#define IDC_CONFIRM_NAME_LABEL          10014
#define IDC_CONFIRM_NAME                10104

// Disconnect.
#define IDC_DISCONNECT_HEADING          10133
#define IDC_DISCONNECT_LINE1            10185
#define IDC_DISCONNECT_LINE2            10187
#define IDC_DISCONNECT_DRIVE            10183
#define IDC_DISCONNECT_EXPLORER         10001

// Wait dialog.
#define IDC_PROGRESS_TEXT               10181
