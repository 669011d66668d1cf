// Resource ids of the skinned toolkit's test templates (block 9100-9149).
#pragma once

#define IDD_SKIN_SAMPLE          9100
#define IDD_SKIN_CLOSE_ONLY      9101
#define IDC_SKIN_LABEL           9102
#define IDC_SKIN_CHECK           9103
#define IDC_SKIN_RADIO_A         9104
#define IDC_SKIN_RADIO_B         9105
#define IDC_SKIN_PROGRESS        9106
#define IDC_SKIN_PROGRESS2       9107
#define IDC_SKIN_SEARCH_HOST     9108
#define IDC_SKIN_MENU_A          9109
#define IDC_SKIN_MENU_B          9110
#define IDC_SKIN_MENU_C          9111
#define IDC_SKIN_FLAT            9112
#define IDC_SKIN_GROUP           9113
#define IDC_SKIN_CAPTION_STATIC  9114
#define IDB_SKIN_MASK            9120
#define IDB_SKIN_FACE            9121
