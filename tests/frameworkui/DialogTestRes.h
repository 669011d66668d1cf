// Resource ids of the dialog tests' templates (block 9100-9149).
#pragma once

#define IDD_DDX_TEST        9100
#define IDD_MISSING         9101
#define IDC_DDX_NAME        9110
#define IDC_DDX_COUNT       9111
#define IDC_DDX_SIZE        9112
#define IDC_DDX_FLAG        9113
#define IDC_DDX_RADIO_A     9114
#define IDC_DDX_RADIO_B     9115
#define IDC_DDX_RADIO_C     9116
#define IDC_DDX_AFTER       9117
#define IDC_DDX_COMBO       9118
#define IDC_DDX_ACTION      9119
