// Resource ids of the backup windows: status window, log viewer and restore list.
#pragma once

#define IDD_RESTORE_LIST                1017
#define IDD_BACKUP_LOG                  1037
#define IDD_BACKUP_STATUS               1038

// Status window.
#define IDC_BACKUP_STATUS_LABEL_FOLDER  10022
#define IDC_BACKUP_STATUS_LABEL_FILE    10024
#define IDC_BACKUP_STATUS_PROGRESS      10025
#define IDC_BACKUP_STATUS_FOLDER        10052
#define IDC_BACKUP_STATUS_FILE          10055
#define IDC_BACKUP_STATUS_TITLE         10133
#define IDC_BACKUP_FRAME                10135
#define IDC_BACKUP_STATUS_CLOSE         10228
#define IDC_BACKUP_STATUS_CANCEL        10230

// Log viewer.
#define IDC_BACKUP_LOG_RUNS             10223
#define IDC_BACKUP_LOG_ITEMS            10224
#define IDC_BACKUP_LOG_HEADING          10225
#define IDC_BACKUP_LOG_TITLE            10226

// Restore list.
#define IDC_RESTORE_LIST                10095
#define IDC_RESTORE_LIST_HEADING        10133
#define IDC_RESTORE_LIST_HINT           10158

// Restore window.
#define IDD_RESTORE                     1039
#define IDC_RESTORE_LABEL_FOLDER        10022
#define IDC_RESTORE_LABEL_FILE          10024
#define IDC_RESTORE_PROGRESS            10026
#define IDC_RESTORE_FOLDER              10052
#define IDC_RESTORE_FILE                10055
#define IDC_RESTORE_OPTION_LABEL        10133
#define IDC_RESTORE_PLACE_LABEL         10134
#define IDC_RESTORE_HIDDEN              10136
#define IDC_RESTORE_OVERWRITE           10212
#define IDC_RESTORE_POLICY_NAME         10226
#define IDC_RESTORE_START               10229
#define IDC_RESTORE_FORMER_PLACE        10231
#define IDC_RESTORE_CHOOSE_FOLDER       10232
// Policy editor and folder selection.
#define IDD_BACKUP_POLICY               1013
#define IDD_FOLDER_SELECT               1036
#define IDC_POLICY_FOLDERS              10060
#define IDC_POLICY_DATE                 10072
#define IDC_POLICY_TIME                 10073
#define IDC_POLICY_HEAD_POLICY          10133
#define IDC_POLICY_HEAD_FOLDER          10134
#define IDC_POLICY_FRAME_POLICY         10135
#define IDC_POLICY_FRAME_FOLDER         10136
#define IDC_POLICY_FRAME_OVERWRITE      10137
#define IDC_POLICY_FRAME_CYCLE          10138
#define IDC_POLICY_SEPARATOR            10141
#define IDC_POLICY_HEAD_OVERWRITE       10143
#define IDC_POLICY_CYCLE_LABEL          10147
#define IDC_POLICY_NAME_LABEL           10207
#define IDC_POLICY_DESC_LABEL           10208
#define IDC_POLICY_NAME                 10209
#define IDC_POLICY_DESC                 10210
#define IDC_POLICY_FOLDER_BUTTON        10211
#define IDC_POLICY_OVERWRITE            10212
#define IDC_POLICY_KIND_LABEL           10213
#define IDC_POLICY_DATE_LABEL           10214
#define IDC_POLICY_WEEKDAY_LABEL        10215
#define IDC_POLICY_TIME_LABEL           10216
#define IDC_POLICY_KIND                 10217
#define IDC_POLICY_WEEKDAY              10218
#define IDC_POLICY_MONTHDAY             10219
#define IDC_POLICY_OK                   10220
#define IDC_FOLDER_TREE                 10222
#define IDC_POLICY_CYCLE                10227
