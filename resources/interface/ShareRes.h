// Resource ids of the sharing dialogs: the share dialog, the send-file dialog and the user and
// group picker they carry.
#pragma once

#define IDD_SHARE                       1002
#define IDD_SEND_FILE                   1031

// The user and group picker.
#define IDC_PICKER_DOMAIN               10092
#define IDC_PICKER_TREE                 10057
#define IDC_PICKER_MEMBERS              10058
#define IDC_PICKER_SEARCH_GROUPS        10061
#define IDC_PICKER_SEARCH_USERS         10062
#define IDC_PICKER_SEARCH_RANK          10063
#define IDC_PICKER_SEARCH_TEXT          10064
#define IDC_PICKER_SEARCH_LABEL         10065
#define IDC_PICKER_SEARCH_COUNT         10109
#define IDC_PICKER_SEARCH               10084
#define IDC_PICKER_COPY                 10079
#define IDC_PICKER_REMOVE               10082
#define IDC_PICKER_PROGRESS             10193
#define IDC_PICKER_CHOSEN               10066
#define IDC_PICKER_RECEIVERS            10190

// Share dialog.
#define IDC_SHARE_NAME                  10104
#define IDC_SHARE_ON                    10045
#define IDC_SHARE_PASSWORD_ON           10067
#define IDC_SHARE_PASSWORD              10078
#define IDC_SHARE_PERIOD_ON             10068
#define IDC_SHARE_FROM                  10070
#define IDC_SHARE_TO                    10071
#define IDC_SHARE_TILDE                 10146
#define IDC_SHARE_VIEW                  10085
#define IDC_SHARE_VIEW_OWN              10086
#define IDC_SHARE_VIEWER                10233
#define IDC_SHARE_READ                  10087
#define IDC_SHARE_WRITE                 10088
#define IDC_SHARE_DELETE                10089
#define IDC_SHARE_DELETE_OWN            10091
#define IDC_SHARE_APPLY_PERM            10097
#define IDC_SHARE_ADD                   10081
#define IDC_SHARE_SAVE                  10083
#define IDC_SHARE_HELP                  10202
#define IDC_SHARE_HEAD_SETTINGS         10133
#define IDC_SHARE_HEAD_MEMBERS          10134
#define IDC_SHARE_HEAD_PICKER           10143
#define IDC_SHARE_NAME_LABEL            10144
#define IDC_SHARE_FRAME_LEFT            10135
#define IDC_SHARE_FRAME_RIGHT           10136
// The permission legend: the icon beside each permission check.
#define IDC_SHARE_LEGEND_VIEW           10098
#define IDC_SHARE_LEGEND_READ           10099
#define IDC_SHARE_LEGEND_VIEW_OWN       10100
#define IDC_SHARE_LEGEND_WRITE          10101
#define IDC_SHARE_LEGEND_DELETE         10102
#define IDC_SHARE_LEGEND_DELETE_OWN     10103
#define IDC_SHARE_LEGEND_VIEWER         10334

// Send-file dialog.
#define IDC_SEND_FILES                  10021
#define IDC_SEND_EXPIRE_ON              10113
#define IDC_SEND_EXPIRE                 10192
#define IDC_SEND_DELETE_SOURCE          10114
#define IDC_SEND_SEND                   10191
#define IDC_SEND_HEAD_FILES             10133
#define IDC_SEND_HEAD_RECEIVERS         10134
#define IDC_SEND_HEAD_PICKER            10143
#define IDC_SEND_FILES_LABEL            10150
#define IDC_SEND_NOTE                   10149

