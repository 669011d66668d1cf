// Resource ids of the frame window tests (block 9300-9399).
#pragma once

#define IDR_TEST_FRAME      9300
#define IDR_BARE_FRAME      9301
#define IDD_TEST_TOPBAR     9310
#define IDD_TEST_TOOLBAR    9311
#define IDD_TEST_BOTTOMBAR  9312
#define IDD_TEST_POPUPBAR   9313

#define IDC_BAR_OWN         9320
#define IDC_BAR_FRAME       9321
#define IDC_BAR_NONE        9322
#define IDC_BAR_UPDATE      9323
#define IDC_BAR_KEPT        9324
#define IDC_BAR_VIEW        9325
#define IDC_BAR_LABEL       9326
#define IDC_BAR_STATUS      9327
#define IDC_BAR_SEARCH      9328

#define ID_TEST_ENABLED     9340
#define ID_TEST_NOHANDLER   9341
#define ID_TEST_CHECKED     9342
#define ID_TEST_VIEWCMD     9343
#define ID_TEST_RENAMED     9344
