// Resource ids of the download window.
#pragma once

#define IDD_DOWNLOAD                    1011

// Download window (the caption buttons and the hidden box come from SkinRes.h).
#define IDC_DOWNLOAD_LIST               10021
#define IDC_DOWNLOAD_LABEL_FOLDER       10022
#define IDC_DOWNLOAD_LABEL_SPEED        10023
#define IDC_DOWNLOAD_LABEL_FILE         10024
#define IDC_DOWNLOAD_PROGRESS_FILE      10025
#define IDC_DOWNLOAD_PROGRESS_TOTAL     10026
#define IDC_DOWNLOAD_RATE               10027
#define IDC_DOWNLOAD_CLOSE_WHEN_DONE    10030
#define IDC_DOWNLOAD_FOLDER             10052
#define IDC_DOWNLOAD_FILE               10055
#define IDC_DOWNLOAD_ERROR_LOG          10094
#ifndef IDC_DIALOG_HIDDEN
#define IDC_DIALOG_HIDDEN               10135
#endif

// Progress of a server file operation.
#define IDD_FILE_PROGRESS               1001
#define IDC_FILE_PROGRESS_BAR           10013
#define IDC_FILE_PROGRESS_OPERATION     10014
#define IDC_FILE_PROGRESS_ITEM          10015

// Version list.
#define IDD_VERSION_LIST                1018
#define IDC_VERSION_NAME                10112
#define IDC_VERSION_LABEL               10133
#define IDC_VERSION_LIST                10159
#define IDC_VERSION_INFO_KEPT           10160
#define IDC_VERSION_INFO_DELETE         10161

// Properties.
#define IDD_FILE_PROPERTY               1007
#define IDC_PROP_LABEL_LOCATION         10022
#define IDC_PROP_ATTRIBUTES             10029
#define IDC_PROP_LIMIT                  10030
#define IDC_PROP_TYPE                   10032
#define IDC_PROP_SIZE                   10034
#define IDC_PROP_LABEL_CREATOR          10035
#define IDC_PROP_CREATOR                10036
#define IDC_PROP_CREATED                10037
#define IDC_PROP_NAME                   10038
#define IDC_PROP_LABEL_CREATED          10040
#define IDC_PROP_LABEL_TYPE             10041
#define IDC_PROP_CONTENTS               10043
#define IDC_PROP_LABEL_ATTRIBUTES       10047
#define IDC_PROP_LOCATION               10048
#define IDC_PROP_LABEL_MODIFIED         10049
#define IDC_PROP_LABEL_LIMIT            10050
#define IDC_PROP_MODIFIED               10053
#define IDC_PROP_SEPARATOR1             10141
#define IDC_PROP_SEPARATOR2             10142
#define IDC_PROP_LABEL_SIZE             10194
#define IDC_PROP_LABEL_CONTENTS         10195

// Error list.
#define IDD_ERROR_LIST                  1045
#define IDC_ERROR_LIST                  10020
#define IDC_ERROR_SENTENCE              10133

// Search window (the caption buttons come from SkinRes.h).
#define IDD_SEARCH                      1015
#define IDC_SEARCH_LIST                 10059
// Its condition panel.
#define IDD_SEARCH_MENU                 1016
#define IDC_SEARCH_USER                 10007
#define IDC_SEARCH_USE_DATE             10068
#define IDC_SEARCH_DATE_FROM            10070
#define IDC_SEARCH_DATE_TO              10071
#define IDC_SEARCH_TITLE                10133
#define IDC_SEARCH_TITLE_CONDITIONS     10134
#define IDC_SEARCH_RUN                  10153
#define IDC_SEARCH_LABEL_NAME           10154
#define IDC_SEARCH_LABEL_LOCATION       10155
#define IDC_SEARCH_NAME                 10156
#define IDC_SEARCH_LOCATION             10157
#define IDC_SEARCH_PROGRESS             10165
#define IDC_SEARCH_USE_CATEGORY         10172
#define IDC_SEARCH_USE_SIZE             10174
#define IDC_SEARCH_SIZE                 10175
#define IDC_SEARCH_USE_USER             10176
#define IDC_SEARCH_MONTHS               10177
#define IDC_SEARCH_CATEGORY             10178
#define IDC_SEARCH_LABEL_FROM           10179
#define IDC_SEARCH_LABEL_TO             10180