// Guest dialog.
#define IDD_GUEST                       1008
#define IDC_GUEST_HEAD                  10133
#define IDC_GUEST_NAME_LABEL            10126
#define IDC_GUEST_NAME                  10104
#define IDC_GUEST_EMAIL_LABEL           10127
#define IDC_GUEST_EMAIL                 10105
#define IDC_GUEST_HINT                  10128
#define IDC_GUEST_QUOTA_LABEL           10044
#define IDC_GUEST_QUOTA                 10033
#define IDC_GUEST_QUOTA_UNIT            10042
#define IDC_GUEST_PERIOD_LABEL          10039
#define IDC_GUEST_FROM                  10070
#define IDC_GUEST_TO                    10071
#define IDC_GUEST_TILDE                 10132
#define IDC_GUEST_NO_LIMIT              10110
#define IDC_GUEST_HEAD_RIGHTS           10134
#define IDC_GUEST_READ                  10087
#define IDC_GUEST_WRITE                 10088
#define IDC_GUEST_DELETE                10090
#define IDC_GUEST_RESET_PWD             10206

// Link creation dialog.
#define IDD_LINK_CREATE                 1009
#define IDC_LINK_HEAD_FILES             10133
#define IDC_LINK_NAME                   10112
#define IDC_LINK_HEAD_SETTINGS          10134
#define IDC_LINK_PASSWORD_ON            10067
#define IDC_LINK_PASSWORD_LABEL         10129
#define IDC_LINK_PASSWORD               10078
#define IDC_LINK_EXPIRE_ON              10113
#define IDC_LINK_EXPIRE_LABEL           10139
#define IDC_LINK_EXPIRE                 10071
#define IDC_LINK_EXPIRE_NOTE            10204
#define IDC_LINK_LIMIT_ON               10069
#define IDC_LINK_LIMIT_LABEL            10140
#define IDC_LINK_LIMIT                  10080
#define IDC_LINK_LIMIT_NOTE             10205
#define IDC_LINK_LINE1                  10141
#define IDC_LINK_LINE2                  10142
// The most characters a link password holds.
#define LINK_PASSWORD_MAX               20

// Multi-guest dialog.
#define IDD_GUEST_MULTI                 1033
#define IDC_GMULTI_PERIOD_ON            10197
#define IDC_GMULTI_APPLY_PERM           10097
#define IDC_GMULTI_LIST                 10196
#define IDC_GMULTI_ADD                  10198
#define IDC_GMULTI_REMOVE               10199
#define IDC_GMULTI_NOTE                 10130
#define IDC_GMULTI_ICON_READ            10200
#define IDC_GMULTI_ICON_WRITE           10201
#define IDC_GMULTI_ICON_DELETE          10203

// Multi-guest dialog of the customer group whose guests each have a date of their own.
#define IDD_GUEST_MULTI_RQ              1034

// Shortcut list dialog.
#define IDD_SHORTCUT                    1041
#define IDC_SHORTCUT_LIST               10235
#define IDC_SHORTCUT_DELETE             10237
#define IDC_SHORTCUT_OPEN               10238

// Link list dialog and its menu.
#define IDD_LINK_LIST                   1010
#define IDR_MENU_LINK                   129
#define ID_LINK_URL_COPY                32771
#define IDC_LINK_LIST                   10093
#define IDC_LINK_ADD                    10115
#define IDC_LINK_CHANGE                 10116
#define IDC_LINK_REMOVE                 10117
#define IDC_LINK_COPY                   10118

// Group share dialog.
#define IDD_GSHARE                      1004
#define IDC_GSHARE_NAME_LABEL           10148
#define IDC_GSHARE_QUOTA_LABEL          10106
#define IDC_GSHARE_QUOTA                10033
#define IDC_GSHARE_QUOTA_FREE           10042
#define IDC_GSHARE_AUTO_DELETE          10074
#define IDC_GSHARE_AUTO_MODE            10051
#define IDC_GSHARE_AUTO_COUNT           10108
#define IDC_GSHARE_AUTO_UNIT            10151
#define IDC_GSHARE_AUTO_NOTE            10152
#define IDC_GSHARE_VERSIONING           10075
#define IDC_GSHARE_HIDDEN               10076
#define IDC_GSHARE_RECYCLE              10077
#define IDC_GSHARE_DOMAIN_LABEL         10147
