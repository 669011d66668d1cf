// Resource ids of the sample dialog (block 9000-9019).
#pragma once

#define IDD_SAMPLE_DIALOG        9000
#define IDC_SAMPLE_NAME_LABEL    9001
#define IDC_SAMPLE_NAME          9002
#define IDC_SAMPLE_REMEMBER      9003
#define IDC_SAMPLE_SIZE_GROUP    9004
#define IDC_SAMPLE_SMALL         9005
#define IDC_SAMPLE_LARGE         9006
#define IDC_SAMPLE_SWATCH        9007
#define IDC_SAMPLE_COUNT         9008
