// Resource ids of the command bar: its controls and the skin bitmaps of its two view buttons.
#pragma once

// View buttons: normal, chosen and the mask that shapes them.
#define IDB_VIEW_THUMBNAIL              138
#define IDB_VIEW_THUMBNAIL_ON           139
#define IDB_VIEW_LIST                   140
#define IDB_VIEW_LIST_ON                141
#define IDB_VIEW_LIST_MASK              142
#define IDB_VIEW_THUMBNAIL_MASK         143

// Controls of the command bar template.
#define IDC_MENU_SEARCH                 1001
#define IDC_MENU_NEW_FOLDER             1005
#define IDC_MENU_UPLOAD                 1006
#define IDC_MENU_DOWNLOAD               1007
#define IDC_MENU_SHARE                  1008
#define IDC_MENU_DELETE                 1009
#define IDC_MENU_COPY                   1010
#define IDC_MENU_CUT                    1012
#define IDC_MENU_PASTE                  1013
#define IDC_MENU_APPROVAL               1015
#define IDC_MENU_LINK                   1022
#define IDC_MENU_LIST_VIEW              1023
#define IDC_MENU_THUMBNAIL_VIEW         1026
#define IDC_MENU_BATCH_APPROVAL         1027
#define IDC_MENU_DIRECT_EDIT            1032
